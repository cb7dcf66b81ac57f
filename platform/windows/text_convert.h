// The program's text and the system's UTF-16.  Internal to the Windows
// layer.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Program text is 8-bit text of the ANSI code page.
std::u16string ToWide(std::string_view text);
std::string ToAnsi(std::u16string_view text);

}  // namespace platform
