#include "app/carry/carry_out.h"

#include <algorithm>
#include <utility>

#include "app/failure_words.h"
#include "app/carry/safe_rename.h"

namespace app {
namespace {

// The steps of move number's copy between two disks, each recorded in the
// journal ahead of it (back: of undo's copy back); none without a journal
// (a dry run).
struct CopyJournal final : CopyRecorder {
  CopyJournal(Journal* j, std::size_t n, bool b = false)
      : journal(j), number(n), back(b) {}
  bool Record(CopyStep step, const platform::EntryId& copy) override {
    return !journal ||
           RecordCopy(*journal, number, step == CopyStep::kCopied, copy, back);
  }
  Journal* journal;
  std::size_t number;
  bool back;
};

// Plans are recorded in the history and carried out in batches of this many.
constexpr std::size_t kBatch = 256;

}  // namespace

void Loop::Failed(const std::string& line) {
  console.Print(line);
  any_failed = true;
  ++counts.failed;
}

Made Loop::Make(const Change& change) {
  const platform::InterruptHold hold(interrupts);
  Made made;
  platform::Outcome outcome;
  note.clear();
  switch (change.kind) {
    case StepKind::kRename:
      made.words = SafeRename(files, *change.folder, change.old_name,
                              change.new_name, change.tag, change.source);
      break;
    case StepKind::kMove: {
      // Between two disks, through a copy whose steps go to the journal.
      CopyJournal recorder(&journal, change.number, change.back);
      recorder.progress = &console;
      recorder.facts = change.facts;
      made.words = SafeMove(files, *change.folder, change.old_name, *change.to,
                            change.new_name, change.source, &recorder,
                            change.tag);
      note = std::move(recorder.note);
      break;
    }
    case StepKind::kMakeFolder: {
      platform::Folder scratch;
      outcome = files.MakeFolder(*change.folder, change.new_name, change.mode,
                                 change.made ? *change.made : scratch);
      break;
    }
    case StepKind::kRemoveFolder:
      outcome = files.Remove(*change.folder, change.new_name,
                             platform::EntryKind::kDirectory);
      break;
  }
  made.failure = made.words.empty() ? outcome.failure : platform::Failure::kOther;
  if (made.words.empty() && !outcome.ok()) made.words = FailureWords(outcome);
  return made;
}

bool Loop::Report(bool asked, const std::string& failure) {
  ShowOutcome(reporter, asked, failure);
  if (!note.empty()) console.Print("  [" + std::exchange(note, {}) + "]\n");
  if (failure.empty()) return true;
  any_failed = true;
  ++counts.failed;
  return false;
}

// Ask, apply, report; true when the rename was made.  The renames made so
// far are on record before the run waits for a key, and an interrupt
// waits while the run is not waiting for one, so that the history and the
// output never miss a rename that was made.
bool Loop::Handle(const PlannedStep& plan, std::size_t number,
                  const std::string& reach_failure) {
  const bool made = HandleOne(plan, number, reach_failure);
  if (!plan.follows) video_made = made;
  return made;
}

bool Loop::HandleOne(const PlannedStep& plan, std::size_t number,
                     const std::string& reach_failure) {
  // A side file stays with a video that stays: asked with it.
  if (quit || (plan.follows && !video_made)) {
    ++counts.skipped;
    return false;
  }
  const platform::Folder& folder = *plan.from;
  const std::string& shown = *plan.shown;
  auto show = [&](bool question) {
    return (plan.kind == StepKind::kMove) ? ShowMove(reporter, shown, plan.entry->name,
                                   library->Shown(plan.to), plan.new_name, question)
                        : ShowRename(reporter, shown, plan.entry->name,
                                     plan.new_name, question);
  };
  if (plan.why_not) {
    show(false);
    ShowOutcome(reporter, false, plan.why_not);
    any_failed = true;
    ++counts.failed;
    return false;
  }
  const bool ask = plan.ask && !all_yes && !plan.follows;
  if (ask) {
    const bool written = WriteJournal(journal);
    interrupts.Release();
    if (!written) {
      interrupts.Hold();
      return false;
    }
  }
  const platform::Answer answer = show(ask);
  if (ask) interrupts.Hold();
  if (answer == platform::Answer::kAll) all_yes = true;
  if (answer == platform::Answer::kQuit) quit = true;
  if (answer == platform::Answer::kNo || answer == platform::Answer::kQuit) {
    ++counts.skipped;
    return false;
  }
  const bool move = plan.kind == StepKind::kMove;
  std::string failure;
  if (number == kNotRecorded) {
    failure = reach_failure.empty() ? "its folder cannot be recorded for undo"
                                    : reach_failure;
  } else if (move) {
    failure = library->Reach(plan.to);
  }
  if (failure.empty())
    failure = Make({.kind = plan.kind,
                    .folder = &folder,
                    .old_name = plan.entry->name,
                    .to = move ? &library->FolderOf(plan.to) : nullptr,
                    .new_name = plan.new_name,
                    .number = number,
                    .tag = journal.run_id + "-" + std::to_string(number)})
                  .words;
  if (!Report(ask, failure)) return false;
  ++(move ? counts.moved : counts.renamed);
  return true;
}

// A batch: its records go to the history in one write ahead of its
// renames, and the renames made are marked after them.  A record that
// cannot be written stops the run before its rename.
void Loop::RunBatch(std::span<PlannedStep> plans) {
  if (plans.empty() || journal.Stops()) return;
  const platform::InterruptHold hold(interrupts);
  std::vector<std::size_t> numbers;
  numbers.reserve(plans.size());
  // A move's folders are made (each recorded first) before the move is
  // recorded: its record names the folder it goes to.
  std::vector<std::string> reach_failures(plans.size());
  if (library) {
    // The folders to make go to the journal in one write ahead.
    for (const PlannedStep& plan : plans)
      if ((plan.kind == StepKind::kMove) && !quit && !plan.why_not) library->Prepare(plan.to);
    WriteJournal(journal);
  }
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const PlannedStep& plan = plans[i];
    std::size_t number = kNotRecorded;
    if (quit || plan.why_not) {
    } else if (!(plan.kind == StepKind::kMove)) {
      number = RecordRename(journal, files, *plan.from, *plan.entry,
                            plan.new_name);
    } else if ((reach_failures[i] = library->Reach(plan.to)).empty()) {
      number = RecordMove(journal, files, *plan.from, *plan.entry,
                          library->FolderOf(plan.to), plan.new_name);
    }
    numbers.push_back(number);
  }
  if (WriteJournal(journal)) {
    for (std::size_t i = 0; i < plans.size() && !journal.broken; ++i) {
      // Ctrl+C during the batch (a long copy stops for it): no change
      // after it, and the run ends once the batch is on record.
      if (interrupts.Waiting()) break;
      // The first rename past the most a run records: the run stops.
      if (journal.full && numbers[i] == kNotRecorded && !quit &&
          !plans[i].why_not)
        break;
      if ((plans[i].made = Handle(plans[i], numbers[i], reach_failures[i])))
        RecordMade(journal, numbers[i]);
    }
  }
  WriteJournal(journal, true);
  if (journal.Stops()) any_failed = true;
}

