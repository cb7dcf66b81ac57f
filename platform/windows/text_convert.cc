#include <windows.h>

#include <climits>

#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

// WideCharToMultiByte into a string of the size it asks for.
std::string FromWide(UINT code_page, DWORD flags, std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(code_page, flags, Wide(text), length,
                                         nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  const int made = WideCharToMultiByte(code_page, flags, Wide(text), length,
                                       out.data(), needed, nullptr, nullptr);
  out.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return out;
}

}  // namespace

std::u16string ToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                         text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string out(static_cast<std::size_t>(needed), u'\0');
  const int made =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length,
                          reinterpret_cast<wchar_t*>(out.data()), needed);
  out.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return out;
}

Utf8Text ToUtf8(std::u16string_view wide) {
  Utf8Text out;
  out.text = FromWide(CP_UTF8, WC_ERR_INVALID_CHARS, wide);
  if (out.text.empty() && !wide.empty()) {
    out.text = FromWide(CP_UTF8, 0, wide);
    out.exact = false;
  }
  return out;
}

std::string ToCodePage(unsigned code_page, std::u16string_view wide) {
  // Windows' UTF-8 setting: every character can be written.
  if (code_page == CP_UTF8) return FromWide(CP_UTF8, 0, wide);
  // No look-alikes ("L" for "Ł"): a name written so may be another entry's.
  std::string out = FromWide(code_page, WC_NO_BEST_FIT_CHARS, wide);
  // The few code pages that refuse the flag have no look-alikes to give.
  if (out.empty() && !wide.empty() && GetLastError() == ERROR_INVALID_FLAGS)
    out = FromWide(code_page, 0, wide);
  return out;
}

std::string ToAnsiCodePage(std::u16string_view wide) {
  return ToCodePage(GetACP(), wide);
}

}  // namespace platform::windows
