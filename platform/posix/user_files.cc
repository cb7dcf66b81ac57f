// The user's own files: where they live by the XDG custom, and reading,
// appending and replacing them.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/call_platform.h"
#include "platform/posix/file_system.h"

namespace platform {
namespace {

// $VARIABLE when it holds an absolute path, else $HOME/fallback.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* set = getenv(variable);
  if (set && set[0] == '/') return set;
  const char* home = getenv("HOME");
  if (!home || home[0] != '/') return "";
  return std::string(home) + "/" + fallback;
}

// Makes every missing folder of the path's folder part.
void MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
}

bool WriteWhole(int fd, std::string_view text) {
  while (!text.empty()) {
    const auto written =
        posix::CallPlatform([&] { return write(fd, text.data(), text.size()); });
    if (written.failed) {
      if (written.error == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written.value));
  }
  return true;
}

}  // namespace

namespace posix {

std::string PosixFileSystem::UserFilePath(UserFile file) {
  if (file == UserFile::kHistory) {
    const std::string folder = XdgFolder("XDG_STATE_HOME", ".local/state");
    return folder.empty() ? "" : folder + "/namewisp/history";
  }
  const std::string folder = XdgFolder("XDG_CONFIG_HOME", ".config");
  return folder.empty() ? "" : folder + "/namewisp/terms";
}

FileText PosixFileSystem::ScanFile(
    std::string_view path,
    const std::function<void(std::string_view piece)>& each) {
  FileText file;
  const std::string name(path);
  const auto opened = posix::CallPlatform(
      [&] { return open(name.c_str(), O_RDONLY | O_CLOEXEC); });
  if (opened.failed) {
    file.exists = opened.error != ENOENT;
    return file;
  }
  file.exists = true;
  std::string buffer(1 << 17, '\0');
  for (;;) {
    const auto got = posix::CallPlatform(
        [&] { return read(opened.value, buffer.data(), buffer.size()); });
    if (got.failed && got.error == EINTR) continue;
    if (got.failed) break;
    if (got.value == 0) {
      file.read = true;
      break;
    }
    each(std::string_view(buffer.data(), static_cast<std::size_t>(got.value)));
  }
  close(opened.value);
  return file;
}

namespace {

// The file appended to last, kept open: a run appends to its history a batch
// at a time, and would otherwise open it (and make its folders) for each.
struct AppendedFile {
  std::string path;
  int fd = -1;
};

AppendedFile appended;

void ForgetAppendedFile() {
  if (appended.fd >= 0) close(appended.fd);
  appended = AppendedFile{};
}

int OpenForAppending(const std::string& name) {
  if (appended.fd >= 0 && appended.path == name) return appended.fd;
  ForgetAppendedFile();
  auto open_it = [&] {
    return posix::CallPlatform([&] {
      return open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC,
                  0600);
    });
  };
  auto opened = open_it();
  if (opened.failed && opened.error == ENOENT) {
    MakeFolders(name);
    opened = open_it();
  }
  if (opened.failed) return -1;
  appended = {name, opened.value};
  return opened.value;
}

}  // namespace

void CloseUserFiles() { ForgetAppendedFile(); }

// The lock keeps the appends of runs at the same time whole, each in one
// piece.
bool PosixFileSystem::AppendFile(std::string_view path, std::string_view text) {
  const int fd = OpenForAppending(std::string(path));
  if (fd < 0) return false;
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) break;
  }
  const bool written = WriteWhole(fd, text);
  flock(fd, LOCK_UN);
  return written;
}

bool PosixFileSystem::ReplaceFile(std::string_view path, std::string_view text) {
  const std::string name(path);
  // The file kept open for appending is about to be another one.
  if (appended.path == name) ForgetAppendedFile();
  MakeFolders(name);
  const std::string temporary = name + ".new-" + std::to_string(getpid());
  const auto opened = posix::CallPlatform([&] {
    return open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                0600);
  });
  if (opened.failed) return false;
  const bool written = WriteWhole(opened.value, text) && fsync(opened.value) == 0;
  if (close(opened.value) != 0 || !written ||
      rename(temporary.c_str(), name.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

std::string PosixFileSystem::AbsolutePath(const Folder& folder) {
  const std::string path = folder.path.empty() ? "." : folder.path;
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return "";
  std::string absolute = resolved;
  if (absolute.back() != '/') absolute.push_back('/');
  return absolute;
}

}  // namespace posix

std::string UtcNow() {
  const time_t now = time(nullptr);
  struct tm utc;
  gmtime_r(&now, &utc);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

long ProcessNumber() { return static_cast<long>(getpid()); }

}  // namespace platform
