// The loop that carries out a run's plan (app/carry/plan.h), a batch of steps at a
// time: the batch's folders to make and its steps go to the journal in one
// write ahead of them; then each step is asked where due (a side file under
// its video's answer), made, reported and marked made.  Interrupts wait
// while a batch is under way, but not while the run waits for a key, so
// that the journal and the output never miss a step that was made.  Every
// change goes through one maker (Make), undo's steps back too; on the
// dry-run side (app/carry/dry_run_side.h) it changes nothing.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/journal/history.h"
#include "app/library/library.h"
#include "app/carry/plan.h"
#include "app/reporter.h"
#include "app/run_end.h"
#include "app/carry/safe_rename.h"
#include "app/journal/step.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"

namespace app {

// One change as the loop makes it: a step of the run, or one of undo's
// steps back.  Plain data the caller fills in.
struct Change {
  StepKind kind = StepKind::kRename;
  // The folder the entry is in; of a folder made or removed, its parent.
  const platform::Folder* folder = nullptr;
  std::string_view old_name = {};        // the entry's; "" for a folder
  const platform::Folder* to = nullptr;  // a move's folder
  std::string_view new_name = {};  // the entry's new name; a folder's own
  NewName source = NewName::kMade;  // undo gives back the names it had
  // A move's record, under which the steps of its copy between two disks
  // go to the journal ahead of them (back: undo's copy back).
  std::size_t number = kNotRecorded;
  bool back = false;
  std::string tag = {};  // its temporary names': the run's id and number
  // A link: where the file system cannot make one, a copy instead.
  bool copy_if_not_linked = false;
  // A removal: of a folder (when empty), or of a file (undo's of a link or
  // a copy into a library).
  platform::EntryKind removes = platform::EntryKind::kDirectory;
  // Undo's move back: what the file had, given to a copy back.
  platform::EntryFacts facts = {};
  std::uint32_t mode = 0;            // a folder made: its mode
  platform::Folder* made = nullptr;  // a folder made: opened here
};

// How a change went: words "" when it was made.
struct Made {
  platform::Failure failure = platform::Failure::kNone;  // kOther: see words
  std::string words;
  bool copied = false;  // a link made as a copy
};

struct Loop {
  platform::FileSystem& files;
  platform::Interrupts& interrupts;
  platform::Console& console;
  Journal& journal;
  Library* library = nullptr;  // where moves go
  Reporter reporter{console, {}};
  RunCounts counts = {};
  bool any_failed = false;
  std::string removed_folders = {};  // download folders emptied and removed
  bool all_yes = false;  // "a": every question after it is answered yes
  bool quit = false;     // "q": no more steps; the rest are counted
  bool video_made = false;  // the last step that no side file follows
  // The run's plan, part by part: the lines before, the steps, the lines
  // after, then a download's folders emptied removed.  A part's folders
  // are opened again where the planner let go of them, and let go once
  // its turn is over.
  void Carry(RunPlan& plan);
  // Every step of a part, a batch at a time; each marks made.
  void Carry(std::vector<PlannedStep>& steps);
  // What the last change did besides itself (a move's copy that could not
  // keep all of its file, say): said after its outcome, by Report.
  std::string note = {};
  // The download folder emptied, recorded with its mode before it goes; one
  // that holds anything now stays.  Whether the folder is gone.
  bool RemoveEmptied(const platform::Folder& parent, platform::Folder& folder,
                     const std::string& name, const std::string& shown_path);
  // A failure the run says on a line of its own.
  void Failed(const std::string& line);
  // The change made, with interrupts held: the one way the run and undo
  // change the folders.
  Made Make(const Change& change);
  // Reports how a change shown went (asked: shown as a question), and its
  // note; whether it was made.
  bool Report(bool asked, const std::string& failure);

 private:
  void EmptyDownload(PlanPart& part);
  void RunBatch(std::span<PlannedStep> steps);
  bool Handle(const PlannedStep& step, std::size_t number,
              const std::string& reach_failure);
  bool HandleOne(const PlannedStep& step, std::size_t number,
                 const std::string& reach_failure);
};

}  // namespace app
