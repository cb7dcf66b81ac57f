// The listing.  All of a folder's entries are read when it starts, so that
// renames made during the run never bring an entry back twice; the program
// matches the pattern itself.  Folders are reached by their literal paths,
// so that a name ending in a period or a space, or a path longer than the
// old 260 units, is listed as it is.
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
Listing Search(std::string path, const LiteralPath& folder,
               std::string_view what) {
  Listing listing;
  listing.folder.path = std::move(path);
  const LiteralPath pattern = Join(folder, what);
  if (pattern.failure != Failure::kNone) {
    listing.failure = {pattern.failure, 0};
    return listing;
  }
  WIN32_FIND_DATAW record{};
  HANDLE search = FindFirstFileW(
      reinterpret_cast<const wchar_t*>(pattern.path.c_str()), &record);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
        code != ERROR_NO_MORE_FILES && code != ERROR_INVALID_NAME && code != 0)
      listing.failure = OutcomeOf(code);
    // An empty drive's root holds not even "." and "..": it is there,
    // with nothing in it.
    const DWORD attributes =
        code == ERROR_FILE_NOT_FOUND && what == "*"
            ? GetFileAttributesW(reinterpret_cast<const wchar_t*>(folder.path.c_str()))
            : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      auto listed = std::make_shared<ListedFolder>();
      listed->literal = folder;
      listing.folder.handle = std::move(listed);
    }
    return listing;
  }
  auto listed = std::make_shared<ListedFolder>();
  listed->literal = folder;
  std::set<std::string> exact;
  do {
    std::u16string_view name(
        reinterpret_cast<const char16_t*>(record.cFileName));
    if (name == u"." || name == u"..") continue;
    Utf8Text utf8 = ToUtf8(name);
    (utf8.exact ? exact : listed->inexact).insert(utf8.text);
    listing.entries.push_back(MakeEntry(record, std::move(utf8.text)));
  } while (FindNextFileW(search, &record));
  // A listing cut short is no listing: a part is never taken for the whole.
  const DWORD end = GetLastError();
  FindClose(search);
  if (end != ERROR_NO_MORE_FILES) {
    listing.entries.clear();
    listing.failure = OutcomeOf(end);
    return listing;
  }
  // A text that is also an entry's own name names that entry.
  for (const std::string& name : exact) listed->inexact.erase(name);
  listing.folder.handle = std::move(listed);
  return listing;
}

}  // namespace

LiteralPath LiteralFolderOf(const Folder& folder) {
  if (const auto* listed = dynamic_cast<const ListedFolder*>(folder.handle.get()))
    return listed->literal;
  return LiteralFolder(folder.path);
}

// A name: the system finds it whatever its case, and lists the entry by its
// own name.  A name longer than any entry's can have is no name of the
// folder's: said, as the pattern cannot be taken whole.
Listing WindowsFileSystem::ListFolder(std::string_view path,
                                      std::optional<std::string_view> name) {
  if (!name) return Search(std::string(path), LiteralFolder(path), "*");
  if (ToWide(*name).size() > kLongestName) {
    Listing listing;
    listing.folder.path = std::string(path);
    listing.failure = {Failure::kTooLong, 0};
    return listing;
  }
  return Search(std::string(path), LiteralFolder(path), *name);
}

// Reparse points are never entered (the walk skips links), so the folder is
// reached by its literal path below its parent's.
Listing WindowsFileSystem::ListBelow(const Folder& parent, const Entry& folder) {
  std::string path = parent.path + folder.name + "\\";
  const auto* listed = dynamic_cast<const ListedFolder*>(parent.handle.get());
  if (listed && listed->inexact.count(folder.name)) {
    Listing listing;
    listing.folder.path = std::move(path);
    listing.failure = {Failure::kRefusedName, 0};
    return listing;
  }
  LiteralPath below = Join(LiteralFolderOf(parent), folder.name);
  if (below.failure == Failure::kNone) below.path.push_back(u'\\');
  return Search(std::move(path), below, "*");
}

// The literal path without its "\\?\" mark: every name in it as it is, so
// that undo finds a folder whose name ends in a period or a space.
std::string AbsolutePathOf(const Folder& directory) {
  const LiteralPath literal = LiteralFolderOf(directory);
  if (literal.failure != Failure::kNone) return "";
  std::u16string_view path = literal.path;
  std::u16string shown;
  if (path.starts_with(u"\\\\?\\UNC\\")) {
    shown = u"\\\\" + std::u16string(path.substr(8));
  } else if (path.starts_with(u"\\\\?\\")) {
    shown = std::u16string(path.substr(4));
  } else {
    shown = std::u16string(path);
  }
  return ToUtf8(shown).text;
}

}  // namespace platform::windows
