// A copy of one file into another folder, for a move between two file
// systems: through the folders' descriptors, never through a link, into a
// new entry only, flushed before it is called made.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Writes all of data, through short writes and interrupts; 0 or the errno.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const auto wrote = CallPlatform([&] { return write(fd, data, size); });
    if (wrote.failed) {
      if (wrote.error == EINTR) continue;
      return wrote.error;
    }
    data += wrote.value;
    size -= static_cast<std::size_t>(wrote.value);
  }
  return 0;
}

// Copies in to out; 0 or the errno, ECANCELED when a signal waits on a
// hold: Ctrl+C ends the run within a piece, not at the end of the file.
int CopyBytes(int in, int out, std::uint64_t& bytes,
              const std::function<void(std::uint64_t)>& progress) {
  std::vector<char> buffer(kPiece);
  for (;;) {
    const auto got =
        CallPlatform([&] { return read(in, buffer.data(), buffer.size()); });
    if (got.failed) {
      if (got.error == EINTR) continue;
      return got.error;
    }
    if (got.value == 0) return 0;
    if (const int error =
            WriteAll(out, buffer.data(), static_cast<std::size_t>(got.value)))
      return error;
    bytes += static_cast<std::uint64_t>(got.value);
    if (progress) progress(bytes);
    if (SignalWaiting()) return ECANCELED;
  }
}

}  // namespace

Outcome PosixFileSystem::CopyInto(const Folder& from, std::string_view name,
                                  const Folder& to, std::string_view copy,
                                  std::uint64_t& bytes,
                                  const std::function<void(std::uint64_t)>& progress) {
  bytes = 0;
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
  int error = CopyBytes(in.fd, out.fd, bytes, progress);
  // The permissions after the bytes, so that a read-only file can be
  // written (never set-user-id and the like: the copy is the user's own);
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
