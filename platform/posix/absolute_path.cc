// The absolute path of a folder, also of one deeper than the system takes in
// one path.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/posix/file_system.h"

namespace platform::posix {

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

std::string AbsolutePathOf(const Folder& folder) {
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

}  // namespace platform::posix
