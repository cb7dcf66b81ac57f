// The listing.  All of a folder's entries are read when it starts, so that
// renames made during the run never bring an entry back twice; the program
// matches the pattern itself.
#include <windows.h>

#include "platform/windows/failure_kind.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

Entry MakeEntry(const WIN32_FIND_DATAW& record, std::string name) {
  const DWORD attributes = record.dwFileAttributes;
  Entry entry;
  entry.name = std::move(name);
  entry.kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::kDirectory
                                                     : EntryKind::kFile;
  entry.hidden =
      attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  entry.link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  return entry;
}

// The entries the system finds for what (the folder's path and "*", or a
// name in it).
Listing Search(std::string path, std::string_view what) {
  Listing listing;
  listing.folder.path = std::move(path);
  const std::u16string pattern = ToWide(listing.folder.path + std::string(what));
  if (pattern.empty()) return listing;
  WIN32_FIND_DATAW record{};
  HANDLE search = FindFirstFileW(
      reinterpret_cast<const wchar_t*>(pattern.c_str()), &record);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
        code != ERROR_NO_MORE_FILES && code != 0)
      listing.failure = OutcomeOf(code);
    return listing;
  }
  auto listed = std::make_shared<ListedFolder>();
  std::set<std::string> exact;
  do {
    std::u16string_view name(
        reinterpret_cast<const char16_t*>(record.cFileName));
    if (name == u"." || name == u"..") continue;
    Utf8Text utf8 = ToUtf8(name);
    (utf8.exact ? exact : listed->inexact).insert(utf8.text);
    listing.entries.push_back(MakeEntry(record, std::move(utf8.text)));
  } while (FindNextFileW(search, &record));
  FindClose(search);
  // A text that is also an entry's own name names that entry.
  for (const std::string& name : exact) listed->inexact.erase(name);
  listing.folder.handle = std::move(listed);
  return listing;
}

}  // namespace

Listing WindowsFileSystem::ListFolder(std::string_view path) {
  return Search(std::string(path), "*");
}

// The system finds the name whatever its case, and lists the entry by its
// own name.
Listing WindowsFileSystem::LookUp(std::string_view path, std::string_view name) {
  return Search(std::string(path), name);
}

// Reparse points are never entered (the walk skips links), so the folder is
// reached by its path.
Listing WindowsFileSystem::ListBelow(const Folder& parent, const Entry& folder) {
  return Search(parent.path + folder.name + "\\", "*");
}

}  // namespace platform::windows
