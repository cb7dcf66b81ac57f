#include "app/entry_selection.h"

#include "rules/download_in_progress.h"

namespace app {

bool IsSelected(const platform::Entry& entry, Selection selection) {
  if (entry.hidden || entry.name == "." || entry.name == "..") return false;
  // A download client still writes it: a rename would break the download.
  if (rules::IsDownloadInProgress(entry.name)) return false;
  switch (entry.kind) {
    case platform::EntryKind::kFile:
      return selection != Selection::kDirectories;
    case platform::EntryKind::kDirectory:
      return selection != Selection::kFiles;
    case platform::EntryKind::kOther:
      return false;
  }
  return false;
}

}  // namespace app
