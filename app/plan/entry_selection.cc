#include "app/plan/entry_selection.h"

#include "rules/download_in_progress.h"

namespace app {

const char* WhyLeftAlone(const platform::Entry& entry, Selection selection) {
  if (entry.hidden || entry.name == "." || entry.name == "..")
    return "a hidden entry, left alone";
  // A download client still writes it: a rename would break the download.
  if (rules::IsDownloadInProgress(entry.name))
    return "a download in progress, left alone";
  switch (entry.kind) {
    case platform::EntryKind::kDirectory:
      if (selection != Selection::kFiles) return nullptr;
      return entry.link ? "a link to a folder" : "a folder (add /d)";
    case platform::EntryKind::kFile:
      return selection == Selection::kDirectories
                 ? "a file (/D takes folders only)"
                 : nullptr;
    case platform::EntryKind::kOther:
      break;
  }
  return "neither a file nor a folder";
}

}  // namespace app
