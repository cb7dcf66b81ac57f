// Short, plain reasons for failures.  Internal to the POSIX layer.
#pragma once

namespace platform::posix {

// The reason shown to a user for an errno value ("not found", ...).
const char* ReasonForError(int error);

// Codes of the failures that the layer finds itself, without a system call;
// they lie above every errno value.
inline constexpr int kNameHasWildcard = 0x10001;
inline constexpr int kNameHasSlash = 0x10002;
inline constexpr int kNameEmpty = 0x10003;
inline constexpr int kNameTooLong = 0x10004;

}  // namespace platform::posix
