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

// Waits for one key press: true for "y" or "Y" (Alt+y is a command, not the
// letter), false for any other key, and at once without a keyboard, so that
// a run without a console never hangs.
bool KeyIsYes() {
  HANDLE keyboard = ConsoleHandles().keyboard;
  if (keyboard == INVALID_HANDLE_VALUE || keyboard == nullptr) return false;
  int failed_polls = 0;
  for (;;) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!PeekConsoleInputW(keyboard, &record, 1, &count)) {
      if (++failed_polls >= kFailedPollsToGiveUp) return false;
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
      if (++failed_polls >= kFailedPollsToGiveUp) return false;
      continue;
    }
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
      continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const wchar_t ch = key.uChar.UnicodeChar;
    if (ch == 0 && IsModifier(key.wVirtualKeyCode)) continue;
    const bool alt = key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
    return (ch == L'y' || ch == L'Y') && !alt;
  }
}

}  // namespace

Answer WindowsConsole::Ask(std::string_view prompt) {
  Print(prompt);
  // Ctrl+C arrives as a key (the console's input processing is off), and
  // answers no as any other key but "y" does.
  return KeyIsYes() ? Answer::kYes : Answer::kNo;
}

}  // namespace platform::windows
