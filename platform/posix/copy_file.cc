// A copy of one file into another folder, for a move between two file
// systems: through the folders' descriptors, never through a link, into
// a new entry only, with what the file has besides its bytes as far as the
// target holds it, flushed before it is called made.
#include <errno.h>
#include <fcntl.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/posix/call_platform.h"
#include "platform/posix/failure_kind.h"
#include "platform/posix/file_system.h"
#include "platform/posix/interrupts.h"
#include "platform/posix/rename.h"

namespace platform::posix {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

// A descriptor closed on every way out.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

bool NameFits(std::string_view name) {
  return !name.empty() && name.size() <= kLongestName &&
         name.find('\0') == std::string_view::npos &&
         name.find('/') == std::string_view::npos;
}

// Writes all of data at offset at, through short writes and interrupts; 0
// or the errno.
int WriteAll(int fd, const char* data, std::size_t size, off_t at) {
  while (size > 0) {
    const auto wrote =
        CallPlatform([&] { return pwrite(fd, data, size, at); });
    if (wrote.failed) {
      if (wrote.error == EINTR) continue;
      return wrote.error;
    }
    data += wrote.value;
    size -= static_cast<std::size_t>(wrote.value);
    at += wrote.value;
  }
  return 0;
}

// Where the next data at or past at begins and ends in the file of size
// end: the holes between are left holes in the copy (a sparse file of a
// gibibyte with a few kilobytes in it stays that small).  A file system
// that tells no holes has data throughout.
void NextData(int in, off_t at, off_t end, off_t& data, off_t& hole) {
  data = lseek(in, at, SEEK_DATA);
  if (data < 0) {
    data = errno == ENXIO ? end : at;  // ENXIO: a hole to the end
    if (data == end) {
      hole = end;
      return;
    }
  }
  hole = lseek(in, data, SEEK_HOLE);
  if (hole < 0 || hole > end) hole = end;
}

// Copies the size bytes of in to out, the holes left holes; 0 or the
// errno, ECANCELED when a signal waits on a hold: Ctrl+C ends the run
// within a piece, not at the end of the file.  bytes: how far it got, short
// of size where the file was cut shorter meanwhile.
int CopyBytes(int in, int out, off_t size, std::uint64_t& bytes,
              const std::function<void(std::uint64_t)>& progress) {
#ifdef FICLONE
  // Where the file system shares the blocks (Btrfs, XFS, within one of
  // them), the copy is a clone: at once, holes and all, and no space taken
  // twice until one of them changes.
  if (ioctl(out, FICLONE, in) == 0) {
    bytes = static_cast<std::uint64_t>(size);
    if (progress) progress(bytes);
    return 0;
  }
#endif
  std::vector<char> buffer(kPiece);
  for (off_t at = 0; at < size;) {
    off_t data = 0, hole = 0;
    NextData(in, at, size, data, hole);
    for (at = data; at < hole;) {
      const std::size_t want =
          static_cast<std::size_t>(std::min<off_t>(hole - at, kPiece));
      const auto got =
          CallPlatform([&] { return pread(in, buffer.data(), want, at); });
      if (got.failed) {
        if (got.error == EINTR) continue;
        return got.error;
      }
      if (got.value == 0) return 0;  // cut shorter: told by bytes
      if (const int error = WriteAll(
              out, buffer.data(), static_cast<std::size_t>(got.value), at))
        return error;
      at += got.value;
      bytes = static_cast<std::uint64_t>(at);
      if (progress) progress(bytes);
      if (SignalWaiting()) return ECANCELED;
    }
    bytes = static_cast<std::uint64_t>(at);
  }
  // A hole at the end is the file's length alone.
  return ftruncate(out, size) == 0 ? 0 : errno;
}

// The file's extended attributes onto the copy: its ACL (the attribute
// system.posix_acl_access) among them.  Those the process may not read or
// the target cannot hold are told in lost, as is a file capability, left
// out as set-user-id is.  The target's own security label stands, as for
// any file made there.
void CopyAttributes(int in, int out, std::vector<std::string>& lost) {
  std::string names;
  for (ssize_t size = flistxattr(in, nullptr, 0); size > 0;
       size = flistxattr(in, nullptr, 0)) {
    names.resize(static_cast<std::size_t>(size));
    const ssize_t got = flistxattr(in, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      break;
    }
    names.clear();
    if (errno != ERANGE) return;  // grown meanwhile: asked again
  }
  std::string value;
  for (std::size_t at = 0; at < names.size();) {
    const std::string name = names.c_str() + at;
    at += name.size() + 1;
    if (name.empty() || name == "security.selinux") continue;
    bool kept = name != "security.capability";
    ssize_t size = kept ? fgetxattr(in, name.c_str(), nullptr, 0) : -1;
    if (size >= 0) {
      value.resize(static_cast<std::size_t>(size));
      size = fgetxattr(in, name.c_str(), value.data(), value.size());
    }
    kept = size >= 0 && fsetxattr(out, name.c_str(), value.data(),
                                  static_cast<std::size_t>(size), 0) == 0;
    if (!kept) lost.push_back(name);
  }
}

struct timespec TimeOf(std::int64_t ns) {
  std::int64_t seconds = ns / 1000000000, rest = ns % 1000000000;
  if (rest < 0) {
    rest += 1000000000;
    --seconds;
  }
  struct timespec time {};
  time.tv_sec = static_cast<time_t>(seconds);
  time.tv_nsec = static_cast<long>(rest);
  return time;
}

}  // namespace

EntryFacts FactsOf(const struct ::stat& st) {
  auto ns = [](const struct timespec& t) {
    return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
  };
  return {true,
          static_cast<std::uint32_t>(st.st_uid),
          static_cast<std::uint32_t>(st.st_gid),
          static_cast<std::uint32_t>(st.st_mode & 07777),
          ns(st.st_atim),
          ns(st.st_mtim)};
}

