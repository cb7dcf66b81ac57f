#include "app/carry/carry_out.h"

#include <algorithm>
#include <unordered_map>
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
  bool Record(CopyStep step, const platform::EntryId& copy,
              const platform::EntryFacts& had) override {
    return !journal || RecordCopy(*journal, number, step == CopyStep::kCopied,
                                  copy, back, back ? platform::EntryFacts{} : had);
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
    case StepKind::kLink:
      outcome = files.Link(*change.folder, change.old_name, *change.to,
                           change.new_name);
      if (!change.copy_if_not_linked ||
          (outcome.failure != platform::Failure::kOtherVolume &&
           outcome.failure != platform::Failure::kCannotLink))
        break;
      outcome = {};
      made.copied = true;
      [[fallthrough]];
    case StepKind::kCopy: {
      // Through the steps of a copy between two disks, each in the journal
      // ahead of it; the file stays where it is.
      CopyJournal recorder(&journal, change.number);
      recorder.progress = &console;
      made.words = MoveAcross(files, *change.folder, change.old_name,
                              *change.to, change.new_name, change.tag,
                              recorder, true);
      break;
    }
    case StepKind::kMakeFolder: {
      platform::Folder scratch;
      outcome = files.MakeFolder(*change.folder, change.new_name, change.mode,
                                 change.made ? *change.made : scratch);
      break;
    }
    case StepKind::kRemoveFolder:
      outcome = files.Remove(*change.folder, change.new_name, change.removes);
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
    return IntoOtherFolder(plan.kind) ? ShowMove(reporter, shown, plan.entry->name,
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
  const bool move = IntoOtherFolder(plan.kind);
  std::string failure;
  if (number == kNotRecorded) {
    failure = reach_failure.empty() ? "its folder cannot be recorded for undo"
                                    : reach_failure;
  } else if (move) {
    failure = library->Reach(plan.to);
  }
  bool copied = plan.kind == StepKind::kCopy;
  if (failure.empty()) {
    const Made made =
        Make({.kind = plan.kind,
              .folder = &folder,
              .old_name = plan.entry->name,
              .to = move ? &library->FolderOf(plan.to) : nullptr,
              .new_name = plan.new_name,
              .number = number,
              .tag = journal.run_id + "-" + std::to_string(number),
              .copy_if_not_linked = plan.copy_if_not_linked});
    failure = made.words;
    copied = copied || made.copied;
  }
  if (!Report(ask, failure)) return false;
  if (copied)
    ++counts.copied;
  else if (plan.kind == StepKind::kLink)
    ++counts.linked;
  else
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
      if (IntoOtherFolder(plan.kind) && !quit && !plan.why_not)
        library->Prepare(plan.to);
    WriteJournal(journal);
  }
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const PlannedStep& plan = plans[i];
    std::size_t number = kNotRecorded;
    if (quit || plan.why_not) {
    } else if (!IntoOtherFolder(plan.kind)) {
      number = RecordRename(journal, files, *plan.from, *plan.entry,
                            plan.new_name);
    } else if ((reach_failures[i] = library->Reach(plan.to)).empty()) {
      number = RecordMove(journal, files, *plan.from, *plan.entry,
                          library->FolderOf(plan.to), plan.new_name, plan.kind);
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

void Loop::Carry(RunPlan& plan) {
  for (PlanPart& part : plan.parts) {
    if (journal.Stops()) break;  // said: the run stops
    // Its folders, let go of since the planner read them, must be the ones
    // it read still.
    std::vector<platform::Folder*> folders;
    if (!part.steps.empty() && part.emptied.empty()) folders.push_back(&part.folder);
    if (part.parent) folders.push_back(part.parent);
    for (FolderToEmpty& folder : part.emptied) folders.push_back(&folder.listing.folder);
    bool reopened = true;
    for (platform::Folder* folder : folders) {
      const platform::Outcome outcome = files.ReopenFolder(*folder);
      if (outcome.ok()) continue;
      Failed(ForScreen(console, folder->path) + " [FAILED: " +
             (outcome.failure == platform::Failure::kNotFound
                  ? "no longer the folder that was listed; its entries are "
                    "left alone"
                  : FailureWords(outcome)) +
             "]\n");
      reopened = false;
      break;
    }
    if (reopened) Carry(part.steps);
    console.Print(part.said);
    counts.left_alone += part.left_alone;
    counts.failed += part.failed;
    any_failed = any_failed || part.failed > 0;
    counts.already += part.already;
    if (reopened && !part.emptied.empty() && part.removes_emptied)
      EmptyDownload(part);
    for (platform::Folder* folder : folders) files.LetGoFolder(*folder);
  }
}

// A download's folders emptied by its moves removed (the deepest first),
// each recorded with its mode before.  A folder that keeps a file stays,
// said, and so do the folders that hold it.
void Loop::EmptyDownload(PlanPart& part) {
  auto& folders = part.emptied;
  std::vector<bool> emptied(folders.size());
  for (std::size_t g = 0; g < folders.size(); ++g) emptied[g] = folders[g].kept == 0;
  std::unordered_map<const platform::Folder*, std::size_t> of_folder;
  for (std::size_t g = 0; g < folders.size(); ++g)
    of_folder[&folders[g].listing.folder] = g;
  for (const PlannedStep& step : part.steps)
    if (!step.made) emptied[of_folder.at(step.from)] = false;
  if (journal.Stops() || quit) return;
  for (std::size_t g = folders.size(); g-- > 0;) {
    FolderToEmpty& folder = folders[g];
    const bool removed =
        emptied[g] &&
        RemoveEmptied(g == 0 ? *part.parent : folders[folder.parent].listing.folder,
                      folder.listing.folder, folder.name, folder.shown);
    if (!emptied[g])
      console.Print(ForScreen(console, folder.shown) +
                    ": holds files that were not moved, left\n");
    if (!removed && g > 0) emptied[folder.parent] = false;
  }
}

void Loop::Carry(std::vector<PlannedStep>& plans) {
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
