#include "platform/windows/failure_kind.h"

#include "platform/platform.h"
#include "platform/windows/file_system.h"

namespace platform::windows {

Outcome OutcomeOf(unsigned long code) {
  const int as_int = static_cast<int>(code);
  switch (code) {
    case 0: return {Failure::kNone, 0};
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
    case 53:   // ERROR_BAD_NETPATH
    case 67:   // ERROR_BAD_NET_NAME
      return {Failure::kNotFound, as_int};
    case 5:    // ERROR_ACCESS_DENIED
    case 19:   // ERROR_WRITE_PROTECT
    case 65:   // ERROR_NETWORK_ACCESS_DENIED
    case 1920: // ERROR_CANT_ACCESS_FILE
      return {Failure::kPermission, as_int};
    case 32:   // ERROR_SHARING_VIOLATION
    case 33:   // ERROR_LOCK_VIOLATION
      return {Failure::kInUse, as_int};
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return {Failure::kExists, as_int};
    case 123:  // ERROR_INVALID_NAME
    case 161:  // ERROR_BAD_PATHNAME
    case 66:   // ERROR_BAD_DEV_TYPE: a device's name
    case 87:   // ERROR_INVALID_PARAMETER: as for a device's name
      return {Failure::kRefusedName, as_int};
    case 206:  // ERROR_FILENAME_EXCED_RANGE
    case 111:  // ERROR_BUFFER_OVERFLOW
      return {Failure::kTooLong, as_int};
    case 112:  // ERROR_DISK_FULL
    case 39:   // ERROR_HANDLE_DISK_FULL
      return {Failure::kNoSpace, as_int};
  }
  return {Failure::kOther, as_int};
}

// Windows' own messages depend on the user's language and may span lines:
// the program has its own words for the common ones, and says "error N" for
// the rest.
}  // namespace platform::windows

namespace platform {

std::string DescribeError(int code) {
  switch (code) {
    case 1:    // ERROR_INVALID_FUNCTION
    case 50:   // ERROR_NOT_SUPPORTED
      return "not supported by the file system";
    case 17:   // ERROR_NOT_SAME_DEVICE
      return "on another drive";
    case 21:   // ERROR_NOT_READY
      return "the drive is not ready";
  }
  return "";
}

}  // namespace platform
