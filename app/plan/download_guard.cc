#include "app/plan/download_guard.h"

#include "rules/download_in_progress.h"

namespace app {

std::unordered_set<std::string> ControlledNames(
    const platform::Listing& listing) {
  std::unordered_set<std::string> names;
  for (const platform::Entry& entry : listing.entries) {
    const std::string_view controlled = rules::ControlledDownload(entry.name);
    if (!controlled.empty()) names.emplace(controlled);
  }
  return names;
}

bool HasControlFile(platform::FileSystem& files, const platform::Folder& folder,
                    std::string_view name) {
  return files.Stat(folder, std::string(name) +
                                std::string(rules::ControlFileExtension()))
      .exists;
}

bool HoldsDownloadInProgress(platform::FileSystem& files,
                             platform::Folder& parent,
                             const platform::Entry& folder, FolderTrail& trail) {
  platform::Listing listing = files.ListBelow(parent, folder);
  if (!trail.KeepOpen()) files.LetGoFolder(parent);
  for (const platform::Entry& entry : listing.entries) {
    if (rules::IsDownloadInProgress(entry.name)) return true;
  }
  const Entered entered(trail, listing.folder.id);
  for (const platform::Entry& entry : listing.entries) {
    if (entry.kind != platform::EntryKind::kDirectory || entry.hidden ||
        entry.link || trail.Inside(entry.id))
      continue;
    if (!files.ReopenFolder(listing.folder).ok()) return false;
    if (HoldsDownloadInProgress(files, listing.folder, entry, trail))
      return true;
  }
  return false;
}

}  // namespace app
