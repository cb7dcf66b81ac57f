// The directory listing: a snapshot of the matching names, taken in one pass
// when the listing starts and sorted byte-wise, so that a rename made during
// the run never brings an entry back under its new name.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/call_platform.h"
#include "platform/posix/listing_state.h"
#include "platform/posix/selection.h"
#include "platform/posix/wildcard.h"

namespace platform {
namespace posix {
namespace {

struct Listing {
  std::vector<std::string> names;  // the selected names, sorted
  std::size_t next = 0;            // the next name to hand out
  std::string directory;           // the spec's directory part
  int directory_fd = -1;           // the listed directory, for the renames
};

Listing listing;

// What a symbolic link (or an entry of unknown type) is: lstat, and stat
// through a link.  An entry that vanished meanwhile counts as a file.
EntryKind KindByStat(int dir_fd, const char* name) {
  struct stat st;
  if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return EntryKind::kFile;
  }
  if (S_ISLNK(st.st_mode)) {
    if (fstatat(dir_fd, name, &st, 0) != 0) return EntryKind::kFile;  // dangling
    return S_ISDIR(st.st_mode) ? EntryKind::kDirectory : EntryKind::kFile;
  }
  if (S_ISDIR(st.st_mode)) return EntryKind::kDirectory;
  if (S_ISREG(st.st_mode)) return EntryKind::kFile;
  return EntryKind::kSystem;
}

EntryKind KindOf(int dir_fd, const struct dirent* entry) {
  switch (entry->d_type) {
    case DT_REG: return EntryKind::kFile;
    case DT_DIR: return EntryKind::kDirectory;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK: return EntryKind::kSystem;
    default:  // DT_LNK, DT_UNKNOWN
      return KindByStat(dir_fd, entry->d_name);
  }
}

// Reads every name of the directory that matches the pattern and passes the
// selection.  A directory that cannot be opened gives no names.  The
// directory stays open in kept_fd (or -1) for the renames that follow.
std::vector<std::string> ReadMatchingNames(const std::string& directory,
                                           const std::string& pattern,
                                           int mask, int& kept_fd) {
  std::vector<std::string> names;
  const std::string path = directory.empty() ? "." : directory;
  const auto opened = CallPlatform([&] {
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  });
  if (opened.failed) return names;
  DIR* dir = fdopendir(opened.value);
  if (!dir) {
    close(opened.value);
    return names;
  }
  const int dir_fd = dirfd(dir);
  kept_fd = fcntl(dir_fd, F_DUPFD_CLOEXEC, 0);
  const bool match_all = pattern == "*" || pattern == "*.*";
  for (;;) {
    // readdir signals its end and its failure alike with a null pointer; a
    // failure ends the listing as if no entries were left.
    const struct dirent* entry = readdir(dir);
    if (!entry) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!match_all && !WildcardMatch(pattern, name)) continue;
    // Hidden entries are known by their name: no need to ask what they are
    // when the mask rejects them anyway.
    if (name[0] == '.' && !(mask & kHiddenBit)) continue;
    const int attributes = EntryAttributes(name, KindOf(dir_fd, entry));
    if (IsSelected(name, attributes, mask)) names.emplace_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());  // byte-wise: char_traits compare
  return names;
}

}  // namespace

void EndListing() {
  if (listing.directory_fd >= 0) close(listing.directory_fd);
  listing.directory_fd = -1;
  listing.names.clear();
  listing.names.shrink_to_fit();
  listing.next = 0;
}

int ListedDirectoryFd(std::string_view directory) {
  return directory == listing.directory ? listing.directory_fd : -1;
}

}  // namespace posix

std::string ListNext() {
  posix::Listing& l = posix::listing;
  if (l.next >= l.names.size()) {
    posix::EndListing();
    return std::string();
  }
  return std::move(l.names[l.next++]);
}

std::string ListFirst(std::string_view spec, int attribute_code) {
  if (spec.empty()) return ListNext();
  posix::EndListing();
  posix::SplitSpecResult split = posix::SplitSpec(spec);
  posix::listing.names = posix::ReadMatchingNames(
      split.directory, split.pattern, posix::EffectiveMask(attribute_code),
      posix::listing.directory_fd);
  posix::listing.directory = std::move(split.directory);
  return ListNext();
}

std::string ListDirectory() { return posix::listing.directory; }

}  // namespace platform
