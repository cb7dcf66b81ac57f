// Start and end of the process: the console handles and modes, the command
// tail.
#include <windows.h>

#include <cwchar>

#include "platform/platform.h"
#include "platform/windows/command_tail.h"
#include "platform/windows/console_state.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace {

ConsoleState console;
std::u16string tail;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A console whose cursor reports no height would show none: give it the
// usual small one.
void ProbeCursor() {
  CONSOLE_CURSOR_INFO info{};
  if (GetConsoleCursorInfo(console.screen, &info) && info.dwSize != 0) return;
  info = {};
  if (GetConsoleCursorInfo(console.output, &info) && info.dwSize != 0) return;
  CONSOLE_CURSOR_INFO shown{10, TRUE};
  SetConsoleCursorInfo(console.screen, &shown);
}

}  // namespace

ConsoleState& Console() { return console; }

void StartProgram(int, char**) {
  console.error = GetStdHandle(STD_ERROR_HANDLE);
  console.input = GetStdHandle(STD_INPUT_HANDLE);
  console.output = GetStdHandle(STD_OUTPUT_HANDLE);
  console.keyboard = CreateFileA("CONIN$", GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  console.screen = IsConsole(console.output) ? console.output : console.error;
  SetConsoleMode(console.screen,
                 ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
  // No line input, no echo, and Ctrl+C arrives as a key, not an interrupt.
  SetConsoleMode(console.input, 0);
  ProbeCursor();

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  if (startup.dwFlags & STARTF_USESTDHANDLES) {
    console.error = startup.hStdError;
    console.input = startup.hStdInput;
    console.output = startup.hStdOutput;
  }

  const wchar_t* line = GetCommandLineW();
  std::u16string_view whole;
  if (line)
    whole = {reinterpret_cast<const char16_t*>(line), std::wcslen(line)};
  tail = std::u16string(whole.substr(TailPosition(whole)));
}

[[noreturn]] void EndProgram(int exit_code) {
  if (console.keyboard != INVALID_HANDLE_VALUE) CloseHandle(console.keyboard);
  console.keyboard = INVALID_HANDLE_VALUE;
  ExitProcess(static_cast<UINT>(exit_code));
}

// cmd.exe and PowerShell hand the command line over as typed: the program
// reads it by its tail rules.
CommandLine ReadCommandLine() {
  CommandLine line;
  line.is_tail = true;
  line.tail = ToUtf8(tail).text;
  return line;
}

}  // namespace platform
