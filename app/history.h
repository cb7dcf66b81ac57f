// The undo history as a run keeps it: each rename is recorded before it is
// made, in batches (one write for many records), and the renames made are
// marked after them.  A history that cannot be written is said once on
// standard error, before any rename, and the run goes on without it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/run_services.h"

namespace app {

struct Journal {
  std::string path;  // "" when the run keeps no history
  std::string run_id;
  bool started = false;
  std::size_t recorded = 0;  // renames recorded in this run
  std::string pending;       // records not yet written
  // The last folder recorded, and its absolute path: asked once a listing.
  std::string folder, absolute_folder;
  // The renames made since the last write, as a range of numbers.
  std::size_t made_first = 0, made_count = 0;
};

// A journal for a run that renames: off for a dry run or with
// --no-history; its run starts with the first batch.
Journal OpenJournal(RunServices& services, bool keep_history);

// Adds a record for the rename ahead of it; returns its number in the run.
std::size_t RecordRename(Journal& journal, RunServices& services,
                         std::string_view directory, std::string_view old_name,
                         std::string_view new_name);
// Notes that the rename of that number was made.
void RecordMade(Journal& journal, std::size_t number);
// Writes what is pending in one write.  The first write starts the run (and
// the file); when that fails, the run goes on without a history.
void WriteJournal(Journal& journal, RunServices& services);

}  // namespace app
