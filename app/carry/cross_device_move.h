// A move between two file systems, which no rename makes: the file is
// copied into a temporary name in the target folder, flushed to the disk,
// its size checked, given its name there without replacing an entry, and
// only then removed where it was.  Each step is recorded ahead of it, so
// that a kill at any point leaves the file whole in one place at least, and
// undo tells from the records what to put back or clear away.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"

namespace app {

// The steps recorded ahead of them: the copy into the temporary name, and
// the copy made whole (its identity) before it takes its name.
enum class CopyStep { kCopy, kCopied };

// Where the steps go: the run's journal, or undo's marks of the run.
struct CopyRecorder {
  virtual ~CopyRecorder() = default;
  // Records the step on the disk ahead of it; false when it cannot be.
  // had: what the file has besides its name as the copy begins, which
  // undo's copy back gives back (a rename on one disk keeps it all).
  virtual bool Record(CopyStep step, const platform::EntryId& copy,
                      const platform::EntryFacts& had) = 0;
  // Where a copy that takes more than a few seconds shows its progress.
  platform::Console* progress = nullptr;
  // Undo's copy back: what the file had before the run, given to the copy
  // before it takes its name (not what the library's copy kept).
  platform::EntryFacts facts = {};
  // What the move did besides a plain move, for its line: the file left
  // where it was too, what its copy could not keep.  "" when nothing.
  std::string note = {};
};

// Copies shorter than this show no progress.
constexpr double kQuietSeconds = 2.0;

// A line of a copy's progress, the name as given (escaped, by the caller):
// "Copying NAME [#####...............] 341 MiB of 1.3 GiB, 0:42 left".
std::string ProgressLine(std::string_view name, std::uint64_t done,
                         std::uint64_t total, double seconds);

// The temporary name of a copy; the tag names the run and its step, so
// that undo finds a copy a kill left there.
std::string CopyTemporary(std::string_view tag);

// The name a file about to be removed is taken aside under, in its own
// folder: one of the run's alone, which no other program opens.
std::string CopyAside(std::string_view tag);

// The identity of the entry name in the form a record keeps it: its
// numbers, or its size and time where the file system keeps no numbers.
platform::EntryId CopyIdentity(platform::FileSystem& files,
                               const platform::Folder& folder,
                               std::string_view name);

// What the copy could not keep, in words ("" when it kept all).
std::string NotKept(const platform::Copied& copied);

// Moves old_name of from to new_name of to through a copy; "" when done,
// else the words of the failure, with the file where it was and no copy
// left.  keep: a copy, the file staying where it was.  A file with other
// hard links is copied and stays where it was as well: removing one of its
// names would free nothing and split them.
std::string MoveAcross(platform::FileSystem& files, const platform::Folder& from,
                       std::string_view old_name, const platform::Folder& to,
                       std::string_view new_name, std::string_view tag,
                       CopyRecorder& recorder, bool keep = false);

}  // namespace app
