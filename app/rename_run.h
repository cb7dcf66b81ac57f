// A run: its whole plan made (app/plan/plan_run.h), then carried out by the
// loop (app/carry/carry_out.h), which asks where a confirmation is due,
// makes each step and reports how it went.
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
// counts says what the run did; described, where given, gets the plan's
// steps described; filed_before, the downloads linked or copied into a
// library by earlier runs (app/journal/filed_before.h).
RunEnd RunRename(const RunOptions& options,
                 const std::vector<std::string>& operands,
                 platform::PathStyle style, platform::FileSystem& files,
                 platform::Interrupts& interrupts,
                 platform::Console& console, Journal& journal,
                 RunCounts& counts, std::string* described = nullptr,
                 std::vector<platform::EntryId> filed_before = {});

}  // namespace app
