// The Windows file system, user files and console.  Internal to the Windows
// layer: the rest of the program sees them through platform::FileSystem,
// platform::UserFiles, platform::Console and platform::Interrupts.
#pragma once

#include <set>
#include <string>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/user_files.h"
#include "platform/windows/literal_path.h"

namespace platform::windows {

// What a listing keeps of its folder for the renames in it: the names it
// could give only as stand-ins, for entries whose own names hold a lone
// surrogate that UTF-8 cannot write.  Handed to the system, such a text
// would rename another entry, or none.
struct ListedFolder final : FolderHandle {
  std::set<std::string> inexact;
  // The folder as the system takes it literally, as it was listed.
  LiteralPath literal;
};

// The literal path of a folder: the one it was listed by, else its own.
LiteralPath LiteralFolderOf(const Folder& folder);

class WindowsFileSystem final : public FileSystem {
 public:
  WindowsFileSystem();  // no error dialogs of the system's own: rename.cc
  Listing ListFolder(std::string_view path,  // listing.cc
                     std::optional<std::string_view> name) override;
  Listing ListBelow(const Folder& parent, const Entry& folder) override;
  // A listed folder holds no handle of the system's: nothing to let go.
  void LetGoFolder(Folder&) override {}
  Outcome ReopenFolder(Folder&) override { return {}; }
  Outcome Move(const Folder& from, std::string_view old_name,  // rename.cc
               const Folder& to, std::string_view new_name) override;
  Outcome Link(const Folder& from, std::string_view old_name, const Folder& to,
               std::string_view new_name) override;
  Outcome ReadStart(const Folder& folder, std::string_view name,
                    std::size_t most, std::string& bytes) override;  // read_start.cc
  Outcome MakeFolder(const Folder& parent, std::string_view name,
                     std::uint32_t mode, Folder& made) override;
  Outcome CopyInto(const Folder& from, std::string_view name,  // copy_file.cc
                   const Folder& to, std::string_view copy, Copied& copied,
                   const std::function<void(std::uint64_t)>& progress) override;
  Outcome SetFacts(const Folder& folder, std::string_view name,
                   const EntryFacts& facts) override;
  Outcome Remove(const Folder& folder, std::string_view name,
                 EntryKind kind) override;
  Outcome SyncFolder(const Folder& folder) override;
  Outcome CheckNames(const Folder& folder, std::string_view old_name,
                     std::string_view new_name, bool made) override;
  EntryStat Stat(const Folder& folder, std::string_view name) override;
  FolderFacts DescribeFolder(const Folder& folder) override;
  // Names are one name whatever their letter case.
  std::string NameKey(const Folder& folder, std::string_view name) override;
};

// The folder's absolute path, with its trailing separator; "" when it
// cannot be told (listing.cc).
std::string AbsolutePathOf(const Folder& folder);

// One step each: there is no signal to hold off.
class WindowsInterrupts final : public Interrupts {
 public:
  void Hold() override {}
  void Release() override {}
  bool Waiting() override { return false; }
};

class WindowsUserFiles final : public UserFiles {
 public:
  std::string UserFilePath(UserFile file) override;
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

class WindowsConsole final : public Console {
 public:
  void Print(std::string_view text) override;  // console_output.cc
  void PrintError(std::string_view line) override;
  int CursorColumn() override;
  bool IsTerminal() override;
  void ShowProgress(std::string_view text) override;
  int ScreenWidth() override;
  int DisplayColumns(std::string_view text) override;
  Answer Ask(std::string_view prompt, std::string_view shown = {}) override;  // wait_key.cc
};

}  // namespace platform::windows
