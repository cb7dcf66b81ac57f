#include "platform/posix/failure_kind.h"

#include "platform/platform.h"

#include <errno.h>
#include <string.h>

namespace platform {
namespace posix {

Outcome OutcomeOf(int error) {
  switch (error) {
    case 0: return {Failure::kNone, 0};
    case EEXIST:
    case ENOTEMPTY: return {Failure::kExists, error};
    case EACCES:
    case EPERM:
    case EROFS: return {Failure::kPermission, error};
    case ENOENT: return {Failure::kNotFound, error};
    case ENAMETOOLONG: return {Failure::kTooLong, error};
    case EBUSY:
    case ETXTBSY: return {Failure::kInUse, error};
    case ENOSPC:
    case EDQUOT: return {Failure::kNoSpace, error};
    case EILSEQ: return {Failure::kRefusedName, error};
    default: return {Failure::kOther, error};
  }
}

}  // namespace posix

std::string DescribeError(int code) {
  // The C library's fixed description (never a reused buffer).
  const char* text = strerrordesc_np(code);
  return text ? text : "";
}

}  // namespace platform
