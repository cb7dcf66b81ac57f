// The rename of one listed entry, in the folder it was listed in.  It never
// replaces an existing entry: MoveFileW refuses when the new name exists.
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/failure_kind.h"
#include "platform/windows/listing.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// What the system cannot take as a name: over 256 UTF-16 units, or holding
// a folder separator.
Failure SystemRefusal(const std::u16string& name) {
  if (name.size() > 256) return Failure::kTooLong;
  if (name.find_first_of(u"\\/") != std::u16string::npos)
    return Failure::kRefusedName;
  return Failure::kNone;
}

// The entry's identity: its volume and its index there.
bool Identity(const std::u16string& path, BY_HANDLE_FILE_INFORMATION& info) {
  DWORD code = 0;
  HANDLE handle = CallPlatform(
      [&] {
        // No access asked: only the identity is read.  Folders need the
        // backup flag to be opened at all.
        return CreateFileW(Wide(path), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr);
      },
      code);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return ok;
}

}  // namespace

Outcome CheckNames(std::string_view directory, std::string_view old_name,
                   std::string_view new_name) {
  for (std::string_view name : {new_name, old_name}) {
    const std::u16string wide = ToWide(name);
    if (wide.empty() && !name.empty()) return {Failure::kRefusedName, 0};
    if (Failure refusal = SystemRefusal(wide); refusal != Failure::kNone)
      return {refusal, 0};
  }
  // The text stands for an entry whose name UTF-8 cannot write (a lone
  // surrogate): handing it to the system would rename another entry, or
  // none.
  if (ListedInexactly(directory, old_name)) return {Failure::kRefusedName, 0};
  return {};
}

Outcome RenameEntry(std::string_view directory, std::string_view old_name,
                    std::string_view new_name) {
  const Outcome refused = CheckNames(directory, old_name, new_name);
  if (!refused.ok()) return refused;
  const std::u16string wide_old = ToWide(old_name);
  const std::u16string wide_new = ToWide(new_name);
  const std::u16string wide_directory = ToWide(directory);
  const std::u16string from = wide_directory + wide_old;
  const std::u16string to = wide_directory + wide_new;
  DWORD code = 0;
  BOOL ok = CallPlatform([&] { return MoveFileW(Wide(from), Wide(to)); }, code);
  EndOnFatal(code);
  if (ok) return {};
  return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
}

bool EntryExists(std::string_view directory, std::string_view name) {
  const std::u16string path = ToWide(directory) + ToWide(name);
  DWORD code = 0;
  const DWORD attributes =
      CallPlatform([&] { return GetFileAttributesW(Wide(path)); }, code);
  return attributes != INVALID_FILE_ATTRIBUTES;
}

bool SameEntry(std::string_view directory, std::string_view a,
               std::string_view b) {
  const std::u16string folder = ToWide(directory);
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return Identity(folder + ToWide(a), first) &&
         Identity(folder + ToWide(b), second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace platform
