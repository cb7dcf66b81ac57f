// The question: one key press from the console keyboard.
#include <windows.h>

#include "platform/windows/console_state.h"
#include "platform/windows/file_system.h"

namespace platform::windows {
namespace {

// How many failed polls in a row (20 ms apart) mean the keyboard is gone.
constexpr int kFailedPollsToGiveUp = 5;

// Shift, Ctrl, Alt and the lock keys pressed alone answer nothing.
bool IsModifier(WORD key) {
  switch (key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL:
    case VK_NUMLOCK: case VK_SCROLL: case VK_LSHIFT: case VK_RSHIFT:
    case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_RMENU:
      return true;
  }
  return false;
}

// Waits for one key press: the answer of "y", "a" or "q" in either case
// (Alt+y is a command, not the letter), no for any other key, and no at once
// without a keyboard, so that a run without a console never hangs.
Answer AnswerKey() {
  HANDLE keyboard = ConsoleHandles().keyboard;
  if (keyboard == INVALID_HANDLE_VALUE || keyboard == nullptr) return Answer::kNo;
  int failed_polls = 0;
  for (;;) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!PeekConsoleInputW(keyboard, &record, 1, &count)) {
      if (++failed_polls >= kFailedPollsToGiveUp) return Answer::kNo;
      Sleep(20);
      continue;
    }
    failed_polls = 0;
    if (count == 0) {
      Sleep(20);
      continue;
    }
    // The record is taken off the queue whether it answers or not.
    if (!ReadConsoleInputW(keyboard, &record, 1, &count)) {
      if (++failed_polls >= kFailedPollsToGiveUp) return Answer::kNo;
      continue;
    }
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
      continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const wchar_t ch = key.uChar.UnicodeChar;
    if (ch == 0 && IsModifier(key.wVirtualKeyCode)) continue;
    const bool alt = key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
    if (alt) return Answer::kNo;
    switch (ch) {
      case L'y': case L'Y': return Answer::kYes;
      case L'a': case L'A': return Answer::kAll;
      case L'q': case L'Q': return Answer::kQuit;
    }
    return Answer::kNo;
  }
}

}  // namespace

Answer WindowsConsole::Ask(std::string_view prompt, std::string_view shown) {
  Print(prompt);
  // Output to a file or a pipe: the question is shown in the console too,
  // and the answer after it.
  if (!shown.empty()) ShowInConsole(shown);
  // Ctrl+C arrives as a key (the console's input processing is off), and
  // answers no as any other key but "y", "a" and "q" does.
  return AnswerKey();
}

}  // namespace platform::windows
