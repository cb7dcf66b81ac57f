#include "platform/windows/call_platform.h"

namespace platform {

UINT EnterGate() {
  UINT kept = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SetLastError(0);
  return kept;
}

void LeaveGate(UINT kept_mode) {
  SetErrorMode(kept_mode);
}

bool IsFatalCode(DWORD code) {
  return code == ERROR_ARENA_TRASHED || code == ERROR_INVALID_BLOCK ||
         code == ERROR_BAD_ENVIRONMENT;
}

void EndOnFatal(DWORD code) {
  if (IsFatalCode(code)) ExitProcess(255);
}

}  // namespace platform
