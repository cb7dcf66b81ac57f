#include "platform/windows/call_platform.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<int> gate_lock{0};

}  // namespace

UINT EnterGate() {
  while (gate_lock.exchange(1, std::memory_order_acquire) != 0) {
  }
  UINT kept = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SetLastError(0);
  return kept;
}

void LeaveGate(UINT kept_mode) {
  SetErrorMode(kept_mode);
  gate_lock.store(0, std::memory_order_release);
}

bool IsFatalCode(DWORD code) {
  return code == ERROR_ARENA_TRASHED || code == ERROR_INVALID_BLOCK ||
         code == ERROR_BAD_ENVIRONMENT;
}

void EndOnFatal(DWORD code) {
  if (IsFatalCode(code)) ExitProcess(255);
}

}  // namespace platform
