#include "app/failure_words.h"

#include "platform/platform.h"

namespace app {

std::string FailureWords(const platform::Outcome& outcome,
                         const std::string& system_description) {
  using platform::Failure;
  switch (outcome.failure) {
    case Failure::kNone: return "";
    case Failure::kExists: return "a file with that name exists";
    case Failure::kNotFound: return "not found";
    case Failure::kPermission: return "permission denied";
    case Failure::kTooLong: return "name too long";
    case Failure::kRefusedName: return "name refused: invalid characters";
    case Failure::kWildcardName: return "name refused: it contains ? or *";
    case Failure::kNotHeldName:
      return "name refused: the file system there (FAT, exFAT) cannot hold "
             "\" * : < > ? \\ | in a name";
    case Failure::kDeviceName:
      return "name refused: it is a device name on this system";
    case Failure::kFinalPeriodOrSpace:
      return "name refused: it ends in a period or a space";
    case Failure::kInUse: return "in use by another program";
    case Failure::kNoSpace: return "no space left";
    case Failure::kOtherVolume:
      return "on another disk, which one step cannot reach";
    case Failure::kNotEmpty: return "the folder is not empty";
    case Failure::kNotAFile:
      return "not a regular file: only files are copied between disks";
    case Failure::kInterrupted: return "stopped by Ctrl+C";
    case Failure::kCannotLink: return "its file system cannot link it";
    case Failure::kOther: break;
  }
  if (!system_description.empty()) return system_description;
  return "error " + std::to_string(outcome.code);
}

std::string FailureWords(const platform::Outcome& outcome) {
  std::string description;
  if (outcome.failure == platform::Failure::kOther)
    description = platform::DescribeError(outcome.code);
  return FailureWords(outcome, description);
}

}  // namespace app
