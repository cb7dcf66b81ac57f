// Renames and moves of listed entries, never over an existing entry.
#include "platform/posix/rename.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>
#include <string>

#include "platform/posix/call_platform.h"
#include "platform/posix/console_state.h"
#include "platform/posix/failure_kind.h"
#include "platform/posix/file_system.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform::posix {
namespace {

// Each helper returns 0 or the errno of its failure, through the gate.
template <class Call>
int Errno(Call&& call) {
  return CallPlatform(static_cast<Call&&>(call)).error;
}

int RenameAt2NoReplace(int dir_fd, const char* from, const char* to) {
#ifdef SYS_renameat2
  return Errno([&] {
    return static_cast<int>(syscall(SYS_renameat2, dir_fd, from, dir_fd, to,
                                    RENAME_NOREPLACE));
  });
#else
  (void)dir_fd, (void)from, (void)to;
  return ENOSYS;
#endif
}

// 0 when name exists, ENOENT when not, or the error.
int Exists(int dir_fd, const char* name, struct stat* st) {
  return Errno([&] { return fstatat(dir_fd, name, st, AT_SYMLINK_NOFOLLOW); });
}

// Said once on standard error, before the first rename without the
// kernel's guarantee.
bool limit_said = false;

int CheckThenRename(int dir_fd, const char* from, const char* to) {
  if (!limit_said) {
    limit_said = true;
    static constexpr char kLine[] =
        "namewisp: this file system renames without a guarantee against "
        "replacing: an entry made between the check and the rename could be "
        "replaced\n";
    FlushOutput();
    const ssize_t ignored = write(STDERR_FILENO, kLine, sizeof kLine - 1);
    (void)ignored;
  }
  struct stat st;
  const int exists = Exists(dir_fd, to, &st);
  if (exists == 0) return EEXIST;
  if (exists != ENOENT) return exists;
  return Errno([&] { return renameat(dir_fd, from, dir_fd, to); });
}

// A NUL-terminated copy on the stack: names are short.  Empty when the name
// is too long for any folder, or holds a NUL that would cut it short.
struct CName {
  char text[kLongestName + 2];
  bool fits;
  explicit CName(std::string_view name) {
    fits = name.size() <= kLongestName + 1 &&
           name.find('\0') == std::string_view::npos;
    const std::size_t n = fits ? name.size() : 0;
    name.copy(text, n);
    text[n] = '\0';
  }
};

}  // namespace

int RenameNoReplaceFallback(int dir_fd, const char* old_name,
                            const char* new_name) {
  struct stat st;
  const int exists = Exists(dir_fd, old_name, &st);
  if (exists != 0) return exists;
  if (!S_ISDIR(st.st_mode)) {
    // link fails with EEXIST when the target exists, whatever the timing.
    const int linked =
        Errno([&] { return linkat(dir_fd, old_name, dir_fd, new_name, 0); });
    if (linked == 0) {
      const int unlinked = Errno([&] { return unlinkat(dir_fd, old_name, 0); });
      if (unlinked == 0) return 0;
      unlinkat(dir_fd, new_name, 0);  // undo: one name, as before
      return unlinked;
    }
    if (linked == EEXIST) return EEXIST;
    // No hard links on this file system (EPERM on vfat, ...): as below.
  }
  return CheckThenRename(dir_fd, old_name, new_name);
}

int RenameNoReplace(int dir_fd, const char* old_name, const char* new_name) {
  const int error = RenameAt2NoReplace(dir_fd, old_name, new_name);
  if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP)
    return RenameNoReplaceFallback(dir_fd, old_name, new_name);
  return error;
}

// Between two folders: renameat2 where the file system has RENAME_NOREPLACE,
// else a link and an unlink (the link fails on a name taken), else a check
// just before a plain rename.
int MoveNoReplace(int from_fd, const char* old_name, int to_fd,
                  const char* new_name) {
#ifdef SYS_renameat2
  int error = Errno([&] {
    return static_cast<int>(syscall(SYS_renameat2, from_fd, old_name, to_fd,
                                    new_name, RENAME_NOREPLACE));
  });
#else
  int error = ENOSYS;
#endif
  if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return error;
  struct stat st;
  error = Exists(from_fd, old_name, &st);
  if (error != 0) return error;
  if (!S_ISDIR(st.st_mode)) {
    const int linked =
        Errno([&] { return linkat(from_fd, old_name, to_fd, new_name, 0); });
    if (linked == 0) {
      const int unlinked = Errno([&] { return unlinkat(from_fd, old_name, 0); });
      if (unlinked == 0) return 0;
      unlinkat(to_fd, new_name, 0);  // one name, as before
      return unlinked;
    }
    if (linked == EEXIST || linked == EXDEV) return linked;
  }
  const int exists = Exists(to_fd, new_name, &st);
  if (exists == 0) return EEXIST;
  if (exists != ENOENT) return exists;
  return Errno([&] { return renameat(from_fd, old_name, to_fd, new_name); });
}

