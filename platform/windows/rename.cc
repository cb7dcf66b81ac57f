// The rename of one listed entry, in the folder it was listed in, by the
// literal paths of both names.  It never replaces an existing entry:
// MoveFileExW refuses when the new name exists.
#include <windows.h>

#include <cctype>

#include <string>

#include "platform/windows/failure_kind.h"
#include "platform/windows/file_system.h"
#include "platform/windows/reserved_name.h"
#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

// What the system cannot take as a name: over 255 UTF-16 units, or holding
// a folder separator or a wildcard.
Failure SystemRefusal(const std::u16string& name) {
  if (name.size() > kLongestName) return Failure::kTooLong;
  if (name.find_first_of(u"\\/") != std::u16string::npos)
    return Failure::kRefusedName;
  if (name.find_first_of(u"?*") != std::u16string::npos)
    return Failure::kWildcardName;
  return Failure::kNone;
}

// The file system's own name, in lower case; "network" for a network drive,
// whatever the server keeps its files on.
std::string VolumeTypeOf(const LiteralPath& literal) {
  wchar_t root[MAX_PATH + 1];
  if (!GetVolumePathNameW(Wide(literal.path), root, MAX_PATH + 1)) return "";
  if (GetDriveTypeW(root) == DRIVE_REMOTE ||
      literal.path.starts_with(u"\\\\?\\UNC\\"))
    return "network";
  wchar_t type[MAX_PATH + 1];
  if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, type,
                             MAX_PATH + 1))
    return "";
  std::string name;
  for (const wchar_t* c = type; *c; ++c)
    name +=
        static_cast<char>(*c < 0x80 ? std::tolower(static_cast<int>(*c)) : '?');
  return name;
}

}  // namespace

WindowsFileSystem::WindowsFileSystem() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

Outcome WindowsFileSystem::CheckNames(const Folder& folder,
                                      std::string_view old_name,
                                      std::string_view new_name, bool made) {
  for (std::string_view name : {new_name, old_name}) {
    const std::u16string wide = ToWide(name);
    if (wide.empty() && !name.empty()) return {Failure::kRefusedName, 0};
    if (Failure refusal = SystemRefusal(wide); refusal != Failure::kNone)
      return {refusal, 0};
  }
  if (folder.handle) {
    const auto* listed = dynamic_cast<const ListedFolder*>(folder.handle.get());
    if (listed && listed->inexact.count(std::string(old_name)))
      return {Failure::kRefusedName, 0};
  }
  if (made) return {ReservedNameFailure(new_name), 0};
  return {};
}

// MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces an entry,
// and without MOVEFILE_COPY_ALLOWED never copies: another volume fails
// (ERROR_NOT_SAME_DEVICE) with nothing moved.  Within one folder it is the
// rename, a change of letter case included.
Outcome WindowsFileSystem::Move(const Folder& from, std::string_view old_name,
                                const Folder& to, std::string_view new_name) {
  const Outcome refused = CheckNames(from, old_name, new_name, false);
  if (!refused.ok()) return refused;
  const LiteralPath source = Join(LiteralFolderOf(from), old_name);
  const LiteralPath target = Join(LiteralFolderOf(to), new_name);
  for (const LiteralPath* path : {&source, &target})
    if (path->failure != Failure::kNone) return {path->failure, 0};
  SetLastError(0);
  if (MoveFileExW(Wide(source.path), Wide(target.path), 0)) return {};
  const DWORD code = GetLastError();
  if (code == 17) return {Failure::kOtherVolume, 17};  // ERROR_NOT_SAME_DEVICE
  return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
}

// CreateHardLinkW never replaces an entry; it links a link's own entry.
Outcome WindowsFileSystem::Link(const Folder& from, std::string_view old_name,
                                const Folder& to, std::string_view new_name) {
  const Outcome refused = CheckNames(from, old_name, new_name, true);
  if (!refused.ok()) return refused;
  const LiteralPath source = Join(LiteralFolderOf(from), old_name);
  const LiteralPath target = Join(LiteralFolderOf(to), new_name);
  for (const LiteralPath* path : {&source, &target})
    if (path->failure != Failure::kNone) return {path->failure, 0};
  const DWORD attributes = GetFileAttributesW(Wide(source.path));
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return OutcomeOf(GetLastError());
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
    return {Failure::kNotAFile, 0};
  SetLastError(0);
  if (CreateHardLinkW(Wide(target.path), Wide(source.path), nullptr)) return {};
  const DWORD code = GetLastError();
  switch (code) {
    case 17: return {Failure::kOtherVolume, 17};  // ERROR_NOT_SAME_DEVICE
    case 1:     // ERROR_INVALID_FUNCTION: FAT, exFAT
    case 50:    // ERROR_NOT_SUPPORTED
    case 1142:  // ERROR_TOO_MANY_LINKS
      return {Failure::kCannotLink, static_cast<int>(code)};
    default: return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
  }
}

