// The first bytes of a small file beside a download (its .nfo): opened
// relative to its folder, never through a link, never a fifo or a device
// that would block or answer forever.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/posix/call_platform.h"
#include "platform/posix/failure_kind.h"
#include "platform/posix/file_system.h"

namespace platform::posix {

Outcome PosixFileSystem::ReadStart(const Folder& folder, std::string_view name,
                                   std::size_t most, std::string& bytes) {
  bytes.clear();
  if (name.find('\0') != std::string_view::npos) return OutcomeOf(EINVAL);
  const std::string c(name);
  const FolderFd dir(folder);
  if (dir.fd() < 0) return OutcomeOf(dir.error());
  const auto opened = CallPlatform([&] {
    return openat(dir.fd(), c.c_str(),
                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  });
  if (opened.failed)
    return opened.error == ELOOP ? Outcome{Failure::kNotAFile, ELOOP}
                                 : OutcomeOf(opened.error);
  const int fd = opened.value;
  struct stat st;
  Outcome outcome;
  if (fstat(fd, &st) != 0) {
    outcome = OutcomeOf(errno);
  } else if (!S_ISREG(st.st_mode)) {
    outcome = {Failure::kNotAFile, 0};
  } else {
    bytes.resize(most);
    std::size_t got = 0;
    while (got < most) {
      const auto read_now = CallPlatform([&] {
        return static_cast<int>(read(fd, bytes.data() + got, most - got));
      });
      if (read_now.failed) {
        outcome = OutcomeOf(read_now.error);
        break;
      }
      if (read_now.value == 0) break;
      got += static_cast<std::size_t>(read_now.value);
    }
    bytes.resize(got);
  }
  close(fd);
  return outcome;
}

}  // namespace platform::posix
