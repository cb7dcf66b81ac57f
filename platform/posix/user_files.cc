// The user's own files: where they live by the XDG custom, and reading,
// appending and replacing them.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

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

namespace {

// The history is the program's state: kept only in a folder and a file of
// the user's own, where no one else may write.
bool OwnAndClosed(const struct stat& st) {
  return st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsHistory(PosixFileSystem& files, const std::string& name) {
  return name == files.UserFilePath(UserFile::kHistory);
}

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

bool FolderIsOwn(const std::string& name) {
  struct stat st;
  return lstat(FolderOf(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         OwnAndClosed(st);
}

// Whether the open file may be used: a regular file within the cap, and for
// the history, the user's own in a folder of the user's own.
bool Usable(int fd, bool history, const std::string& name) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<std::uint64_t>(st.st_size) > kUserFileCap) return false;
  return !history || (OwnAndClosed(st) && FolderIsOwn(name));
}

// Opens a user file, never through a link and never waiting on a FIFO.
int OpenUserFile(const std::string& name, int flags, int& error) {
  const auto opened = posix::CallPlatform([&] {
    return open(name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                0600);
  });
  error = opened.error;
  if (opened.failed) return -1;
  // Reads and writes of a regular file block as usual.
  fcntl(opened.value, F_SETFL, fcntl(opened.value, F_GETFL) & ~O_NONBLOCK);
  return opened.value;
}

void Lock(int fd) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

// Whether the open file is still the one at its path: a file replaced by
// another run's trim is not.
bool StillAtPath(int fd, const std::string& name) {
  struct stat open_st, path_st;
  return fstat(fd, &open_st) == 0 && lstat(name.c_str(), &path_st) == 0 &&
         open_st.st_dev == path_st.st_dev && open_st.st_ino == path_st.st_ino;
}

// Hands the open file's text to each a piece at a time, through one buffer;
// true when it was read to its end within the cap.
bool ReadPieces(int fd, const std::function<void(std::string_view piece)>& each) {
  std::string buffer(1 << 17, '\0');
  std::uint64_t total = 0;
  for (;;) {
    const auto got = posix::CallPlatform(
        [&] { return read(fd, buffer.data(), buffer.size()); });
    if (got.failed && got.error == EINTR) continue;
    if (got.failed) return false;
    if (got.value == 0) return true;
    total += static_cast<std::uint64_t>(got.value);
    if (total > kUserFileCap) return false;  // it grew past the cap meanwhile
    each(std::string_view(buffer.data(), static_cast<std::size_t>(got.value)));
  }
}

}  // namespace

FileText PosixFileSystem::ScanFile(
    std::string_view path,
    const std::function<void(std::string_view piece)>& each) {
  FileText file;
  const std::string name(path);
  int error = 0;
  const int fd = OpenUserFile(name, O_RDONLY, error);
  if (fd < 0) {
    file.exists = error != ENOENT;
    return file;
  }
  file.exists = true;
  if (!Usable(fd, IsHistory(*this, name), name)) {
    close(fd);
    return file;
  }
  file.read = ReadPieces(fd, each);
  close(fd);
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
  const int flags = O_WRONLY | O_APPEND | O_CREAT;
  int error = 0;
  int fd = OpenUserFile(name, flags, error);
  if (fd < 0 && error == ENOENT) {
    MakeFolders(name);
    fd = OpenUserFile(name, flags, error);
  }
  if (fd < 0) return -1;
  appended = {name, fd};
  return fd;
}

}  // namespace

void CloseUserFiles() { ForgetAppendedFile(); }

// The lock keeps the appends of runs at the same time whole, each in one
// piece, and off a file that another run's trim has just replaced: under
// the lock, a file no longer at its path is left for the one that is.
bool PosixFileSystem::AppendFile(std::string_view path, std::string_view text) {
  const std::string name(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = OpenForAppending(name);
    if (fd < 0) return false;
    Lock(fd);
    if (!StillAtPath(fd, name)) {
      ForgetAppendedFile();  // closing it lets the lock go
      continue;
    }
    if (!Usable(fd, IsHistory(*this, name), name)) {
      ForgetAppendedFile();
      return false;
    }
    const bool written = WriteWhole(fd, text);
    flock(fd, LOCK_UN);
    return written;
  }
  return false;
}

