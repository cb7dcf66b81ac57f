// The listing: a snapshot of a folder's entries, taken in one pass and
// sorted byte-wise, so that a rename made during the run never brings an
// entry back under its new name.  The folder stays open for the renames in
// it.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/call_platform.h"
#include "platform/posix/failure_kind.h"
#include "platform/posix/file_system.h"

namespace platform::posix {
namespace {

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kDirectory;
  if (S_ISREG(mode)) return EntryKind::kFile;
  return EntryKind::kOther;
}

EntryId IdOf(const struct stat& st) {
  return EntryId{static_cast<std::uint64_t>(st.st_dev),
                 static_cast<std::uint64_t>(st.st_ino), true};
}

// An entry by lstat and, through a symbolic link, stat: a link counts as
// what it points to, a dangling one as a file.  An entry that vanished
// meanwhile counts as a file: its rename will say it is gone.
Entry EntryByStat(int dir_fd, const char* name) {
  Entry entry{name, EntryKind::kFile, name[0] == '.', false, {}};
  struct stat st;
  if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return entry;
  entry.id = IdOf(st);
  if (!S_ISLNK(st.st_mode)) {
    entry.kind = KindOfMode(st.st_mode);
    return entry;
  }
  entry.link = true;
  if (fstatat(dir_fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode))
    entry.kind = EntryKind::kDirectory;
  return entry;
}

// The device of the folder's files when the folder's file system gives each
// entry in a listing the inode that stat gives it, so that a file's identity
// comes with its listing; else nothing known.  (On an overlay or a network
// file system the two may differ: there each file is asked.)
EntryId FileIdentitiesOf(int dir_fd) {
#ifdef __linux__
  struct statfs fs;
  struct stat st;
  if (fstatfs(dir_fd, &fs) != 0 || fstat(dir_fd, &st) != 0) return {};
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0xF2F52010:  // f2fs
      return EntryId{static_cast<std::uint64_t>(st.st_dev), 0, true};
    default:
      return {};
  }
#else
  (void)dir_fd;
  return {};
#endif
}

// Eight bytes of a name from byte from on as one number that orders as the
// bytes do: a name holds no NUL, so one that ends sooner, padded with
// zeros, sorts first.
std::uint64_t EightBytes(std::string_view name, std::size_t from) {
  std::uint64_t key = 0;
  for (std::size_t i = from; i < from + 8; ++i)
    key = key << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
  return key;
}

// What readdir tells of an entry, its name kept in the listing's one
// buffer; the first sixteen bytes of the name are its sort key, the whole
// names compared only where those tie (release names often share their
// first eight).
struct Listed {
  std::uint64_t first, second;
  std::size_t at, size;
  ino_t inode;
  unsigned char type;
};

