// RenameEntry: renames inside the listed directory and never replaces an
// existing entry.
#include "platform/posix/rename.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <initializer_list>

#include "platform/platform.h"
#include "platform/posix/call_platform.h"
#include "platform/posix/error_reason.h"
#include "platform/posix/listing_state.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {
namespace posix {
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

// Asks whether name exists: 0 when it does, ENOENT when not, or the error.
int Exists(int dir_fd, const char* name, struct stat* st) {
  return Errno(
      [&] { return fstatat(dir_fd, name, st, AT_SYMLINK_NOFOLLOW); });
}

int CheckThenRename(int dir_fd, const char* from,
                    const char* to) {
  struct stat st;
  const int exists = Exists(dir_fd, to, &st);
  if (exists == 0) return EEXIST;
  if (exists != ENOENT) return exists;
  return Errno(
      [&] { return renameat(dir_fd, from, dir_fd, to); });
}

bool SameEntry(int dir_fd, const char* a, const char* b) {
  struct stat sa, sb;
  return Exists(dir_fd, a, &sa) == 0 && Exists(dir_fd, b, &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string TemporaryName(int attempt) {
  return ".namewisp-" + std::to_string(getpid()) + "-" +
         std::to_string(attempt) + ".tmp";
}

}  // namespace

int CheckName(std::string_view name) {
  if (name.empty()) return kNameEmpty;
  // It runs twice for every rename: memchr looks at many bytes at a time.
  auto holds = [name](char c) {
    return std::memchr(name.data(), c, name.size()) != nullptr;
  };
  if (holds('?') || holds('*')) return kNameHasWildcard;
  if (holds('/') || holds('\0')) return kNameHasSlash;
  if (name.size() > kLongestName) return kNameTooLong;
  return 0;
}

int RenameNoReplaceFallback(int dir_fd, const char* old_name,
                            const char* new_name) {
  struct stat st;
  const int exists = Exists(dir_fd, old_name, &st);
  if (exists != 0) return exists;
  if (!S_ISDIR(st.st_mode)) {
    // link fails with EEXIST when the target exists, whatever the timing.
    const int linked = Errno([&] {
      return linkat(dir_fd, old_name, dir_fd, new_name, 0);
    });
    if (linked == 0) {
      const int unlinked =
          Errno([&] { return unlinkat(dir_fd, old_name, 0); });
      if (unlinked == 0) return 0;
      unlinkat(dir_fd, new_name, 0);  // undo: one name, as before
      return unlinked;
    }
    if (linked == EEXIST) return EEXIST;
    // No hard links on this file system (EPERM on vfat, ...): as below.
  }
  return CheckThenRename(dir_fd, old_name, new_name);
}

int RenameNoReplace(int dir_fd, const char* old_name,
                    const char* new_name) {
  const int error =
      RenameAt2NoReplace(dir_fd, old_name, new_name);
  if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
    return RenameNoReplaceFallback(dir_fd, old_name, new_name);
  }
  return error;
}

int RenameThroughTemporary(int dir_fd, const char* old_name,
                           const char* new_name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryName(attempt);
    const char* temporary = name.c_str();
    const int first = RenameNoReplace(dir_fd, old_name, temporary);
    if (first == EEXIST) continue;  // taken: try the next temporary name
    if (first != 0) return first;
    const int second = RenameNoReplace(dir_fd, temporary, new_name);
    if (second == 0) return 0;
    // Back to the old name, which is free again; never lose the entry.
    RenameNoReplace(dir_fd, temporary, old_name);
    return second;
  }
  return EEXIST;
}

}  // namespace posix

bool RenameEntry(std::string_view directory, std::string_view old_name,
                 std::string_view new_name, ErrorSlot& slot) {
  // The new name is tested first, then the old one; a refusal makes no
  // system call.
  for (std::string_view name : {new_name, old_name}) {
    if (const int refusal = posix::CheckName(name)) {
      posix::RecordFailure(slot, refusal);
      return false;
    }
  }
  if (old_name == new_name) return true;  // nothing to change

  // The listing keeps its directory open: a bulk run opens it once.
  int dir_fd = posix::ListedDirectoryFd(directory);
  const bool own_fd = dir_fd < 0;
  if (own_fd) {
    const std::string path = directory.empty() ? "." : std::string(directory);
    const auto opened = posix::CallPlatform(slot, [&] {
      return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    });
    if (opened.failed) return false;
    dir_fd = opened.value;
  }
  // NUL-terminated copies for the system calls, on the stack: the names are
  // checked to be short above.
  char from[posix::kLongestName + 1], to[posix::kLongestName + 1];
  old_name.copy(from, old_name.size());
  from[old_name.size()] = '\0';
  new_name.copy(to, new_name.size());
  to[new_name.size()] = '\0';

  int error = posix::RenameNoReplace(dir_fd, from, to);
  if (error == EEXIST && posix::SameEntry(dir_fd, from, to)) {
    // The file system takes the new name for the old one: a change of letter
    // case on a case-insensitive file system.
    error = posix::RenameThroughTemporary(dir_fd, from, to);
  }
  if (own_fd) close(dir_fd);
  if (error != 0) {
    posix::RecordFailure(slot, error);
    return false;
  }
  return true;
}

}  // namespace platform
