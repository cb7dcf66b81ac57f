// A temporary directory for the tests of the POSIX layer, removed with its
// contents at the end of the test.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace posix_test {

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "namewisp-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    // A test may leave a directory without write permission.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with a trailing "/", as ListDirectory gives it.
  std::string Dir() const { return path_ + "/"; }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

  void WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const {
    struct stat st;
    return lstat(Path(name).c_str(), &st) == 0;
  }
  void MakeDir(const std::string& name) const {
    mkdir(Path(name).c_str(), 0755);
  }

 private:
  std::string path_;
};

// Makes `dir` the current directory until the end of the scope.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace posix_test
