#include "text/number.h"

#include <algorithm>
#include <cmath>

namespace text {
namespace {

constexpr int kSignificantDigits = 18;
constexpr int kMaxExponent = 9999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of any base up to 36, or 99 when it is none.
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

long double RadixValue(std::string_view text, std::size_t at) {
  int base = 8;
  if (at < text.size()) {
    switch (text[at]) {
      case 'H': case 'h': base = 16; ++at; break;
      case 'O': case 'o': case 'Q': case 'q': base = 8; ++at; break;
      case 'B': case 'b': base = 2; ++at; break;
      default: break;  // the byte is the first octal digit
    }
  }
  long double value = 0;
  for (; at < text.size() && DigitValue(text[at]) < base; ++at) {
    value = value * base + DigitValue(text[at]);
  }
  return value;
}

long double DecimalValue(std::string_view text, std::size_t at) {
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  long double mantissa = 0;
  long long scale = 0;  // power of ten applied to the mantissa
  int significant = 0;
  bool any_digit = false, seen_point = false;
  for (; at < text.size(); ++at) {
    char c = text[at];
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    any_digit = true;
    if (significant < kSignificantDigits) {
      if (significant > 0 || c != '0') ++significant;
      mantissa = mantissa * 10 + (c - '0');
      if (seen_point) --scale;
    } else if (!seen_point) {
      ++scale;  // a digit past the precision only scales the value
    }
  }
  if (!any_digit) return 0;
  if (at < text.size() && (text[at] == 'E' || text[at] == 'e' ||
                           text[at] == 'D' || text[at] == 'd')) {
    std::size_t e = at + 1;
    bool exp_negative = false;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
      exp_negative = text[e] == '-';
      ++e;
    }
    long long exponent = 0;
    for (; e < text.size() && IsDigit(text[e]); ++e) {
      exponent = std::min<long long>(kMaxExponent, exponent * 10 + (text[e] - '0'));
    }
    scale += exp_negative ? -exponent : exponent;
  }
  long double value =
      scale == 0 ? mantissa : mantissa * std::pow(10.0L, static_cast<long double>(scale));
  return negative ? -value : value;
}

}  // namespace

long double NumericValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' ||
                              text[at] == '\r' || text[at] == '\n')) {
    ++at;
  }
  if (at == text.size()) return 0;
  if (text[at] == '&') return RadixValue(text, at + 1);
  return DecimalValue(text, at);
}

std::string NumberToText(long long value) { return std::to_string(value); }

}  // namespace text
