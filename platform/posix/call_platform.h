// CallPlatform: the gate of every console write and file-system call.  It
// clears errno, makes the call and captures errno; a failure of the fatal
// class ends the process.  One thread: no lock, and no error dialogs to
// suppress.  Internal to the POSIX layer.
#pragma once

#include <errno.h>

#include <type_traits>

#include "platform/posix/terminal_state.h"

namespace platform::posix {

template <class T>
struct CallResult {
  T value;
  int error = 0;        // errno after the call; 0 when it succeeded
  bool failed = false;
};

// The POSIX convention: a call fails when it returns -1 (or a null pointer)
// and then errno says why.  Success is judged by the result, since a
// successful call may leave errno changed.
template <class T>
bool IndicatesFailure(const T& value) {
  if constexpr (std::is_pointer_v<T>) {
    return value == nullptr;
  } else {
    return value == static_cast<T>(-1);
  }
}

// A failure of the fatal class ends the process (exit code 255, no output):
// EFAULT, a bad address handed to the kernel, the counterpart of Windows'
// damaged memory blocks.
inline bool IsFatalError(int error) { return error == EFAULT; }

// Makes the call and reports its failure; a fatal-class failure ends the
// process.
template <class Call>
auto CallPlatform(Call&& call) -> CallResult<decltype(call())> {
  errno = 0;
  CallResult<decltype(call())> result{call()};
  result.error = errno;
  result.failed = IndicatesFailure(result.value);
  if (result.failed && result.error == 0) result.error = EIO;
  if (!result.failed) result.error = 0;
  if (IsFatalError(result.error)) FatalEnd();
  return result;
}

}  // namespace platform::posix
