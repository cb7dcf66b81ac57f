// The case forms for UTF-8 names.  Only mappings that keep the byte length are
// made, so the forms keep the length of the text and valid UTF-8 stays valid.
#include "text/case.h"
#include "text/utf8.h"

namespace text {
namespace {

char32_t Same(char32_t c) { return c; }
bool NoCase(char32_t) { return false; }
constexpr CaseMapping kAsciiOnly{Same, Same, NoCase};

enum class To { kLower, kUpper };

char ToAsciiCase(char c, To to) {
  if (to == To::kLower && c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (to == To::kUpper && c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  return c;
}

// The code point c mapped to the wanted case, or c itself when the mapping is
// not one-to-one or would change the length in bytes.
constexpr char32_t kCapitalSigma = 0x3A3, kFinalSigma = 0x3C2;

char32_t MapCodePoint(char32_t c, To to, const CaseMapping& m) {
  char32_t mapped = to == To::kLower ? m.lower(c) : m.upper(c);
  if (mapped == c) return c;
  char32_t back = to == To::kLower ? m.upper(mapped) : m.lower(mapped);
  // The final sigma is the one lower-case letter whose upper case maps back
  // to another lower-case form.
  if ((back != c && c != kFinalSigma) || Utf8Length(mapped) != Utf8Length(c))
    return c;
  return mapped;
}

// The combining marks of the text at `at`, if any, passed over.
std::size_t PastMarks(std::string_view text, std::size_t at) {
  while (at < text.size() && static_cast<unsigned char>(text[at]) >= 0x80) {
    const CodePoint cp = DecodeUtf8(text, at);
    if (cp.length == 0 || !IsCombiningMark(cp.value)) break;
    at += cp.length;
  }
  return at;
}

bool IsCasedAt(std::string_view text, std::size_t at, const CaseMapping& m) {
  at = PastMarks(text, at);
  if (at >= text.size()) return false;
  unsigned char c = static_cast<unsigned char>(text[at]);
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  CodePoint cp = DecodeUtf8(text, at);
  return cp.length != 0 && m.is_cased(cp.value);
}

// Writes the unit of text at `at` (one byte, or one valid UTF-8 sequence) in
// the wanted case to `out`; returns its length and whether it is a case letter.
struct Unit {
  std::size_t length;
  bool letter;
  bool mark = false;  // a combining mark: of the unit before it
};

// after_letter: the unit before is a case letter (for the final sigma).
Unit MapUnit(std::string_view text, std::size_t at, To to, bool after_letter,
             const CaseMapping& m, std::string& out) {
  char c = text[at];
  if (static_cast<unsigned char>(c) < 0x80) {
    out.push_back(ToAsciiCase(c, to));
    return {1, (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')};
  }
  CodePoint cp = DecodeUtf8(text, at);
  if (cp.length == 0) {
    out.push_back(c);
    return {1, false};
  }
  char32_t mapped = MapCodePoint(cp.value, to, m);
  // A capital sigma that ends a word becomes the final form.
  if (to == To::kLower && cp.value == kCapitalSigma && mapped != cp.value &&
      after_letter && !IsCasedAt(text, at + cp.length, m)) {
    mapped = kFinalSigma;
  }
  AppendUtf8(out, mapped);
  return {cp.length, m.is_cased(cp.value), IsCombiningMark(cp.value)};
}

// Whether the text is its own form in the wanted case: each unit maps to
// itself, or MapUnit would write something else.
bool Unchanged(std::string_view text, To to, const CaseMapping& m) {
  for (std::size_t at = 0; at < text.size();) {
    char c = text[at];
    if (static_cast<unsigned char>(c) < 0x80) {
      if (ToAsciiCase(c, to) != c) return false;
      ++at;
      continue;
    }
    CodePoint cp = DecodeUtf8(text, at);
    if (cp.length == 0) {
      ++at;
      continue;
    }
    if (MapCodePoint(cp.value, to, m) != cp.value) return false;
    at += cp.length;
  }
  return true;
}

}  // namespace

const CaseMapping& AsciiOnlyMapping() { return kAsciiOnly; }

bool IsCombiningMark(char32_t c) {
  return (c >= 0x300 && c <= 0x36F) ||    // combining diacritical marks
         (c >= 0x483 && c <= 0x489) ||    // Cyrillic
         (c >= 0x1AB0 && c <= 0x1AFF) ||  // diacritical marks, extended
         (c >= 0x1DC0 && c <= 0x1DFF) ||  // diacritical marks, supplement
         (c >= 0x20D0 && c <= 0x20FF) ||  // for symbols
         (c >= 0xFE20 && c <= 0xFE2F);    // half marks
}

std::string AsciiLowerForm(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

bool IsLowerForm(std::string_view text, const CaseMapping& m) {
  return Unchanged(text, To::kLower, m);
}
bool IsUpperForm(std::string_view text, const CaseMapping& m) {
  return Unchanged(text, To::kUpper, m);
}

std::string MixedForm(std::string_view text, const CaseMapping& m) {
  std::string out;
  out.reserve(text.size());
  bool capitalise_next = true;
  for (std::size_t at = 0; at < text.size();) {
    Unit unit = MapUnit(text, at, capitalise_next ? To::kUpper : To::kLower,
                        !capitalise_next, m, out);
    if (!unit.mark) capitalise_next = !unit.letter;
    at += unit.length;
  }
  return out;
}

}  // namespace text
