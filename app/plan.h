// A run's plan: the steps it means to make, in the order to make them, as
// the planner (app/rename_run.cc) leaves them for the loop that carries
// them out (app/carry_out.h).  A step holds the live folder and entry the
// listings gave; the journal keeps its own view of a step (app/step.h).
#pragma once

#include <string>
#include <vector>

#include "app/library.h"
#include "app/step.h"
#include "platform/file_system.h"

namespace app {

struct PlannedStep {
  StepKind kind = StepKind::kRename;  // a rename, or a move into the library
  // The folder it is in, and how lines show that folder.
  const platform::Folder* from = nullptr;
  const std::string* shown = nullptr;
  const platform::Entry* entry = nullptr;
  std::string new_name;
  // A move's place in the library, new_name there.
  Library::Target to;
  bool ask = false;
  // Why it is not tried (another entry would get that name), said with it.
  const char* why_not = nullptr;
  // A side file's video, where that has a step too: the side file comes
  // right after it, asked with it, and goes or stays with it.
  const platform::Entry* video = nullptr;
  bool follows = false;
  bool made = false;  // set by the loop once made
};

// Each side file's step right after its video's, following it.
void KeepWithVideos(std::vector<PlannedStep>& steps);

// "from/old ==> new" or "from/old ==> to/new", a line a step, for tests.
std::string Describe(const std::vector<PlannedStep>& steps);

}  // namespace app
