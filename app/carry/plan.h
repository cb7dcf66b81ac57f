// A run's plan: the steps it means to make, in the order to make them, as
// the planner (app/plan/rename_run.cc) leaves them for the loop that carries
// them out (app/carry/carry_out.h).  A step holds the live folder and entry the
// listings gave; the journal keeps its own view of a step (app/journal/step.h).
#pragma once

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
};

// Each side file's step right after its video's, following it.
void KeepWithVideos(std::vector<PlannedStep>& steps);

// "from/old ==> new" or "from/old ==> to/new", a line a step, for tests.
std::string Describe(const std::vector<PlannedStep>& steps,
                     const Library* library);

}  // namespace app
