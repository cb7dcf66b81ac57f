// The undo history as a run keeps it: each rename is recorded, with the
// identity of the entry it renames, before it is made, in batches (one write
// for many records), and the renames made are marked after them.  A history
// that cannot be written is said once on standard error, before any rename,
// and the run goes on without it.
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
  std::string options;     // as typed, for the run's first record
  bool started = false;
  std::size_t recorded = 0;  // renames recorded in this run
  std::string pending;       // records not yet written
  // The last folder recorded, and its absolute path: asked once a listing.
  std::string folder, absolute_folder;
  const platform::FolderHandle* folder_handle = nullptr;
  // The renames made since the last write, as a range of numbers.
  std::size_t made_first = 0, made_count = 0;
};

// Returned by RecordRename for a rename that cannot be recorded: it must not
// be made.
constexpr std::size_t kNotRecorded = static_cast<std::size_t>(-1);

// A journal for a run that renames, started at start_time (UTC) by process
// number process with the options as typed: off without keep_history (a dry
// run, --no-history); its run starts with the first batch.
Journal OpenJournal(platform::FileSystem& files, bool keep_history,
                    const std::string& start_time, long process,
                    std::string options = {});

// Adds a record for the rename of entry ahead of it; returns its number in
// the run, or kNotRecorded when its folder cannot be told.
std::size_t RecordRename(Journal& journal, platform::FileSystem& files,
                         const platform::Folder& folder,
                         const platform::Entry& entry,
                         std::string_view new_name);
// Notes that the rename of that number was made.
void RecordMade(Journal& journal, std::size_t number);
// Writes what is pending in one write.  The first write starts the run (and
// the file); when that fails, the run goes on without a history.
void WriteJournal(Journal& journal, platform::FileSystem& files,
                  platform::Console& console);
// Writes what is pending and closes the run.
void CloseJournal(Journal& journal, platform::FileSystem& files,
                  platform::Console& console);

}  // namespace app
