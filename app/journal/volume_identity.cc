#include "app/journal/volume_identity.h"

#include <algorithm>
#include <iterator>

namespace app {
namespace {

// NTFS through ntfs-3g is "fuse" on Linux; "network" is any network drive
// on Windows.
constexpr std::string_view kNumbersNotKept[] = {
    "fuse", "fuseblk", "exfat", "vfat", "msdos", "fat", "fat12", "fat16",
    "fat32", "nfs", "nfs4", "cifs", "smb", "smb2", "smb3", "network",
};

}  // namespace

bool KeepsEntryNumbers(std::string_view volume_type) {
  return std::find(std::begin(kNumbersNotKept), std::end(kNumbersNotKept),
                   volume_type) == std::end(kNumbersNotKept);
}

}  // namespace app
