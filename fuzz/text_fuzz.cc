// The text primitives on arbitrary bytes and arbitrary in-range positions and
// counts, each checked against what its header promises.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "text/case.h"
#include "text/unicode_case.h"
#include "text/fields.h"
#include "text/number.h"
#include "text/replace.h"
#include "text/search.h"
#include "text/trim.h"
#include "text/utf8.h"

namespace {

// Whether pattern occurs at the 0-based index i.
template <class View>
bool OccursAt(View text, View pattern, std::size_t i) {
  return i <= text.size() && text.size() - i >= pattern.size() &&
         text.substr(i, pattern.size()) == pattern;
}

// Find: 0 or a position where the pattern occurs, and none
// between the start and that position.
template <class View, class FindFunction>
void CheckFind(View text, View pattern, std::size_t start, FindFunction find) {
  const std::size_t found = find(text, pattern, start);
  const std::size_t from = start == 0 ? 1 : start;
  if (text.empty()) {
    FUZZ_CHECK(found == 0);
    return;
  }
  if (pattern.empty()) {
    FUZZ_CHECK(found == from);
    return;
  }
  if (found != 0) {
    FUZZ_CHECK(found >= from);
    FUZZ_CHECK(OccursAt(text, pattern, found - 1));
  }
  const std::size_t end = found != 0 ? found : text.size() + 1;
  for (std::size_t p = from; p < end; ++p) {
    FUZZ_CHECK(!OccursAt(text, pattern, p - 1));
  }
}

void CheckFindFromEnd(std::string_view text, std::string_view pattern) {
  const std::size_t found = text::FindFromEnd(text, pattern);
  if (text.empty() || pattern.empty()) {
    FUZZ_CHECK(found == 0);
    return;
  }
  if (found != 0) FUZZ_CHECK(OccursAt(text, pattern, found - 1));
  for (std::size_t i = found; i < text.size(); ++i) {
    FUZZ_CHECK(!OccursAt(text, pattern, i));
  }
}

void CheckParts(std::string_view text, std::size_t start, std::size_t count) {
  const std::string_view part = text::Substring(text, start, count);
  if (start == 0 || start > text.size()) {
    FUZZ_CHECK(part.empty());
  } else {
    const std::size_t left = text.size() - (start - 1);
    FUZZ_CHECK(part.data() == text.data() + (start - 1));
    FUZZ_CHECK(part.size() == (count < left ? count : left));
  }
  const std::string_view right = text::RightPart(text, count);
  FUZZ_CHECK(right.size() == (count < text.size() ? count : text.size()));
  FUZZ_CHECK(right.data() + right.size() == text.data() + text.size());
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

  const std::string mapped = text::MapCharacterSet(text, pattern, replacement);
  FUZZ_CHECK(mapped.size() == text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t j = pattern.find(text[i]);
    const bool has_partner = j != std::string_view::npos && j < replacement.size();
    FUZZ_CHECK(mapped[i] == (has_partner ? replacement[j] : text[i]));
  }

  std::string fixed_point(text);
  while (text::Find(fixed_point, "  ")) {
    fixed_point = text::ReplaceAll(fixed_point, "  ", " ");
  }
  FUZZ_CHECK(text::CollapseSpaces(text) == fixed_point);
}

bool IsMember(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}

void CheckTrims(std::string_view text, std::string_view set) {
  const std::string_view left = text::TrimSetLeft(text, set);
  FUZZ_CHECK(left.size() <= text.size());
  FUZZ_CHECK(text.substr(text.size() - left.size()) == left);
  for (char c : text.substr(0, text.size() - left.size())) {
    FUZZ_CHECK(IsMember(c, set));
  }
  FUZZ_CHECK(left.empty() || !IsMember(left.front(), set));

  const std::string_view right = text::TrimSetRight(text, set);
  FUZZ_CHECK(text.substr(0, right.size()) == right);
  for (char c : text.substr(right.size())) FUZZ_CHECK(IsMember(c, set));
  FUZZ_CHECK(right.empty() || !IsMember(right.back(), set));

  const std::string_view both = text::TrimSet(text, set);
  FUZZ_CHECK(both.empty() ||
             (!IsMember(both.front(), set) && !IsMember(both.back(), set)));
  FUZZ_CHECK(both == text::TrimSetRight(left, set));

  const std::string_view spaces = text::TrimSpaces(text);
  FUZZ_CHECK(spaces.empty() || (spaces.front() != ' ' && spaces.back() != ' '));
}

void CheckCaseForms(std::string_view text) {
  const bool valid = text::IsValidUtf8(text);
  FUZZ_CHECK(text::AsciiLowerForm(text).size() == text.size());
  for (const text::CaseMapping* mapping :
       {&text::UnicodeCaseMapping(), &text::AsciiOnlyMapping()}) {
    for (auto form : {text::LowerForm, text::UpperForm, text::MixedForm}) {
      const std::string formed = form(text, *mapping);
      FUZZ_CHECK(formed.size() == text.size());
      if (valid) FUZZ_CHECK(text::IsValidUtf8(formed));
    }
    FUZZ_CHECK(text::IsLowerForm(text, *mapping) ==
               (text::LowerForm(text, *mapping) == text));
    FUZZ_CHECK(text::IsUpperForm(text, *mapping) ==
               (text::UpperForm(text, *mapping) == text));
  }
}

void CheckFields(std::string_view text, std::string_view delimiter,
                 std::size_t n) {
  const std::size_t count = text::FieldCount(text, delimiter);
  FUZZ_CHECK(count >= 1);
  FUZZ_CHECK(text::FieldAt(text, delimiter, 0).empty());
  FUZZ_CHECK(text::FieldAt(text, delimiter, count + 1).empty());
  if (!delimiter.empty()) {
    // The fields joined by the delimiter give the text back.
    std::string joined(text::FieldAt(text, delimiter, 1));
    for (std::size_t i = 2; i <= count; ++i) {
      joined.append(delimiter);
      joined.append(text::FieldAt(text, delimiter, i));
    }
    FUZZ_CHECK(joined == text);
    return;
  }
  // Comma mode: every field lies inside the text, and without quotes a field
  // is the trimmed piece between commas.
  const std::string_view field = text::FieldAt(text, "", n % (count + 1));
  FUZZ_CHECK(field.empty() || (field.data() >= text.data() &&
                               field.data() + field.size() <=
                                   text.data() + text.size()));
  if (text.find('"') != std::string_view::npos) return;
  std::size_t from = 0;
  for (std::size_t i = 1; i <= count; ++i) {
    std::size_t comma = text.find(',', from);
    if (comma == std::string_view::npos) comma = text.size();
    FUZZ_CHECK(text::FieldAt(text, "", i) ==
               text::TrimSpaces(text.substr(from, comma - from)));
    from = comma + 1;
  }
  FUZZ_CHECK(from == text.size() + 1);
}

void CheckUtf8(std::string_view text) {
  bool valid = true;
  for (std::size_t at = 0; at < text.size();) {
    const text::CodePoint cp = text::DecodeUtf8(text, at);
    if (cp.length == 0) {
      valid = false;
      ++at;
      continue;
    }
    FUZZ_CHECK(cp.length <= text.size() - at);
    FUZZ_CHECK(text::Utf8Length(cp.value) == cp.length);
    std::string again;
    text::AppendUtf8(again, cp.value);
    FUZZ_CHECK(again == text.substr(at, cp.length));
    at += cp.length;
  }
  FUZZ_CHECK(text::IsValidUtf8(text) == valid);
}

void CheckNumbers(std::string_view text, std::int64_t value) {
  (void)text::NumericValue(text);  // any bytes: no crash, no undefined step
  // Up to 18 digits the value survives a trip through its text.
  if (value > -1000000000000000000 && value < 1000000000000000000) {
    const std::string written = text::NumberToText(value);
    FUZZ_CHECK(text::NumericValue(written) == static_cast<long double>(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRandomLengthString(4096);
  const std::string pattern = in.ConsumeRandomLengthString(32);
  const std::string other = in.ConsumeRandomLengthString(32);
  const std::size_t start = in.ConsumeIntegralInRange<std::size_t>(0, text.size() + 2);
  const std::size_t count =
      in.ConsumeBool() ? text::kToEnd
                       : in.ConsumeIntegralInRange<std::size_t>(0, text.size() + 2);
  const std::int64_t value = in.ConsumeIntegral<std::int64_t>();

  CheckFind<std::string_view>(text, pattern, start,
                              [](auto t, auto p, auto s) { return text::Find(t, p, s); });
  CheckFindFromEnd(text, pattern);
  CheckParts(text, start, count);
  CheckReplace(text, pattern, other);
  CheckTrims(text, pattern);
  CheckCaseForms(text);
  CheckFields(text, pattern, count);
  CheckFields(text, "", start);
  CheckUtf8(text);
  CheckNumbers(text, value);
  return 0;
}
