// The question: one key press from the console keyboard.
#include <windows.h>

#include "platform/platform.h"
#include "platform/windows/console_state.h"
#include "platform/windows/key_table.h"

namespace platform {
namespace {

// With no keyboard there is nobody to say yes: answer at once with a key
// that means no, so that a run without a console never hangs.
std::u16string NoKeyboard() { return std::u16string(1, u'\0'); }

// How many failed polls in a row (20 ms apart) mean the keyboard is gone.
constexpr int kFailedPollsToGiveUp = 5;

}  // namespace

// Waits for one key press and returns its answer key.
std::u16string WaitKey() {
  HANDLE keyboard = Console().keyboard;
  if (keyboard == INVALID_HANDLE_VALUE || keyboard == nullptr)
    return NoKeyboard();
  int failed_polls = 0;
  for (;;) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!PeekConsoleInputW(keyboard, &record, 1, &count)) {
      if (++failed_polls >= kFailedPollsToGiveUp) return NoKeyboard();
      Sleep(20);
      continue;
    }
    failed_polls = 0;
    if (count == 0) {
      Sleep(20);
      continue;
    }
    std::optional<std::u16string> answer;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
      const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      bool alt = key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
      answer = AnswerKey(static_cast<char16_t>(key.uChar.UnicodeChar),
                         key.wVirtualScanCode, alt);
    }
    // The record is taken off the queue whether it answers or not.
    if (!ReadConsoleInputW(keyboard, &record, 1, &count)) {
      if (++failed_polls >= kFailedPollsToGiveUp) return NoKeyboard();
      continue;
    }
    if (answer) return *answer;
  }
}

Answer Ask(std::string_view prompt) {
  Print(prompt);
  // Ctrl+C arrives as a key (the console's input processing is off), and
  // answers no as any other key but "y" does.
  const std::u16string key = WaitKey();
  return key == u"y" || key == u"Y" ? Answer::kYes : Answer::kNo;
}

// One step each; there is no signal to hold off.
void HoldInterrupts() {}
void ReleaseInterrupts() {}

}  // namespace platform
