// Which file systems keep the numbers of their entries (inode, file index)
// from one mount to the next.  Where one does not (a FUSE file system, exFAT
// and FAT sticks, network shares), a number recorded today may be another
// entry's once the stick is plugged in again, so the history knows the
// entries there by name, size and modification time instead.
#pragma once

#include <string_view>

namespace app {

// volume_type as platform::FolderFacts tells it; "" (not told)
// keeps them.
bool KeepsEntryNumbers(std::string_view volume_type);

}  // namespace app
