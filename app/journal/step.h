// A step of a run: one change to the file system that the run plans, asks
// about, records in its journal before it makes it, and that undo takes
// back.  A plain record; what each kind holds is said below.
#pragma once

#include <string>

namespace app {

// A rename in one folder; a move into another folder; a folder made; a
// download folder, emptied by the run's moves, removed.  (A link and a copy
// will be steps of their own.)
enum class StepKind : unsigned char {
  kRename,
  kMove,
  kMakeFolder,
  kRemoveFolder,
};

struct Step {
  StepKind kind = StepKind::kRename;
  // The folder the step is in (its path as the journal keeps it, absolute);
  // of a made or removed folder, its parent.
  std::string directory;
  // The entry's name before the step; "" for a made or removed folder.
  std::string old_name;
  // A move's folder, where the entry goes; "" for the others.
  std::string to_directory;
  // The entry's name after the step; a made or removed folder's own name.
  std::string new_name;
  bool ask = false;     // the user is asked before it is made
  std::string why_not;  // why it cannot be made; "" when it can

  // Where the entry stands once the step is made.
  const std::string& NewDirectory() const {
    return kind == StepKind::kMove ? to_directory : directory;
  }
};

}  // namespace app
