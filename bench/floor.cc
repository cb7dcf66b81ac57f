// The floor: the least any renamer must do for a bulk run.  It lists the
// directory, then for each (old, new) pair writes one line and renames with
// renameat2(RENAME_NOREPLACE).  Nothing else: no name is looked at.
//
//   namewisp_floor DIRECTORY PAIRS
//
// PAIRS holds one pair a line: the old name, a tab, the new name.
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: namewisp_floor DIRECTORY PAIRS\n");
    return 2;
  }
  std::ifstream pairs_file(argv[2]);
  if (!pairs_file) {
    std::fprintf(stderr, "namewisp_floor: cannot read %s\n", argv[2]);
    return 2;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string line; std::getline(pairs_file, line);) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }

  DIR* dir = opendir(argv[1]);
  if (!dir) {
    std::fprintf(stderr, "namewisp_floor: cannot open %s\n", argv[1]);
    return 2;
  }
  std::vector<std::string> listed;
  while (const dirent* entry = readdir(dir)) listed.emplace_back(entry->d_name);
  const int dir_fd = dirfd(dir);

  int failed = 0;
  std::string line;
  for (const auto& [from, to] : pairs) {
    line.assign(from).append(" ==> ").append(to).append("\r\n");
    if (write(STDOUT_FILENO, line.data(), line.size()) < 0) return 2;
    if (syscall(SYS_renameat2, dir_fd, from.c_str(), dir_fd, to.c_str(),
                RENAME_NOREPLACE) != 0) {
      ++failed;
    }
  }
  closedir(dir);
  return failed == 0 ? 0 : 1;
}
