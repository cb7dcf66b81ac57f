// The handles that StartProgram takes, shared by the console services.
// Internal to the Windows layer.
#pragma once

#include <windows.h>

#include <string_view>

namespace platform::windows {

struct ConsoleState {
  HANDLE output = INVALID_HANDLE_VALUE;
  HANDLE input = INVALID_HANDLE_VALUE;
  HANDLE error = INVALID_HANDLE_VALUE;
  // The console input buffer ("CONIN$"): keys come from here even when
  // standard input is redirected.
  HANDLE keyboard = INVALID_HANDLE_VALUE;
  // Where cursor and width queries go: standard output when it is a
  // console, else standard error.
  HANDLE screen = INVALID_HANDLE_VALUE;
};

ConsoleState& ConsoleHandles();

// Whether the handle is a console rather than a pipe or a file.
bool IsConsole(HANDLE handle);

// Writes a question to the console while standard output goes elsewhere;
// the text printed next, up to its line end, follows it there.
void ShowInConsole(std::string_view question);

}  // namespace platform::windows
