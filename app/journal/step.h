// A step of a run: one change to the file system that the run plans, asks
// about, records in its journal before it makes it, and that undo takes
// back.  A plain record; what each kind holds is said below.
#pragma once

#include <string>

namespace app {

// A rename in one folder; a move into another folder; a folder made; a
// download folder, emptied by the run's moves, removed; a file put into
// another folder as a hard link to it (or, where none can be made, a copy),
// or as a copy, the file staying where it is.
enum class StepKind : unsigned char {
  kRename,
  kMove,
  kMakeFolder,
  kRemoveFolder,
  kLink,
  kCopy,
};

// A step whose entry lands in another folder (a library's).
inline bool IntoOtherFolder(StepKind kind) {
  return kind == StepKind::kMove || kind == StepKind::kLink ||
         kind == StepKind::kCopy;
}
// A step that leaves its entry where it was: the library gets a link or a
// copy.
inline bool KeepsEntry(StepKind kind) {
  return kind == StepKind::kLink || kind == StepKind::kCopy;
}

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
    return IntoOtherFolder(kind) ? to_directory : directory;
  }
};

}  // namespace app
