// 8-bit text is in the system's ANSI code page; the system's own names and
// the command line are UTF-16.
#include <windows.h>

#include <climits>

#include "platform/windows/text_convert.h"

namespace platform {

std::u16string ToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int length = static_cast<int>(text.size());
  int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), length,
                                   nullptr, 0);
  if (needed <= 0) return {};
  std::u16string out(static_cast<std::size_t>(needed), u'\0');
  int made = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), length,
                                 reinterpret_cast<wchar_t*>(out.data()), needed);
  out.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return out;
}

std::string ToAnsi(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  auto wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = static_cast<int>(text.size());
  int needed =
      WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  int made = WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), needed,
                                 nullptr, nullptr);
  out.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return out;
}

}  // namespace platform
