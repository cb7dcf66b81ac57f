#include "app/undo_run.h"

#include <string>

#include "app/history_format.h"
#include "app/reporter.h"
#include "app/safe_rename.h"
#include "app/whole_file.h"

namespace app {

RunEnd RunUndo(platform::FileSystem& files, platform::Console& console) {
  const std::string path = files.UserFilePath(platform::UserFile::kHistory);
  if (path.empty()) {
    console.PrintError("namewisp: there is no undo history (no home folder)");
    return {false, true};
  }
  const platform::FileText file = ReadWholeFile(files, path);
  if (file.exists && !file.read) {
    console.PrintError("namewisp: the undo history " + path +
                       " cannot be read");
    return {false, true};
  }
  const HistoryRead history = ReadHistory(file.text);
  // What is damaged is said, and never followed.
  for (const std::string& problem : history.problems)
    console.PrintError("namewisp: " + path + ": " + problem);
  if (file.exists && !file.text.empty() && !history.known_format)
    return {false, true};
  const HistoryRun* run = LastRunNotUndone(history);
  if (!run) {
    console.Print("Nothing to undo.\n");
    return {};
  }

  const std::string here = files.AbsolutePath(platform::Folder{});
  Reporter reporter{console, {}};
  RunEnd end{true, false};
  for (auto r = run->renames.rbegin(); r != run->renames.rend(); ++r) {
    if (!r->made) continue;  // failed, skipped or cut short: nothing to undo
    // Names in the current folder as they were printed; others with their
    // folder.
    const std::string shown = r->directory == here ? "" : r->directory;
    ShowRename(reporter, shown, r->new_name, r->old_name, false);
    const platform::Folder folder{r->directory, nullptr};
    files.HoldInterrupts();
    const std::string failure = SafeRename(files, folder, r->new_name,
                                           r->old_name, NewName::kGivenBack);
    files.ReleaseInterrupts();
    ShowOutcome(reporter, false, failure);
    if (!failure.empty()) end.failed = true;
  }
  if (!files.AppendFile(path, FormatUndone(run->id))) {
    console.PrintError("namewisp: the undo history " + path +
                       " cannot be written: this run is not marked as undone");
    end.failed = true;
  }
  return end;
}

}  // namespace app
