// Output to standard output and standard error, and where the console's
// cursor and window stand.
#include <windows.h>

#include <climits>
#include <string>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/console_state.h"

namespace platform {
namespace {

// One write, unbuffered, so that a prompt stands before the key wait.  A
// failed write is left there: the renames matter more than their record.
void WriteAll(HANDLE handle, std::string_view bytes) {
  if (bytes.empty()) return;
  DWORD written = 0;
  DWORD code = 0;
  DWORD count = bytes.size() > MAXDWORD ? MAXDWORD : DWORD(bytes.size());
  CallPlatform(
      [&] { return WriteFile(handle, bytes.data(), count, &written, nullptr); },
      code);
  EndOnFatal(code);
}

// The program ends its lines with "\n"; Windows' line end is CR LF.
std::string WithWindowsLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

bool ScreenInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(Console().screen, &info) != 0;
}

}  // namespace

void Print(std::string_view text) {
  WriteAll(Console().output, WithWindowsLineEnds(text));
}

void PrintError(std::string_view line) {
  std::string whole(line);
  whole.push_back('\n');
  WriteAll(Console().error, WithWindowsLineEnds(whole));
}

int CursorColumn() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(info)) return 1;
  return info.dwCursorPosition.X + 1;
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
