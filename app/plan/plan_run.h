// The planner: for each folder the operands name, the entries they name
// there gathered and planned together, with what a walk (/s) finds below
// them and what each download emptied into a library holds.  The whole
// run's plan is read from the disk before its first step, each name once.
#pragma once

#include <string>
#include <vector>

#include "app/carry/plan.h"
#include "app/library/library.h"
#include "app/run_options.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace app {

// The plan of a run over the operands; library: where moves go (with
// "--into", "--movies" or "--shows"), else none.  The console only tells
// how the lines show names.
RunPlan PlanRun(const RunOptions& options,
                const std::vector<std::string>& operands,
                platform::PathStyle style, platform::FileSystem& files,
                platform::Console& console, Library* library);

}  // namespace app
