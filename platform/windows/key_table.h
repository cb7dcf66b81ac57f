// Which answer key a key-down record gives.  Internal to the Windows layer;
// pure, so that the table can be tested without a console.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The answer key for a key press with character ch (0 for none), the low
// 8 bits of its scan code and whether an Alt key is down; no value for a key
// that answers nothing (a modifier or lock key pressed alone).
std::optional<std::u16string> AnswerKey(char16_t ch, unsigned scan_code,
                                        bool alt_down);

}  // namespace platform
