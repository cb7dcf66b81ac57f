#include "app/undo_run.h"

#include <string>

#include "app/dry_run.h"
#include "app/history_format.h"
#include "app/safe_rename.h"

namespace app {

int RunUndo(bool dry_run, RunServices& s) {
  const std::string path = s.user_file_path(platform::UserFile::kHistory);
  if (path.empty()) {
    s.print_error("namewisp: there is no undo history (no home folder)");
    return 1;
  }
  const platform::FileText file = s.read_file(path);
  if (file.exists && !file.read) {
    s.print_error("namewisp: the undo history " + path + " cannot be read");
    return 1;
  }
  const HistoryRead history = ReadHistory(file.text);
  // What is damaged is said, and never followed.
  for (const std::string& problem : history.problems)
    s.print_error("namewisp: " + path + ": " + problem);
  if (file.exists && !file.text.empty() && !history.known_format) return 1;
  const HistoryRun* run = LastRunNotUndone(history);
  if (!run) {
    s.print("Nothing to undo.\n");
    return 0;
  }

  const std::string here = s.absolute_folder("");
  DryRunFolders folders;
  bool any_failed = false;
  for (auto r = run->renames.rbegin(); r != run->renames.rend(); ++r) {
    if (!r->made) continue;  // failed, skipped or cut short: nothing to undo
    // Names in the current folder as they were printed; others with their
    // folder.
    const std::string shown = r->directory == here ? "" : r->directory;
    s.print(shown + r->new_name + " ==> " + shown + r->old_name + "\n");
    if (s.hold_interrupts) s.hold_interrupts();
    const std::string failure =
        dry_run ? PredictRename(s, folders, r->directory, r->new_name,
                                r->old_name)
                : SafeRename(s, r->directory, r->new_name, r->old_name);
    if (s.release_interrupts) s.release_interrupts();
    if (!failure.empty()) {
      s.print("  [FAILED: " + failure + "]\n");
      any_failed = true;
    }
  }
  if (dry_run) {
    s.print("Dry run: nothing was renamed.\n");
  } else if (!s.append_file(path, FormatUndone(run->id))) {
    s.print_error("namewisp: the undo history " + path +
                  " cannot be written: this run is not marked as undone");
    any_failed = true;
  }
  s.print("Done\n\n");
  return any_failed ? 1 : 0;
}

}  // namespace app