Outcome PosixFileSystem::CopyInto(const Folder& from, std::string_view name,
                                  const Folder& to, std::string_view copy,
                                  Copied& copied,
                                  const std::function<void(std::uint64_t)>& progress) {
  copied = {};
  if (!NameFits(name) || !NameFits(copy)) return OutcomeOf(EINVAL);
  const std::string source(name), target(copy);
  const FolderFd from_fd(from);
  if (from_fd.fd() < 0) return OutcomeOf(from_fd.error());
  const FolderFd to_fd(to);
  if (to_fd.fd() < 0) return OutcomeOf(to_fd.error());
  Fd in;
  const auto opened = CallPlatform([&] {
    return openat(from_fd.fd(), source.c_str(),
                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  });
  if (opened.failed)
    return opened.error == ELOOP ? Outcome{Failure::kNotAFile, ELOOP}
                                 : OutcomeOf(opened.error);
  in.fd = opened.value;
  struct stat st;
  if (fstat(in.fd, &st) != 0) return OutcomeOf(errno);
  if (!S_ISREG(st.st_mode)) return {Failure::kNotAFile, 0};
  Fd out;
  const auto made = CallPlatform([&] {
    return openat(to_fd.fd(), target.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  static_cast<mode_t>(S_IRUSR | S_IWUSR));
  });
  if (made.failed) return OutcomeOf(made.error);
  out.fd = made.value;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  int error = CopyBytes(in.fd, out.fd, st.st_size, copied.bytes, progress);
  if (error == 0) {
    // The owner first, as far as the process may give it: a change of
    // owner takes away what the attributes and the mode give.
    if (fchown(out.fd, st.st_uid, st.st_gid) != 0)
      fchown(out.fd, static_cast<uid_t>(-1), st.st_gid);
    struct stat now;
    if (fstat(out.fd, &now) == 0) {
      copied.owner_lost = now.st_uid != st.st_uid;
      copied.group_lost = now.st_gid != st.st_gid;
    }
    CopyAttributes(in.fd, out.fd, copied.attributes_lost);
  }
  // The permissions after the bytes, so that a read-only file can be
  // written (never set-user-id and the like, which undo alone gives back);
  // the time last, since every write sets it.
  if (error == 0 && fchmod(out.fd, st.st_mode & 0777) != 0) error = errno;
  if (error == 0 && futimens(out.fd, times) != 0) error = errno;
  if (error == 0 && fsync(out.fd) != 0) error = errno;
  if (error == 0 && fsync(to_fd.fd()) != 0) error = errno;
  if (error != 0) {
    unlinkat(to_fd.fd(), target.c_str(), 0);
    if (error == ECANCELED) return {Failure::kInterrupted, 0};
    return OutcomeOf(error);
  }
  return {};
}

// Through a descriptor of the entry itself, so that a link put in its place
// is never followed: the owner first, since a change of owner takes away
// set-user-id, then the mode, then the times; flushed to the disk.
Outcome PosixFileSystem::SetFacts(const Folder& folder, std::string_view name,
                                  const EntryFacts& facts) {
  if (!facts.known) return {};
  if (name != "." && !NameFits(name)) return OutcomeOf(EINVAL);
  const std::string c(name);
  const FolderFd folder_fd(folder);
  if (folder_fd.fd() < 0) return OutcomeOf(folder_fd.error());
  Fd entry;
  const auto opened = CallPlatform([&] {
    return openat(folder_fd.fd(), c.c_str(),
                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  });
  if (opened.failed)
    return opened.error == ELOOP ? Outcome{Failure::kNotAFile, ELOOP}
                                 : OutcomeOf(opened.error);
  entry.fd = opened.value;
  struct stat st;
  if (fstat(entry.fd, &st) != 0) return OutcomeOf(errno);
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
    return {Failure::kNotAFile, 0};
  int error = 0;
  if ((st.st_uid != facts.owner || st.st_gid != facts.group) &&
      fchown(entry.fd, facts.owner, facts.group) != 0)
    error = errno;
  if (fchmod(entry.fd, static_cast<mode_t>(facts.mode & 07777)) != 0 &&
      error == 0)
    error = errno;
  const struct timespec times[2] = {TimeOf(facts.accessed),
                                    TimeOf(facts.modified)};
  if (futimens(entry.fd, times) != 0 && error == 0) error = errno;
  if (fsync(entry.fd) != 0 && error == 0) error = errno;
  return OutcomeOf(error);
}

// AT_REMOVEDIR never follows a link, and fails on a file (ENOTDIR); a plain
// unlinkat fails on a folder (EISDIR).
Outcome PosixFileSystem::Remove(const Folder& folder, std::string_view name,
                                EntryKind kind) {
  if (!NameFits(name) || name == "." || name == "..") return OutcomeOf(EINVAL);
  const std::string c(name);
  const FolderFd fd(folder);
  if (fd.fd() < 0) return OutcomeOf(fd.error());
  const int flags = kind == EntryKind::kDirectory ? AT_REMOVEDIR : 0;
  const int error =
      CallPlatform([&] { return unlinkat(fd.fd(), c.c_str(), flags); }).error;
  if (kind == EntryKind::kDirectory && (error == ENOTEMPTY || error == EEXIST))
    return {Failure::kNotEmpty, error};
  return OutcomeOf(error);
}

Outcome PosixFileSystem::SyncFolder(const Folder& folder) {
  const FolderFd fd(folder);
  if (fd.fd() < 0) return OutcomeOf(fd.error());
  return OutcomeOf(CallPlatform([&] { return fsync(fd.fd()); }).error);
}

}  // namespace platform::posix
