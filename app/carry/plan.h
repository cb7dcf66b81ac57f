// A run's plan: the steps it means to make, in the order to make them, as
// the planner (app/plan/plan_run.h) leaves them, whole, for the loop that
// carries them out (app/carry/carry_out.h).  A step holds the live folder and
// entry the listings gave; the journal keeps its own view of a step
// (app/journal/step.h).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/library/library.h"
#include "app/journal/step.h"
#include "platform/file_system.h"

namespace app {

// Small: a run of 200,000 renames holds as many.
struct PlannedStep {
  StepKind kind = StepKind::kRename;  // a rename, or a move into the library
  bool ask = false;
  // A side file whose video has a step too: it comes right after it, asked
  // with it, and goes or stays with it.
  bool follows = false;
  bool made = false;  // set by the loop once made
  // The folder it is in, and how lines show that folder.
  const platform::Folder* from = nullptr;
  const std::string* shown = nullptr;
  const platform::Entry* entry = nullptr;
  std::string new_name;
  // A move's folder in the library, new_name there.
  Library::Node* to = nullptr;
  // Why it is not tried (another entry would get that name), said with it.
  const char* why_not = nullptr;
  // A side file's video (follows says whether it has a step).
  const platform::Entry* video = nullptr;
  // A link: where the file system cannot make one, a copy instead.
  bool copy_if_not_linked = false;
};

// A folder of a download the run empties into the library: removed once
// none of its entries stays, the deepest first, after the download's steps.
struct FolderToEmpty {
  platform::Listing listing;  // its folder and entries: steps point at them
  std::string shown;          // as lines show it, with its separator
  std::size_t parent = 0;     // the download's folder that holds it
  std::string name;           // its entry's name there
  std::size_t kept = 0;       // entries that stay in it
};

// A part of the plan, carried out in its turn: one folder's steps, or one
// download's, and the lines said after them (a part may be lines alone).
// Its steps point into it.
struct PlanPart {
  platform::Folder folder;  // a folder's part: the folder and its entries
  std::vector<platform::Entry> entries;
  std::string shown;  // how lines show the folder
  std::vector<PlannedStep> steps;
  std::string said;  // what stays, and failures, said after the steps
  std::size_t left_alone = 0, failed = 0;  // lines of said
  std::size_t already = 0;  // files in the library already, counted unsaid
  // A download's part: the folder it is in, and its own folders, itself
  // first.
  platform::Folder* parent = nullptr;
  std::deque<FolderToEmpty> emptied;
  bool removes_emptied = true;  // false: the downloads stay as they are
};

// The whole run's plan, made before its first step.  A deque: steps point
// into its parts.
struct RunPlan {
  std::deque<PlanPart> parts;
  bool any_matched = false;  // an operand took or said anything
};

// Each side file's step right after its video's, following it.
void KeepWithVideos(std::vector<PlannedStep>& steps);

// "from/old ==> new" or "from/old ==> to/new", a line a step, for tests.
std::string Describe(const std::vector<PlannedStep>& steps,
                     const Library* library);
std::string Describe(const RunPlan& plan, const Library* library);

}  // namespace app
