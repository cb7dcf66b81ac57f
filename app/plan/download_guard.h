// Downloads that a client still writes, seen from the folder they are in: an
// entry with aria2's control file beside it ("X" beside "X.aria2"), and a
// folder that holds such a download anywhere below it, as far as "/s" would
// walk.  A rename of either would break the download.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "app/plan/folder_trail.h"
#include "platform/file_system.h"

namespace app {

// The names of a listing that have a control file beside them.
std::unordered_set<std::string> ControlledNames(const platform::Listing& listing);

// True when the entry "name" of the folder has a control file beside it,
// asked of the file system (for an entry looked up alone).
bool HasControlFile(platform::FileSystem& files, const platform::Folder& folder,
                    std::string_view name);

// True when the folder entry of parent holds, at any depth, a download in
// progress; hidden folders and links are not entered, as "/s" enters none.
// A folder that cannot be read holds none that could be renamed.  The trail
// holds the folders above parent and parent itself; it is as it was after.
// A parent deep on the trail is let go of (ReopenFolder opens it again).
bool HoldsDownloadInProgress(platform::FileSystem& files,
                             platform::Folder& parent,
                             const platform::Entry& folder, FolderTrail& trail);

}  // namespace app
