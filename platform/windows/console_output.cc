// Output to standard output, and where the console's cursor and window stand.
#include <windows.h>

#include <climits>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/console_state.h"
#include "platform/windows/failure_reason.h"

namespace platform {
namespace {

// One write, unbuffered, so that a prompt stands before the key wait.
void WriteAll(std::string_view bytes, ErrorSlot& slot) {
  if (bytes.empty()) return;
  DWORD written = 0;
  DWORD code = 0;
  DWORD count = bytes.size() > MAXDWORD ? MAXDWORD : DWORD(bytes.size());
  BOOL ok = CallPlatform(
      [&] {
        return WriteFile(Console().output, bytes.data(), count, &written,
                         nullptr);
      },
      code);
  EndOnFatal(code);
  if (!ok) {
    if (code == 0) code = kFailedWithoutCode;
  } else if (written < bytes.size()) {
    code = kWriteShort;
  } else {
    return;
  }
  slot.code = static_cast<int>(code);
  slot.reason = FailureReason(code);
}

bool ScreenInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(Console().screen, &info) != 0;
}

}  // namespace

void PrintText(std::string_view text, ErrorSlot& slot) { WriteAll(text, slot); }

void PrintLineEnd(ErrorSlot& slot) { WriteAll("\r\n", slot); }

int CursorColumn() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(info)) return 1;
  return info.dwCursorPosition.X + 1;
}

// The console moves its cursor by rules of its own (wrapping, tabs): only
// asking it after printing tells where it stands.  Without a console the
// cursor stays in column 1.
int CursorColumnAfter(std::string_view) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  return ScreenInfo(info) ? 0 : 1;
}

int ScreenWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  // No console at all: a width that never forces a line break.
  if (!ScreenInfo(info)) return INT_MAX / 2;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

// The console shows one column per byte of the ANSI code page.
int DisplayColumns(std::string_view text) {
  return text.size() > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(text.size());
}

}  // namespace platform
