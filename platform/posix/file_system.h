// The POSIX file system, user files and console.  Internal to the POSIX
// layer: the rest of the program sees them through platform::FileSystem,
// platform::UserFiles, platform::Console and platform::Interrupts.
#pragma once

#include <sys/stat.h>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/user_files.h"

namespace platform::posix {

// A listed folder, kept open so that its renames go to the folder listed
// even when its path comes to name another one.
struct OpenFolder final : FolderHandle {
  explicit OpenFolder(int descriptor) : fd(descriptor) {}
  ~OpenFolder() override;
  int fd;
};

// Names of the listed folder, after the folder's own descriptor, else by its
// path for the time of one call.
class FolderFd {
 public:
  explicit FolderFd(const Folder& folder);
  ~FolderFd();
  FolderFd(const FolderFd&) = delete;
  FolderFd& operator=(const FolderFd&) = delete;
  int fd() const { return fd_; }
  int error() const { return error_; }  // why it could not be opened

 private:
  int fd_ = -1;
  bool own_ = false;
  int error_ = 0;
};

class PosixFileSystem final : public FileSystem {
 public:
  Listing ListFolder(std::string_view path,  // listing.cc
                     std::optional<std::string_view> name) override;
  Listing ListBelow(const Folder& parent, const Entry& folder) override;
  void LetGoFolder(Folder& folder) override;
  Outcome ReopenFolder(Folder& folder) override;
  Outcome Move(const Folder& from, std::string_view old_name,  // rename.cc
               const Folder& to, std::string_view new_name) override;
  Outcome Link(const Folder& from, std::string_view old_name, const Folder& to,
               std::string_view new_name) override;
  Outcome ReadStart(const Folder& folder, std::string_view name,
                    std::size_t most, std::string& bytes) override;  // read_start.cc
  Outcome MakeFolder(const Folder& parent, std::string_view name,  // listing.cc
                     std::uint32_t mode, Folder& made) override;
  Outcome CopyInto(const Folder& from, std::string_view name,  // copy_file.cc
                   const Folder& to, std::string_view copy, Copied& copied,
                   const std::function<void(std::uint64_t)>& progress) override;
  Outcome SetFacts(const Folder& folder, std::string_view name,
                   const EntryFacts& facts) override;
  Outcome Remove(const Folder& folder, std::string_view name,
                 EntryKind kind) override;
  Outcome SyncFolder(const Folder& folder) override;
  // rename.cc
  Outcome CheckNames(const Folder& folder, std::string_view old_name,
                     std::string_view new_name, bool made) override;
  EntryStat Stat(const Folder& folder, std::string_view name) override;
  std::string NameKey(const Folder& folder, std::string_view name) override;
  FolderFacts DescribeFolder(const Folder& folder) override;  // listing.cc
};

// The owner, group, mode and times of what stat tells (copy_file.cc).
EntryFacts FactsOf(const struct ::stat& st);

// The folder's absolute path, with its trailing "/"; "" when it cannot be
// told (absolute_path.cc).
std::string AbsolutePathOf(const Folder& folder);
// The name of the file system of the open folder, or "" (volume_type.cc).
std::string VolumeTypeOf(int folder_fd);
// Whether a file system of that kind holds the name: FAT and exFAT (a
// camera's card, a stick, a media player's disk) hold no control byte and
// none of " * : < > ? \ | (volume_type.cc).
bool VolumeHoldsName(std::string_view volume_type, std::string_view name);

class PosixInterrupts final : public Interrupts {
 public:
  void Hold() override;  // interrupts.cc
  void Release() override;
  bool Waiting() override;
};

class PosixUserFiles final : public UserFiles {
 public:
  std::string UserFilePath(UserFile file) override;  // user_files.cc
  FileText ScanFile(
      std::string_view path,
      const std::function<void(std::string_view piece)>& each,
      std::uint64_t tail = 0) override;
  OpenedJournal CreateJournal(std::string_view path) override;
  OpenedJournal OpenJournal(std::string_view path) override;
  bool RemoveJournal(std::string_view path) override;
  bool ListStored(std::string_view folder,
                  std::vector<StoredFile>& files) override;
};

class PosixConsole final : public Console {
 public:
  void Print(std::string_view text) override;  // console.cc
  void PrintError(std::string_view line) override;
  int CursorColumn() override;
  bool IsTerminal() override;
  void ShowProgress(std::string_view text) override;
  int ScreenWidth() override;
  int DisplayColumns(std::string_view text) override;  // display_width.cc
  Answer Ask(std::string_view prompt, std::string_view shown = {}) override;        // keyboard.cc
};

}  // namespace platform::posix
