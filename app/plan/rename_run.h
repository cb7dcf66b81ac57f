// The main loop: for each folder the operands name, gather the entries they
// name there; plan their new names together, then for each ask where a
// confirmation is due, apply the rename and report how it went.
#pragma once

#include <string>
#include <vector>

#include "app/journal/history.h"
#include "app/run_end.h"
#include "app/run_options.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/platform.h"

namespace app {

// Fails when a rename failed; not done when no operand matched anything.
// The operands that name one folder are gathered and planned together;
// counts says what the run did; plan, where given, gets the steps of the
// plan described as they are carried out.
RunEnd RunRename(const RunOptions& options,
                 const std::vector<std::string>& operands,
                 platform::PathStyle style, platform::FileSystem& files,
                 platform::Interrupts& interrupts,
                 platform::Console& console, Journal& journal,
                 RunCounts& counts, std::string* plan = nullptr);

}  // namespace app
