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
#include "platform/read_pieces.h"

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

std::string PosixUserFiles::UserFilePath(UserFile file) {
  if (file != UserFile::kTerms) {
    const std::string folder = XdgFolder("XDG_STATE_HOME", ".local/state");
    if (folder.empty()) return "";
    return folder +
           (file == UserFile::kHistory ? "/namewisp/history" : "/namewisp/runs/");
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

// The history and the journals: the program's state.
bool IsHistory(PosixUserFiles& files, const std::string& name) {
  const std::string runs = files.UserFilePath(UserFile::kRuns);
  return name == files.UserFilePath(UserFile::kHistory) ||
         (!runs.empty() && name.starts_with(runs));
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

// Whether the open file may be used: a regular file, and for the history,
// the user's own in a folder of the user's own.
bool Usable(int fd, bool history, const std::string& name) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
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

// Takes the lock without waiting: false when another process holds it.
bool TryLock(int fd, bool& held) {
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    held = errno == EWOULDBLOCK;
    return false;
  }
}

// Whether the open file is still the one at its path: a file replaced by
// another run's trim is not.
bool StillAtPath(int fd, const std::string& name) {
  struct stat open_st, path_st;
  return fstat(fd, &open_st) == 0 && lstat(name.c_str(), &path_st) == 0 &&
         open_st.st_dev == path_st.st_dev && open_st.st_ino == path_st.st_ino;
}

// Reads what the open file holds into buffer: the bytes got, or -1.
long long ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const auto got =
        posix::CallPlatform([&] { return read(fd, buffer, size); });
    if (!got.failed) return got.value;
    if (got.error != EINTR) return -1;
  }
}

}  // namespace

FileText PosixUserFiles::ScanFile(
    std::string_view path,
    const std::function<void(std::string_view piece)>& each,
    std::uint64_t tail) {
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
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return file;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if ((tail == 0 && size > SizeCap()) ||
      (tail > 0 && size > tail &&
       lseek(fd, st.st_size - static_cast<off_t>(tail), SEEK_SET) < 0)) {
    file.too_big = tail == 0;
    close(fd);
    return file;
  }
  const ReadEnd end = ReadPieces(
      [&](char* buffer, std::size_t n) { return ReadSome(fd, buffer, n); },
      each, SizeCap());
  file.read = end == ReadEnd::kWhole;
  file.too_big = end == ReadEnd::kTooBig;
  close(fd);
  return file;
}

namespace {

class PosixJournal final : public JournalFile {
 public:
  PosixJournal(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~PosixJournal() override { close(fd_); }  // the lock goes with it
  bool Append(std::string_view text) override { return WriteWhole(fd_, text); }
  // A journal removed or replaced since it was opened holds what it holds
  // for nobody: the run stops as it would on a full disk.
  bool Sync() override {
    return !posix::CallPlatform([&] { return fsync(fd_); }).failed &&
           StillAtPath(fd_, name_);
  }

 private:
  int fd_;
  std::string name_;
};

// The journal open at fd, locked, when it is still the file at its path and
// one of the user's own.
OpenedJournal Locked(PosixUserFiles& files, int fd, const std::string& name) {
  OpenedJournal opened;
  bool held = false;
  if (!TryLock(fd, held)) {
    close(fd);
    opened.state = held ? JournalState::kLocked : JournalState::kFailed;
    return opened;
  }
  // Removed meanwhile by another run: gone.
  if (!StillAtPath(fd, name) || !Usable(fd, IsHistory(files, name), name)) {
    close(fd);
    return opened;
  }
  opened.file = std::make_unique<PosixJournal>(fd, name);
  opened.state = JournalState::kOpen;
  return opened;
}

}  // namespace

OpenedJournal PosixUserFiles::CreateJournal(std::string_view path) {
  const std::string name(path);
  const int flags = O_WRONLY | O_APPEND | O_CREAT | O_EXCL;
  MakeFolders(name);
  // Never made in a folder that is not the user's own (or a link to one).
  if (IsHistory(*this, name) && !FolderIsOwn(name)) return {};
  int error = 0;
  const int fd = OpenUserFile(name, flags, error);
  if (fd < 0) {
    OpenedJournal opened;
    if (error == EEXIST) opened.state = JournalState::kExists;
    return opened;
  }
  return Locked(*this, fd, name);
}

OpenedJournal PosixUserFiles::OpenJournal(std::string_view path) {
  const std::string name(path);
  int error = 0;
  const int fd = OpenUserFile(name, O_WRONLY | O_APPEND, error);
  if (fd < 0) return {};
  return Locked(*this, fd, name);
}

// Removed under its lock: an undo that opens it meanwhile finds it no
// longer at its path.
bool PosixUserFiles::RemoveJournal(std::string_view path) {
  OpenedJournal opened = OpenJournal(path);
  if (opened.state != JournalState::kOpen) return false;
  return unlink(std::string(path).c_str()) == 0;
}

bool PosixUserFiles::ListStored(std::string_view folder,
                                 std::vector<StoredFile>& stored) {
  stored.clear();
  std::string name(folder);
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  const int fd = open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat own;
  DIR* dir = fstat(fd, &own) == 0 && OwnAndClosed(own) ? fdopendir(fd) : nullptr;
  if (!dir) {
    close(fd);
    return false;
  }
  while (const struct dirent* d = readdir(dir)) {
    struct stat st;
    if (d->d_name[0] == '.' ||
        fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
      continue;
    stored.push_back({d->d_name, static_cast<std::uint64_t>(st.st_size)});
  }
  closedir(dir);
  return true;
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
