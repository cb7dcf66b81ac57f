#include "platform/windows/failure_reason.h"

#include <map>
#include <string>

namespace platform {

const char* FailureReason(unsigned long code) {
  switch (code) {
    case 0: return "";
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
      return "not found";
    case 5:    // ERROR_ACCESS_DENIED
      return "permission denied";
    case 32:   // ERROR_SHARING_VIOLATION
    case 33:   // ERROR_LOCK_VIOLATION
      return "in use by another program";
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return "a file with that name exists";
    case 123:  // ERROR_INVALID_NAME
      return "name refused: invalid characters";
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return "name too long";
    case 112:  // ERROR_DISK_FULL
      return "disk full";
    case 19:   // ERROR_WRITE_PROTECT
      return "disk is write-protected";
    case 17:   // ERROR_NOT_SAME_DEVICE
      return "not on the same drive";
    case 109:  // ERROR_BROKEN_PIPE
    case 232:  // ERROR_NO_DATA: the pipe's reader has gone
      return "output closed";
    case kRefusedWildcard: return "name refused: it contains ? or *";
    case kRefusedTooLong: return "name too long";
    case kRefusedEmpty: return "name refused: it is empty";
    case kRefusedSeparator: return "name refused: it contains \\ or /";
    case kRefusedOutsideCodePage:
      return "name refused: characters outside the code page";
    case kFailedWithoutCode: return "failed for an unknown reason";
    case kWriteShort: return "output incomplete";
  }
  // One text per distinct code, kept for the process: a caller may hold the
  // pointer as long as it likes.
  static std::map<unsigned long, std::string> others;
  auto [at, added] = others.try_emplace(code);
  if (added) at->second = "error " + std::to_string(code);
  return at->second.c_str();
}

int RefusedName(std::u16string_view name) {
  if (name.empty()) return kRefusedEmpty;
  if (name.size() > 256) return kRefusedTooLong;
  if (name.find_first_of(u"?*") != std::u16string_view::npos)
    return kRefusedWildcard;
  if (name.find_first_of(u"\\/") != std::u16string_view::npos)
    return kRefusedSeparator;
  return 0;
}

}  // namespace platform
