// Output to standard output and standard error, and where the console's
// cursor and window stand.  The program's text is UTF-8.
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/windows/console_state.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

// One write, unbuffered, so that a prompt stands before the key wait.  A
// failed write is left there: the renames matter more than their record.
void WriteBytes(HANDLE handle, std::string_view bytes) {
  if (bytes.empty()) return;
  DWORD written = 0;
  DWORD count = bytes.size() > MAXDWORD ? MAXDWORD : DWORD(bytes.size());
  WriteFile(handle, bytes.data(), count, &written, nullptr);
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

// To a console the text goes as UTF-16, so that every name shows whatever
// the console's code page; to a pipe or a file as bytes of the ANSI code
// page, as scripts that read the output expect.
void WriteText(HANDLE handle, std::string_view utf8) {
  const std::u16string wide = ToWide(WithWindowsLineEnds(utf8));
  if (wide.empty()) return;
  if (!IsConsole(handle)) {
    WriteBytes(handle, ToAnsiCodePage(wide));
    return;
  }
  DWORD written = 0;
  const DWORD count =
      wide.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(wide.size());
  WriteConsoleW(handle, wide.data(), count, &written, nullptr);
}

// A question stands in the console while the output goes elsewhere: the
// answer goes there too.
bool answer_to_console = false;

bool ScreenInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(ConsoleHandles().screen, &info) != 0;
}

}  // namespace

void ShowInConsole(std::string_view question) {
  const ConsoleState& handles = ConsoleHandles();
  if (IsConsole(handles.output) || !IsConsole(handles.screen) ||
      handles.keyboard == INVALID_HANDLE_VALUE || handles.keyboard == nullptr)
    return;
  WriteText(handles.screen, question);
  answer_to_console = true;
}

void WindowsConsole::Print(std::string_view text) {
  if (answer_to_console) {
    const std::size_t end = text.find('\n');
    WriteText(ConsoleHandles().screen,
              end == std::string_view::npos ? text : text.substr(0, end + 1));
    if (end != std::string_view::npos) answer_to_console = false;
  }
  WriteText(ConsoleHandles().output, text);
}

void WindowsConsole::PrintError(std::string_view line) {
  std::string whole(line);
  whole.push_back('\n');
  WriteText(ConsoleHandles().error, whole);
}

void WindowsConsole::ShowProgress(std::string_view text) {
  if (IsConsole(ConsoleHandles().error)) WriteText(ConsoleHandles().error, text);
}

bool WindowsConsole::IsTerminal() { return IsConsole(ConsoleHandles().output); }

int WindowsConsole::CursorColumn() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(info)) return 1;
  return info.dwCursorPosition.X + 1;
}

int WindowsConsole::ScreenWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  // No console at all: a width that never forces a line break.
  if (!ScreenInfo(info)) return INT_MAX / 2;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

// The columns the console gives the text: two for a wide (East Asian) or
// supplementary character, none for a mark, one for the rest, by the
// system's own character types.
int WindowsConsole::DisplayColumns(std::string_view text) {
  const std::u16string wide = ToWide(text);
  if (wide.empty() || wide.size() > INT_MAX / 4) return static_cast<int>(
      text.size() > INT_MAX / 2 ? INT_MAX / 2 : text.size());
  std::vector<WORD> types(wide.size());
  if (!GetStringTypeW(CT_CTYPE3, reinterpret_cast<const wchar_t*>(wide.data()),
                      static_cast<int>(wide.size()), types.data())) {
    return static_cast<int>(wide.size());
  }
  int columns = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t unit = wide[i];
    const WORD type = types[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      columns += 2;  // a supplementary character (emoji, rare ideographs)
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      // the second half of the same character
    } else if ((type & C3_NONSPACING) && !(type & C3_ALPHA)) {
      // a combining mark (a precomposed letter such as "é" is marked
      // non-spacing too, but as a letter)
    } else if ((type & (C3_FULLWIDTH | C3_IDEOGRAPH | C3_HIRAGANA |
                        C3_KATAKANA)) &&
               !(type & C3_HALFWIDTH)) {
      columns += 2;
    } else {
      columns += 1;
    }
  }
  return columns;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace platform::windows
