// Start and end of the process: the console handles and modes, the command
// tail.
#include <windows.h>

#include <cwchar>

#include "platform/platform.h"
#include "platform/windows/command_tail.h"
#include "platform/windows/console_state.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace windows {
namespace {

ConsoleState console;
std::u16string tail;

}  // namespace

ConsoleState& ConsoleHandles() { return console; }

}  // namespace windows

FileSystem& SystemFileSystem() {
  static windows::WindowsFileSystem files;
  return files;
}

UserFiles& SystemUserFiles() {
  static windows::WindowsUserFiles files;
  return files;
}

Console& SystemConsole() {
  static windows::WindowsConsole console;
  return console;
}

Interrupts& SystemInterrupts() {
  static windows::WindowsInterrupts interrupts;
  return interrupts;
}

PathStyle SystemPathStyle() { return PathStyle::kWindows; }

void StartProgram(int, char**) {
  windows::ConsoleState& console = windows::console;
  console.error = GetStdHandle(STD_ERROR_HANDLE);
  console.input = GetStdHandle(STD_INPUT_HANDLE);
  console.output = GetStdHandle(STD_OUTPUT_HANDLE);
  console.keyboard = CreateFileA("CONIN$", GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  console.screen =
      windows::IsConsole(console.output) ? console.output : console.error;
  SetConsoleMode(console.screen,
                 ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
  // No line input, no echo, and Ctrl+C arrives as a key, not an interrupt.
  SetConsoleMode(console.input, 0);

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
  windows::tail = std::u16string(whole.substr(windows::TailPosition(whole)));
}

[[noreturn]] void EndProgram(int exit_code) {
  windows::ConsoleState& console = windows::console;
  if (console.keyboard != INVALID_HANDLE_VALUE) CloseHandle(console.keyboard);
  console.keyboard = INVALID_HANDLE_VALUE;
  ExitProcess(static_cast<UINT>(exit_code));
}

// cmd.exe and PowerShell hand the command line over as typed: the program
// reads it by its tail rules.
CommandLine ReadCommandLine() {
  CommandLine line;
  line.is_tail = true;
  windows::Utf8Text text = windows::ToUtf8(windows::tail);
  line.tail = std::move(text.text);
  line.exact = text.exact;
  return line;
}

}  // namespace platform
