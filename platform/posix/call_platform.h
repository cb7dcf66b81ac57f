// CallPlatform: makes a system call and captures errno.  Internal to the
// POSIX layer.
#pragma once

#include <errno.h>

#include <type_traits>

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

template <class Call>
auto CallPlatform(Call&& call) -> CallResult<decltype(call())> {
  errno = 0;
  CallResult<decltype(call())> result{call()};
  result.error = errno;
  result.failed = IndicatesFailure(result.value);
  if (result.failed && result.error == 0) result.error = EIO;
  if (!result.failed) result.error = 0;
  return result;
}

}  // namespace platform::posix
