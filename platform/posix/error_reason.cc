#include "platform/posix/error_reason.h"

#include <errno.h>
#include <string.h>

namespace platform::posix {

const char* ReasonForError(int error) {
  switch (error) {
    case EEXIST:
    case ENOTEMPTY:
      return "a file with that name exists";
    case EACCES:
    case EPERM:
    case EROFS:
      return "permission denied";
    case ENOENT:
      return "not found";
    case ENAMETOOLONG:
      return "name too long";
    case EBUSY:
    case ETXTBSY:
      return "in use by another program";
    case ENOSPC:
    case EDQUOT:
      return "no space left";
    case EXDEV:
      return "not on the same file system";
    case ENOTDIR:
      return "not a directory";
    case EINVAL:
      return "invalid name";
    case EPIPE:
      return "output closed";
    case EIO:
      return "input/output error";
    case kNameHasWildcard:
      return "name refused: it contains ? or *";
    case kNameHasSlash:
      return "name refused: it contains /";
    case kNameEmpty:
      return "name refused: it is empty";
    case kNameTooLong:
      return "name too long";
    default:
    {
      // The C library's fixed description (never a reused buffer).
      const char* text = strerrordesc_np(error);
      return text ? text : "system error";
    }
  }
}

}  // namespace platform::posix