void Loop::Carry(std::vector<PlannedStep>& plans) {
  if (described) *described += Describe(plans, library);
  for (std::size_t at = 0; at < plans.size(); at += kBatch)
    RunBatch(std::span<PlannedStep>(plans).subspan(
        at, std::min(kBatch, plans.size() - at)));
}

bool Loop::RemoveEmptied(const platform::Folder& parent, platform::Folder& folder,
                   const std::string& name, const std::string& shown_path) {
  interrupts.Hold();
  const std::size_t number = RecordRemoved(journal, files, parent, folder, name);
  if (number == kNotRecorded || !WriteJournal(journal)) {
    interrupts.Release();
    Failed(ForScreen(console, shown_path) +
           " [FAILED: its removal cannot be recorded for undo]\n");
    return false;
  }
  folder.handle.reset();  // Windows removes no folder held open
  const Made outcome = Make(
      {.kind = StepKind::kRemoveFolder, .folder = &parent, .new_name = name});
  if (outcome.words.empty()) {
    RecordMade(journal, number);
    WriteJournal(journal, true);
    removed_folders += shown_path + "\n";
  }
  interrupts.Release();
  if (outcome.words.empty()) return true;
  if (outcome.failure == platform::Failure::kNotEmpty) {
    console.Print(ForScreen(console, shown_path) +
                  ": holds entries the run did not move, left\n");
    return false;
  }
  Failed(ForScreen(console, shown_path) + " [FAILED: " + outcome.words +
         "]\n");
  return false;
}

}  // namespace app