// The attributes a user gives a folder; the system keeps the others.
constexpr DWORD kFolderAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

Outcome WindowsFileSystem::MakeFolder(const Folder& parent,
                                      std::string_view name, std::uint32_t mode,
                                      Folder& made) {
  const std::u16string wide = ToWide(name);
  if (wide.empty()) return {Failure::kRefusedName, 0};
  if (Failure refusal = SystemRefusal(wide); refusal != Failure::kNone)
    return {refusal, 0};
  if (Failure reserved = ReservedNameFailure(name); reserved != Failure::kNone)
    return {reserved, 0};
  const LiteralPath path = Join(LiteralFolderOf(parent), name);
  if (path.failure != Failure::kNone) return {path.failure, 0};
  SetLastError(0);
  if (!CreateDirectoryW(Wide(path.path), nullptr)) {
    const DWORD code = GetLastError();
    return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
  }
  Entry entry;
  entry.name = std::string(name);
  entry.kind = EntryKind::kDirectory;
  Listing listing = ListBelow(parent, entry);
  if (!listing.failure.ok()) return listing.failure;
  made = std::move(listing.folder);
  made.id = Stat(made, ".").id;
  if (mode == 0) return {};
  const LiteralPath literal = LiteralFolderOf(made);
  if (literal.failure != Failure::kNone) return {literal.failure, 0};
  const DWORD attributes = (mode & kFolderAttributes) | FILE_ATTRIBUTE_DIRECTORY;
  SetLastError(0);
  if (SetFileAttributesW(Wide(literal.path), attributes)) return {};
  const DWORD code = GetLastError();
  return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
}

// The stamp by the entry's attributes; the volume and the entry's index
// there by a handle that asks no access (folders need the backup flag to be
// opened at all), asked unless the name is plainly not there.
EntryStat WindowsFileSystem::Stat(const Folder& folder, std::string_view name) {
  const LiteralPath path = Join(LiteralFolderOf(folder), name);
  if (path.failure != Failure::kNone) return {};
  EntryStat found;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(Wide(path.path), GetFileExInfoStandard, &data)) {
    found.exists = true;
    found.stamp = {
        (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
        (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
            data.ftLastWriteTime.dwLowDateTime,
        true, true};
  } else if (const DWORD code = GetLastError();
             code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
    return {};
  }
  HANDLE handle = CreateFileW(
      Wide(path.path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return found;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info))
    found.id = {info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                true};
  found.links = info.nNumberOfLinks;
  CloseHandle(handle);
  return found;
}

FolderFacts WindowsFileSystem::DescribeFolder(const Folder& folder) {
  FolderFacts facts;
  facts.absolute = AbsolutePathOf(folder);
  const LiteralPath literal = LiteralFolderOf(folder);
  if (literal.failure != Failure::kNone) return facts;
  facts.volume_type = VolumeTypeOf(literal);
  const DWORD attributes = GetFileAttributesW(Wide(literal.path));
  if (attributes != INVALID_FILE_ATTRIBUTES)
    facts.mode = attributes & kFolderAttributes;
  return facts;
}

// The system's upper case of each unit, as the file system compares names:
// by no user's language (a Turkish "i" is still "I").
std::string WindowsFileSystem::NameKey(const Folder&, std::string_view name) {
  const std::u16string wide = ToWide(name);
  if (wide.empty()) return std::string(name);
  std::u16string upper(wide.size(), u'\0');
  const int made = LCMapStringEx(
      LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE,
      reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()),
      reinterpret_cast<wchar_t*>(upper.data()), static_cast<int>(upper.size()),
      nullptr, nullptr, 0);
  if (made != static_cast<int>(wide.size())) return std::string(name);
  return ToUtf8(upper).text;
}

}  // namespace platform::windows
