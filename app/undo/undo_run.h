// "--undo": puts back the names of a run (the latest one with something to
// put back, or the one asked for), each of its renames in reverse order,
// never over an existing entry and only to the entry the run renamed, then
// marks what it settled in the run's journal.  A run whose journal another
// process holds is going on, and left alone.  "--history": lists the runs
// kept.
#pragma once

#include <string>

#include "app/run_end.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/user_files.h"

namespace app {

// How an undo goes.
struct UndoOptions {
  std::string run_id;  // the run asked for; "" for the latest
  std::string own_id;  // this undo's, for the marks of a run of the old history
  // Its marks go to the run's journal, under its lock.  Without (a dry run,
  // on the dry run's side of the file system), the history is read as an
  // undo reads it, and a run whose journal another process holds is left
  // alone as well, but no journal's lock is held beyond that look, and the
  // marks go nowhere.
  bool keep_history = true;
  // The output tells what would be done (a dry run's): a copy "would be"
  // removed, and the folders to make again and to remove are listed at the
  // end.
  bool preview = false;
};

// Fails when a name was not put back or the history cannot be read.
RunEnd RunUndo(platform::FileSystem& files, platform::Interrupts& interrupts,
               platform::UserFiles& user_files, platform::Console& console,
               const UndoOptions& options);

// Lists the kept runs, newest first, one line each.
RunEnd ListHistory(platform::FileSystem& files, platform::UserFiles& user_files,
                   platform::Console& console);

}  // namespace app