// Every entry of the open folder, sorted byte-wise by name.  A hidden entry
// is never taken: no need to ask what it is.  A folder's identity is asked,
// so that a walk can tell it is still the folder listed.  A folder that
// cannot be read to its end (no descriptor left to read it by, say) lists
// nothing, and error says why: a part of it is never taken for the whole.
// The names are read and sorted first, and the entries made in their order,
// so that a run reading them in turn reads its memory in turn.
std::vector<Entry> ReadEntries(int dir_fd, int& error) {
  std::vector<Entry> entries;
  const EntryId files = FileIdentitiesOf(dir_fd);
  const int own_fd = fcntl(dir_fd, F_DUPFD_CLOEXEC, 0);
  error = own_fd < 0 ? errno : 0;
  if (own_fd < 0) return entries;
  DIR* dir = fdopendir(own_fd);
  if (!dir) {
    error = errno;
    close(own_fd);
    return entries;
  }
  std::string names;  // each ends in a NUL, for the calls that want one
  std::vector<Listed> listed;
  for (;;) {
    // readdir signals its end and its failure alike with a null pointer:
    // errno tells them apart.
    errno = 0;
    const struct dirent* d = readdir(dir);
    if (!d) {
      error = errno;
      break;
    }
    const std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    listed.push_back({EightBytes(name, 0), EightBytes(name, 8), names.size(),
                      name.size(), d->d_ino, d->d_type});
    names.append(name).push_back('\0');
  }
  if (error != 0) {
    closedir(dir);
    return {};
  }
  const std::string_view all = names;
  std::sort(listed.begin(), listed.end(), [all](const Listed& a, const Listed& b) {
    if (a.first != b.first) return a.first < b.first;
    if (a.second != b.second) return a.second < b.second;
    return all.substr(a.at, a.size) < all.substr(b.at, b.size);
  });
  entries.reserve(listed.size());
  for (const Listed& l : listed) {
    const std::string_view name = all.substr(l.at, l.size);
    if (name[0] == '.') {
      entries.push_back(
          {std::string(name), EntryKind::kOther, true, l.type == DT_LNK, {}});
      continue;
    }
    switch (l.type) {
      case DT_REG: {
        EntryId id;
        if (files.known) id = EntryId{files.volume, static_cast<std::uint64_t>(l.inode), true};
        entries.push_back({std::string(name), EntryKind::kFile, false, false, id});
        break;
      }
      case DT_FIFO:
      case DT_SOCK:
      case DT_CHR:
      case DT_BLK:
        entries.push_back({std::string(name), EntryKind::kOther, false, false, {}});
        break;
      default:  // DT_DIR, DT_LNK, DT_UNKNOWN
        entries.push_back(EntryByStat(dirfd(dir), names.data() + l.at));
    }
  }
  closedir(dir);
  return entries;
}