bool PosixFileSystem::EditFile(
    std::string_view path,
    const std::function<std::string(std::string_view text)>& edit) {
  const std::string name(path);
  // The file kept open for appending is about to be another one.
  if (appended.path == name) ForgetAppendedFile();
  int error = 0;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    fd = OpenUserFile(name, O_RDONLY, error);
    if (fd < 0) return false;
    Lock(fd);
    if (!StillAtPath(fd, name)) {  // replaced meanwhile: edit the new one
      close(fd);
      fd = -1;
    } else if (!Usable(fd, IsHistory(*this, name), name)) {
      close(fd);
      return false;
    }
  }
  if (fd < 0) return false;
  std::string text;
  const bool read_all =
      ReadPieces(fd, [&](std::string_view piece) { text.append(piece); });
  // A temporary file of its own: never one planted under a guessable name.
  std::string temporary = name + ".new-XXXXXX";
  const int out = read_all ? mkostemp(temporary.data(), O_CLOEXEC) : -1;
  bool done = false;
  if (out >= 0) {
    const bool written = WriteWhole(out, edit(text)) && fsync(out) == 0;
    done = close(out) == 0 && written &&
           rename(temporary.c_str(), name.c_str()) == 0;
    if (!done) unlink(temporary.c_str());
  }
  close(fd);  // the lock goes with it
  return done;
}

bool PosixFileSystem::ProcessRunning(long process) {
  if (process <= 0) return false;
  return kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM;
}

namespace {

// The name the folder at fd has in its parent, found by its identity.
bool NameIn(int parent, const struct stat& here, std::string& name) {
  const int own = fcntl(parent, F_DUPFD_CLOEXEC, 0);
  DIR* dir = own < 0 ? nullptr : fdopendir(own);
  if (!dir) {
    if (own >= 0) close(own);
    return false;
  }
  bool found = false;
  while (const struct dirent* d = readdir(dir)) {
    const std::string_view entry = d->d_name;
    if (entry == "." || entry == "..") continue;
    struct stat st;
    if (fstatat(parent, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        st.st_dev == here.st_dev && st.st_ino == here.st_ino) {
      name = entry;
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

// The absolute path of an open folder, walked up through ".." a step at a
// time: a folder deeper than the system takes in one path has one too.
std::string WalkUp(int fd) {
  std::vector<std::string> names;
  int current = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  bool sound = current >= 0;
  while (sound) {
    struct stat here, up;
    const int parent = openat(current, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    sound = parent >= 0 && fstat(current, &here) == 0 && fstat(parent, &up) == 0;
    if (sound && here.st_dev == up.st_dev && here.st_ino == up.st_ino) {
      close(parent);
      break;  // the root is its own parent
    }
    std::string name;
    sound = sound && NameIn(parent, here, name);
    names.push_back(std::move(name));
    close(current);
    current = parent;
  }
  if (current >= 0) close(current);
  if (!sound) return "";
  std::string path = "/";
  for (auto name = names.rbegin(); name != names.rend(); ++name)
    path.append(*name).push_back('/');
  return path;
}

}  // namespace

std::string PosixFileSystem::AbsolutePath(const Folder& folder) {
  // A listed folder by its descriptor: its path may name another one now.
  if (folder.handle) {
    const int fd = static_cast<const OpenFolder&>(*folder.handle).fd;
    char link[PATH_MAX];
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(proc.c_str(), link, sizeof link);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof link &&
        link[0] == '/') {
      std::string absolute(link, static_cast<std::size_t>(length));
      struct stat by_path, by_fd;
      if (stat(absolute.c_str(), &by_path) == 0 && fstat(fd, &by_fd) == 0 &&
          by_path.st_dev == by_fd.st_dev && by_path.st_ino == by_fd.st_ino) {
        if (absolute.back() != '/') absolute.push_back('/');
        return absolute;
      }
    }
    return WalkUp(fd);
  }
  const std::string path = folder.path.empty() ? "." : folder.path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) {
    std::string absolute = resolved;
    if (absolute.back() != '/') absolute.push_back('/');
    return absolute;
  }
  const FolderFd fd(folder);
  return fd.fd() < 0 ? "" : WalkUp(fd.fd());
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
