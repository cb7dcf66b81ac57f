// The undo history as a run keeps it: each rename is recorded before it is
// made, in batches (one write for many records), and the renames made are
// marked after them.  A history that cannot be written is said once on
// standard error, before any rename, and the run goes on without it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"

namespace app {

struct Journal {
  std::string path;  // "" when the run keeps no history
  std::string run_id;
  std::string start_time;  // UTC
  bool started = false;
  std::size_t recorded = 0;  // renames recorded in this run
  std::string pending;       // records not yet written
  // The last folder recorded, and its absolute path: asked once a listing.
  std::string folder, absolute_folder;
  // The renames made since the last write, as a range of numbers.
  std::size_t made_first = 0, made_count = 0;
};

// A journal for a run that renames, started at start_time (UTC) by process
// number process: off without keep_history (a dry run, --no-history); its
// run starts with the first batch.
Journal OpenJournal(platform::FileSystem& files, bool keep_history,
                    const std::string& start_time, long process);

// Adds a record for the rename ahead of it; returns its number in the run.
std::size_t RecordRename(Journal& journal, platform::FileSystem& files,
                         const platform::Folder& folder,
                         std::string_view old_name, std::string_view new_name);
// Notes that the rename of that number was made.
void RecordMade(Journal& journal, std::size_t number);
// Writes what is pending in one write.  The first write starts the run (and
// the file); when that fails, the run goes on without a history.
void WriteJournal(Journal& journal, platform::FileSystem& files,
                  platform::Console& console);

}  // namespace app
