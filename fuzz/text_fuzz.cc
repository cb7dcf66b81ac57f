// The text primitives on arbitrary bytes, each checked against what its
// header promises or against a plain version written here.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/plain_utf8.h"
#include "text/case.h"
#include "text/unicode_case.h"
#include "text/replace.h"
#include "text/utf8.h"

namespace {

// Whether pattern occurs at index i.
bool OccursAt(std::string_view text, std::string_view pattern, std::size_t i) {
  return i <= text.size() && text.size() - i >= pattern.size() &&
         text.substr(i, pattern.size()) == pattern;
}

// One left-to-right pass that never looks at what it wrote.
std::string ReplaceOnce(std::string_view text, std::string_view pattern,
                        std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (OccursAt(text, pattern, i)) {
      out.append(replacement);
      i += pattern.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

void CheckReplace(std::string_view text, std::string_view pattern,
                  std::string_view replacement) {
  FUZZ_CHECK(text::ReplaceAll(text, pattern, replacement) ==
             ReplaceOnce(text, pattern, replacement));
  FUZZ_CHECK(text::RemoveAll(text, pattern) == ReplaceOnce(text, pattern, ""));
}

// The text is its own form in one case, as text/case.h defines it: no ASCII
// letter of the other case, and no character that the mapping takes to the
// other case one-to-one (the final sigma's upper case counts) at the same
// length.
bool PlainIsForm(std::string_view text, const text::CaseMapping& m, bool upper) {
  for (std::size_t at = 0, length; at < text.size(); at += length) {
    length = fuzz::PlainUtf8Length(text, at);
    const char b = text[at];
    if (length <= 1) {
      length = 1;
      if (upper ? (b >= 'a' && b <= 'z') : (b >= 'A' && b <= 'Z')) return false;
      continue;
    }
    const char32_t c = text::DecodeUtf8(text, at).value;
    const char32_t to = upper ? m.upper(c) : m.lower(c);
    const char32_t back = upper ? m.lower(to) : m.upper(to);
    if (to != c && (back == c || c == 0x3C2) &&
        text::Utf8Length(to) == text::Utf8Length(c)) {
      return false;
    }
  }
  return true;
}

void CheckCaseForms(std::string_view text) {
  const bool valid = fuzz::IsValidUtf8(text);
  FUZZ_CHECK(text::AsciiLowerForm(text).size() == text.size());
  for (const text::CaseMapping* mapping :
       {&text::UnicodeCaseMapping(), &text::AsciiOnlyMapping()}) {
    const std::string mixed = text::MixedForm(text, *mapping);
    FUZZ_CHECK(mixed.size() == text.size());
    if (valid) FUZZ_CHECK(fuzz::IsValidUtf8(mixed));
    FUZZ_CHECK(text::IsLowerForm(text, *mapping) == PlainIsForm(text, *mapping, false));
    FUZZ_CHECK(text::IsUpperForm(text, *mapping) == PlainIsForm(text, *mapping, true));
  }
}

void CheckUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const text::CodePoint cp = text::DecodeUtf8(text, at);
    FUZZ_CHECK(cp.length == fuzz::PlainUtf8Length(text, at));
    if (cp.length == 0) continue;
    FUZZ_CHECK(text::Utf8Length(cp.value) == cp.length);
    std::string again;
    text::AppendUtf8(again, cp.value);
    FUZZ_CHECK(again == text.substr(at, cp.length));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRandomLengthString(4096);
  const std::string pattern = in.ConsumeRandomLengthString(32);
  const std::string other = in.ConsumeRandomLengthString(32);

  CheckReplace(text, pattern, other);
  CheckCaseForms(text);
  CheckUtf8(text);
  return 0;
}
