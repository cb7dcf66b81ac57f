#include "platform/windows/failure_kind.h"

#include "platform/windows/file_system.h"

namespace platform::windows {

Outcome OutcomeOf(unsigned long code) {
  const int as_int = static_cast<int>(code);
  switch (code) {
    case 0: return {Failure::kNone, 0};
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
      return {Failure::kNotFound, as_int};
    case 5:    // ERROR_ACCESS_DENIED
    case 19:   // ERROR_WRITE_PROTECT
      return {Failure::kPermission, as_int};
    case 32:   // ERROR_SHARING_VIOLATION
    case 33:   // ERROR_LOCK_VIOLATION
      return {Failure::kInUse, as_int};
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return {Failure::kExists, as_int};
    case 123:  // ERROR_INVALID_NAME
      return {Failure::kRefusedName, as_int};
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return {Failure::kTooLong, as_int};
    case 112:  // ERROR_DISK_FULL
      return {Failure::kNoSpace, as_int};
  }
  return {Failure::kOther, as_int};
}

// Windows' own messages depend on the user's language and may span lines:
// the program says "error N" instead.
std::string WindowsFileSystem::DescribeError(int) { return ""; }

}  // namespace platform::windows
