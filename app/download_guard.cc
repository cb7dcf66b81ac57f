#include "app/download_guard.h"

#include "rules/download_in_progress.h"

namespace app {
namespace {

constexpr std::string_view kControl = ".aria2";

bool EndsWithControl(std::string_view name) {
  if (name.size() <= kControl.size()) return false;
  const std::string_view end = name.substr(name.size() - kControl.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = end[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != kControl[i]) return false;
  }
  return true;
}

}  // namespace

std::unordered_set<std::string> ControlledNames(
    const platform::Listing& listing) {
  std::unordered_set<std::string> names;
  for (const platform::Entry& entry : listing.entries) {
    if (EndsWithControl(entry.name))
      names.emplace(entry.name.substr(0, entry.name.size() - kControl.size()));
  }
  return names;
}

bool HasControlFile(platform::FileSystem& files, const platform::Folder& folder,
                    std::string_view name) {
  return files.Exists(folder, std::string(name) + std::string(kControl));
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