// Within one folder (one open folder, or one path) the rename of
// RenameNoReplace, else MoveNoReplace.
Outcome PosixFileSystem::Move(const Folder& from, std::string_view old_name,
                              const Folder& to, std::string_view new_name) {
  const Outcome refused = CheckNames(to, old_name, new_name, false);
  if (!refused.ok()) return refused;
  const CName old_c(old_name), new_c(new_name);
  const FolderFd from_fd(from);
  if (from_fd.fd() < 0) return OutcomeOf(from_fd.error());
  if (from.handle == to.handle && from.path == to.path)
    return OutcomeOf(RenameNoReplace(from_fd.fd(), old_c.text, new_c.text));
  const FolderFd to_fd(to);
  if (to_fd.fd() < 0) return OutcomeOf(to_fd.error());
  const int error =
      MoveNoReplace(from_fd.fd(), old_c.text, to_fd.fd(), new_c.text);
  if (error == EXDEV) return {Failure::kOtherVolume, error};
  return OutcomeOf(error);
}

// linkat without AT_SYMLINK_FOLLOW names the entry itself, never what a
// link leads to; only a regular file is linked.
Outcome PosixFileSystem::Link(const Folder& from, std::string_view old_name,
                              const Folder& to, std::string_view new_name) {
  const Outcome refused = CheckNames(from, old_name, new_name, false);
  if (!refused.ok()) return refused;
  const CName old_c(old_name), new_c(new_name);
  const FolderFd from_fd(from);
  if (from_fd.fd() < 0) return OutcomeOf(from_fd.error());
  const FolderFd to_fd(to);
  if (to_fd.fd() < 0) return OutcomeOf(to_fd.error());
  struct stat st;
  if (const int error = Exists(from_fd.fd(), old_c.text, &st); error != 0)
    return OutcomeOf(error);
  if (!S_ISREG(st.st_mode)) return {Failure::kNotAFile, 0};
  const int error = Errno([&] {
    return linkat(from_fd.fd(), old_c.text, to_fd.fd(), new_c.text, 0);
  });
  switch (error) {
    case EXDEV: return {Failure::kOtherVolume, error};
    // FAT and exFAT refuse every link; a file may have all it can have.
    case EPERM:
    case EMLINK:
    case EOPNOTSUPP: return {Failure::kCannotLink, error};
    default: return OutcomeOf(error);
  }
}

// No name is reserved: every name a file system takes, its programs open.
// A new name with a character that FAT or exFAT cannot hold is asked of the
// folder's file system, which would refuse it with no clearer word.
Outcome PosixFileSystem::CheckNames(const Folder& folder,
                                    std::string_view old_name,
                                    std::string_view new_name, bool) {
  for (std::string_view name : {new_name, old_name}) {
    if (name.find('\0') != std::string_view::npos) return OutcomeOf(EINVAL);
    if (name.size() > kLongestName) return OutcomeOf(ENAMETOOLONG);
  }
  if (VolumeHoldsName("exfat", new_name)) return {};
  const FolderFd fd(folder);
  if (fd.fd() >= 0 && !VolumeHoldsName(VolumeTypeOf(fd.fd()), new_name))
    return {Failure::kNotHeldName, EINVAL};
  return {};
}

// Names are bytes: each is its own form.
std::string PosixFileSystem::NameKey(const Folder&, std::string_view name) {
  return std::string(name);
}

EntryStat PosixFileSystem::Stat(const Folder& folder, std::string_view name) {
  const CName c(name);
  const FolderFd fd(folder);
  struct stat st;
  if (!c.fits || fd.fd() < 0 || posix::Exists(fd.fd(), c.text, &st) != 0)
    return {};
  const std::int64_t ns =
      std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  EntryStat found{true,
                  {static_cast<std::uint64_t>(st.st_dev),
                   static_cast<std::uint64_t>(st.st_ino), true},
                  {static_cast<std::uint64_t>(st.st_size),
                   static_cast<std::uint64_t>(ns), true},
                  FactsOf(st),
                  static_cast<std::uint64_t>(st.st_nlink)};
  found.stamp.by_name = true;
  return found;
}

}  // namespace platform::posix
