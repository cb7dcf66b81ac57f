// The rename of one listed entry, in the folder it was listed in.  It never
// replaces an existing entry: MoveFileW refuses when the new name exists.
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/failure_reason.h"
#include "platform/windows/listing.h"

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// One MoveFileW through the gate; 0 on success, else the failure's code.
DWORD Move(const std::u16string& from, const std::u16string& to) {
  DWORD code = 0;
  BOOL ok = CallPlatform([&] { return MoveFileW(Wide(from), Wide(to)); }, code);
  EndOnFatal(code);
  if (ok) return 0;
  return code != 0 ? code : DWORD{kFailedWithoutCode};
}

bool SameLettersOtherCase(const std::u16string& a, const std::u16string& b) {
  if (a == b) return false;
  return CompareStringOrdinal(Wide(a), static_cast<int>(a.size()), Wide(b),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::u16string Hex(unsigned long value) {
  static const char16_t digits[] = u"0123456789abcdef";
  std::u16string out;
  do {
    out.insert(out.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value);
  return out;
}

// A file system that treats both spellings as one name may keep the old one
// when asked to move an entry onto itself, so the entry goes through a
// temporary name of its own first.  On any failure it gets its old name back.
DWORD ChangeCase(const std::u16string& directory, const std::u16string& from,
                 const std::u16string& to) {
  std::u16string detour;
  DWORD code = ERROR_ALREADY_EXISTS;
  std::u16string stem = directory + u"~namewisp-" + Hex(GetCurrentProcessId());
  for (int attempt = 0; attempt < 100; ++attempt) {
    detour = stem + u"-" + Hex(attempt) + u".tmp";
    code = Move(from, detour);
    if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) break;
  }
  if (code != 0) return code;
  code = Move(detour, to);
  if (code != 0) Move(detour, from);
  return code;
}

bool Fail(ErrorSlot& slot, unsigned long code) {
  slot.code = static_cast<int>(code);
  slot.reason = FailureReason(code);
  return false;
}

}  // namespace

bool RenameEntry(std::string_view directory, std::string_view old_name,
                 std::string_view new_name, ErrorSlot& slot) {
  std::u16string wide_old = ToWide(old_name);
  std::u16string wide_new = ToWide(new_name);
  if (int refused = RefusedName(wide_new)) return Fail(slot, refused);
  if (int refused = RefusedName(wide_old)) return Fail(slot, refused);
  // The text stands for an entry whose name the code page cannot write:
  // handing it to the system would rename another entry, or none.
  if (ListedInexactly(directory, old_name))
    return Fail(slot, kRefusedOutsideCodePage);

  std::u16string wide_directory = ToWide(directory);
  std::u16string from = wide_directory + wide_old;
  std::u16string to = wide_directory + wide_new;
  DWORD code = SameLettersOtherCase(wide_old, wide_new)
                   ? ChangeCase(wide_directory, from, to)
                   : Move(from, to);
  if (code != 0) return Fail(slot, code);
  return true;
}

}  // namespace platform
