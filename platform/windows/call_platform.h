// The one gate through which the layer's file-system and console-output calls
// go: no error dialog of the system's own, and the call's last-error code read
// right after it.  Internal to the Windows layer.
#pragma once

#include <windows.h>

namespace platform {

// Sets the quiet error mode and clears the last error; returns the error
// mode to put back.  The program has one thread: no lock.
UINT EnterGate();
// Puts the error mode back.
void LeaveGate(UINT kept_mode);

// Makes the call through the gate; its last-error code goes to last_error.
template <class Call>
auto CallPlatform(Call call, DWORD& last_error) {
  UINT kept_mode = EnterGate();
  auto result = call();
  last_error = GetLastError();
  LeaveGate(kept_mode);
  return result;
}

// Codes for damaged memory control blocks and a bad environment: the process
// cannot go on safely.
bool IsFatalCode(DWORD code);
// Ends the process at once with exit code 255 when code is of the fatal class.
void EndOnFatal(DWORD code);

}  // namespace platform
