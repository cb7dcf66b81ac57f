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

// Fails when a name was not put back or the history cannot be read.  The
// run asked for by run_id ("" for the latest); own_id is this undo's own,
// for the marks of a run of the old history file.  A dry run (files is the
// dry run's) reads the history as an undo does, and a run whose journal
// another process holds is left alone as well, but it takes no journal's
// lock beyond that look and writes no marks.
RunEnd RunUndo(platform::FileSystem& files, platform::Interrupts& interrupts,
               platform::UserFiles& user_files,
               platform::Console& console, const std::string& run_id,
               const std::string& own_id, bool dry_run = false);

// Lists the kept runs, newest first, one line each.
RunEnd ListHistory(platform::FileSystem& files, platform::UserFiles& user_files,
                   platform::Console& console);

}  // namespace app
