// The listing: a snapshot of the entries an operand names, taken in one pass
// and sorted byte-wise, so that a rename made during the run never brings an
// entry back under its new name.  The folder stays open for the renames in
// it.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/call_platform.h"
#include "platform/posix/failure_kind.h"
#include "platform/posix/listing_state.h"
#include "platform/posix/wildcard.h"

namespace platform {
namespace posix {
namespace {

// The folder of the last listing, kept open for its renames.
struct OpenFolder {
  std::string directory;
  int fd = -1;
};

OpenFolder open_folder;

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kDirectory;
  if (S_ISREG(mode)) return EntryKind::kFile;
  return EntryKind::kOther;
}

// What an entry is, by lstat and, through a symbolic link, stat: a link
// counts as what it points to, a dangling one as a file.  An entry that
// vanished meanwhile counts as a file: its rename will say it is gone.
EntryKind KindByStat(int dir_fd, const char* name) {
  struct stat st;
  if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
    return EntryKind::kFile;
  if (!S_ISLNK(st.st_mode)) return KindOfMode(st.st_mode);
  if (fstatat(dir_fd, name, &st, 0) != 0) return EntryKind::kFile;
  return S_ISDIR(st.st_mode) ? EntryKind::kDirectory : EntryKind::kFile;
}

bool IsLink(int dir_fd, const char* name) {
  struct stat st;
  return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISLNK(st.st_mode);
}

EntryKind KindOf(int dir_fd, const struct dirent* entry) {
  switch (entry->d_type) {
    case DT_REG: return EntryKind::kFile;
    case DT_DIR: return EntryKind::kDirectory;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK: return EntryKind::kOther;
    default:  // DT_LNK, DT_UNKNOWN
      return KindByStat(dir_fd, entry->d_name);
  }
}

Entry MakeEntry(std::string_view name, EntryKind kind, bool link) {
  return Entry{std::string(name), kind, name[0] == '.', link};
}

// Every entry of the folder whose name matches the pattern.
std::vector<Entry> ReadMatching(int dir_fd, const std::string& pattern) {
  std::vector<Entry> entries;
  const int own_fd = fcntl(dir_fd, F_DUPFD_CLOEXEC, 0);
  if (own_fd < 0) return entries;
  DIR* dir = fdopendir(own_fd);
  if (!dir) {
    close(own_fd);
    return entries;
  }
  const bool match_all = pattern == "*" || pattern == "*.*";
  for (;;) {
    // readdir signals its end and its failure alike with a null pointer; a
    // failure ends the listing as if no entries were left.
    const struct dirent* entry = readdir(dir);
    if (!entry) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!match_all && !WildcardMatch(pattern, name)) continue;
    // A hidden entry is never taken: no need to ask what it is.
    const EntryKind kind =
        name[0] == '.' ? EntryKind::kOther : KindOf(dirfd(dir), entry);
    const bool link = entry->d_type == DT_LNK ||
                      (entry->d_type == DT_UNKNOWN && IsLink(dirfd(dir), entry->d_name));
    entries.push_back(MakeEntry(name, kind, link));
  }
  closedir(dir);
  return entries;
}

}  // namespace

void EndListing() {
  if (open_folder.fd >= 0) close(open_folder.fd);
  open_folder = OpenFolder{};
}

int ListedDirectoryFd(std::string_view directory) {
  return directory == open_folder.directory ? open_folder.fd : -1;
}

}  // namespace posix

Listing List(std::string_view operand) {
  posix::EndListing();
  Listing listing;
  const posix::OperandParts parts = posix::SplitOperand(operand);
  listing.directory = parts.directory;
  if (parts.name.empty() || parts.name == "." || parts.name == "..")
    return listing;
  const std::string path = parts.directory.empty() ? "." : parts.directory;
  const auto opened = posix::CallPlatform([&] {
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  });
  if (opened.failed) {
    if (opened.error != ENOENT) listing.failure = posix::OutcomeOf(opened.error);
    return listing;
  }
  posix::open_folder = {parts.directory, opened.value};
  if (posix::HasWildcard(parts.name)) {
    listing.entries = posix::ReadMatching(opened.value, parts.name);
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
  } else {
    // A name without wildcards is looked up, not searched for: a list of
    // many names from the shell costs one lookup each.
    struct stat st;
    if (fstatat(opened.value, parts.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) ==
        0) {
      EntryKind kind = posix::KindOfMode(st.st_mode);
      const bool link = S_ISLNK(st.st_mode);
      if (link) kind = posix::KindByStat(opened.value, parts.name.c_str());
      listing.entries.push_back(posix::MakeEntry(parts.name, kind, link));
    }
  }
  return listing;
}

}  // namespace platform
