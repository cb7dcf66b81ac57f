#include "app/rename_run.h"

#include "app/carry/carry_out.h"
#include "app/library/library.h"
#include "app/plan/plan_run.h"
#include "app/reporter.h"

namespace app {

RunEnd RunRename(const RunOptions& options,
                 const std::vector<std::string>& operands,
                 platform::PathStyle style, platform::FileSystem& files,
                 platform::Interrupts& interrupts,
                 platform::Console& console, Journal& journal,
                 RunCounts& counts, std::string* described,
                 std::vector<platform::EntryId> filed_before) {
  Loop loop{files, interrupts, console, journal};
  // The library makes its folders through the loop, as the run's steps.
  Library library(options, style, files, journal,
                  [&loop](const platform::Folder& parent, std::string_view name,
                          platform::Folder& made) {
                    Change change;
                    change.kind = StepKind::kMakeFolder;
                    change.folder = &parent;
                    change.new_name = name;
                    change.made = &made;
                    return loop.Make(change).words;
                  });
  if (options.IntoLibrary()) {
    if (!library.Open(console)) {
      CloseJournal(journal);
      return {false, true};
    }
    loop.library = &library;
    library.SetFiledBefore(std::move(filed_before));
  }
  RunPlan plan =
      PlanRun(options, operands, style, files, console, loop.library);
  if (described) *described = Describe(plan, loop.library);
  loop.Carry(plan);
  if (loop.library && options.list_made_folders) {
    const std::string made = library.MadeFolders();
    if (!made.empty())
      console.Print("Folders to make:\n" + ForScreen(console, made));
    if (!loop.removed_folders.empty())
      console.Print("Folders to remove:\n" +
                    ForScreen(console, loop.removed_folders));
  }
  CloseJournal(journal);
  counts = loop.counts;
  if (journal.Stops()) return {false, true};
  return {plan.any_matched, loop.any_failed};
}

}  // namespace app