// A path longer than the system takes at once, opened a folder at a time,
// each relative to the one before and never through a link.
int OpenStepByStep(const std::string& path, int& error) {
  int fd = open(path[0] == '/' ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (std::size_t start = 0; fd >= 0 && start < path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string step = path.substr(start, end - start);
    start = end + 1;
    if (step.empty() || step == ".") continue;
    const int next = openat(fd, step.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    error = errno;
    close(fd);
    fd = next;
  }
  if (fd < 0 && error == 0) error = errno;
  return fd;
}

int OpenPath(std::string_view path, int& error) {
  const std::string name = path.empty() ? "." : std::string(path);
  const auto opened = CallPlatform([&] {
    return open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  });
  error = opened.error;
  if (opened.failed && opened.error == ENAMETOOLONG)
    return OpenStepByStep(name, error);
  return opened.failed ? -1 : opened.value;
}

// The listing of a folder opened (fd) or not (error); a folder that does not
// exist lists nothing, with no failure.
Listing Opened(std::string path, int fd, int error) {
  Listing listing;
  listing.folder.path = std::move(path);
  if (fd < 0) {
    if (error != ENOENT) listing.failure = OutcomeOf(error);
    return listing;
  }
  listing.folder.handle = std::make_shared<OpenFolder>(fd);
  struct stat st;
  if (fstat(fd, &st) == 0) listing.folder.id = IdOf(st);
  return listing;
}

}  // namespace

OpenFolder::~OpenFolder() { close(fd); }

FolderFd::FolderFd(const Folder& folder) {
  if (folder.handle) {
    fd_ = static_cast<const OpenFolder&>(*folder.handle).fd;
    return;
  }
  fd_ = OpenPath(folder.path, error_);
  own_ = fd_ >= 0;
}

FolderFd::~FolderFd() {
  if (own_) close(fd_);
}

// A name is looked up, not searched for: a list of many names from the shell
// costs one lookup each.
Listing PosixFileSystem::ListFolder(std::string_view path,
                                    std::optional<std::string_view> name) {
  int error = 0;
  const int fd = OpenPath(path, error);
  Listing listing = Opened(std::string(path), fd, error);
  if (fd < 0) return listing;
  if (!name) {
    listing.entries = ReadEntries(fd, error);
    if (error != 0) listing.failure = OutcomeOf(error);
    return listing;
  }
  const std::string c_name(*name);
  struct stat st;
  if (c_name.find('\0') == std::string::npos &&
      fstatat(fd, c_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    listing.entries.push_back(EntryByStat(fd, c_name.c_str()));
  return listing;
}

Listing PosixFileSystem::ListBelow(const Folder& parent, const Entry& folder) {
  const FolderFd parent_fd(parent);
  std::string path = parent.path + folder.name + "/";
  if (parent_fd.fd() < 0) return Opened(std::move(path), -1, parent_fd.error());
  const auto opened = CallPlatform([&] {
    return openat(parent_fd.fd(), folder.name.c_str(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  });
  // A link or a file in its place is not the folder that was listed.
  int error = opened.error;
  if (error == ELOOP || error == ENOTDIR) error = ENOENT;
  Listing listing = Opened(std::move(path), opened.failed ? -1 : opened.value,
                           opened.failed ? error : 0);
  if (opened.failed) {
    if (opened.error == ELOOP || opened.error == ENOTDIR)
      listing.failure = {Failure::kNotFound, opened.error};
    return listing;
  }
  if (folder.id.known && !(listing.folder.id == folder.id)) {
    listing.folder.handle.reset();
    listing.failure = {Failure::kNotFound, 0};
    return listing;
  }
  listing.entries = ReadEntries(opened.value, error);
  if (error != 0) listing.failure = OutcomeOf(error);
  return listing;
}

// Made with the user's umask, as mkdir makes folders; opened as ListBelow
// opens one, so that a link put in its place at once is not followed, and
// given its mode through that descriptor.
Outcome PosixFileSystem::MakeFolder(const Folder& parent, std::string_view name,
                                    std::uint32_t mode, Folder& made) {
  if (name.empty() || name.find('\0') != std::string_view::npos ||
      name.find('/') != std::string_view::npos)
    return OutcomeOf(EINVAL);
  const std::string c(name);
  const FolderFd parent_fd(parent);
  if (parent_fd.fd() < 0) return OutcomeOf(parent_fd.error());
  if (!VolumeHoldsName("exfat", name) &&
      !VolumeHoldsName(VolumeTypeOf(parent_fd.fd()), name))
    return {Failure::kNotHeldName, EINVAL};
  const auto created =
      CallPlatform([&] { return mkdirat(parent_fd.fd(), c.c_str(), 0777); });
  if (created.failed) return OutcomeOf(created.error);
  const auto opened = CallPlatform([&] {
    return openat(parent_fd.fd(), c.c_str(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  });
  if (opened.failed) return OutcomeOf(opened.error);
  made = Opened(parent.path + c + "/", opened.value, 0).folder;
  if (mode == 0) return {};
  const auto changed = CallPlatform(
      [&] { return fchmod(opened.value, static_cast<mode_t>(mode & 07777)); });
  return OutcomeOf(changed.error);
}

FolderFacts PosixFileSystem::DescribeFolder(const Folder& folder) {
  FolderFacts facts;
  facts.absolute = AbsolutePathOf(folder);
  const FolderFd fd(folder);
  if (fd.fd() < 0) return facts;
  facts.volume_type = VolumeTypeOf(fd.fd());
  struct stat st;
  if (fstat(fd.fd(), &st) == 0)
    facts.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
  return facts;
}

// Only a folder whose identity is known is let go: the identity tells that
// the path opened again leads to it still.
void PosixFileSystem::LetGoFolder(Folder& folder) {
  if (folder.id.known) folder.handle.reset();
}

Outcome PosixFileSystem::ReopenFolder(Folder& folder) {
  if (folder.handle || !folder.id.known) return {};
  int error = 0;
  const int fd = OpenPath(folder.path, error);
  if (fd < 0) return error == ENOENT ? Outcome{Failure::kNotFound, error}
                                     : OutcomeOf(error);
  struct stat st;
  if (fstat(fd, &st) != 0 || !(IdOf(st) == folder.id)) {
    close(fd);
    return {Failure::kNotFound, 0};
  }
  folder.handle = std::make_shared<OpenFolder>(fd);
  return {};
}

}  // namespace platform::posix
