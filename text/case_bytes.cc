// The case tables for 8-bit text in a Windows ANSI code page: ASCII letters and
// the seven code page 437 pairs Ç/ç, Ä/ä, Å/å, É/é, Ö/ö, Ü/ü and Ñ/ñ.  They
// apply to the byte values whatever the code page; the locale plays no part.
#include <array>

#include "text/case.h"

namespace text::bytes_case {
namespace {

struct Tables {
  std::array<unsigned char, 256> lower, upper;
  std::array<bool, 256> letter;
};

constexpr Tables MakeTables() {
  Tables t{};
  for (int c = 0; c < 256; ++c) {
    t.lower[c] = t.upper[c] = static_cast<unsigned char>(c);
    t.letter[c] = false;
  }
  auto pair = [&t](int upper, int lower) {
    t.lower[upper] = static_cast<unsigned char>(lower);
    t.upper[lower] = static_cast<unsigned char>(upper);
    t.letter[upper] = t.letter[lower] = true;
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  pair(0x80, 0x87);
  pair(0x8E, 0x84);
  pair(0x8F, 0x86);
  pair(0x90, 0x82);
  pair(0x99, 0x94);
  pair(0x9A, 0x81);
  pair(0xA5, 0xA4);
  return t;
}

constexpr Tables kTables = MakeTables();

std::string Map(std::string_view text,
                const std::array<unsigned char, 256>& table) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

bool Unchanged(std::string_view text,
               const std::array<unsigned char, 256>& table) {
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (table[b] != b) return false;
  }
  return true;
}

}  // namespace

std::string Lower(std::string_view text) { return Map(text, kTables.lower); }
std::string Upper(std::string_view text) { return Map(text, kTables.upper); }
bool IsLower(std::string_view text) { return Unchanged(text, kTables.lower); }
bool IsUpper(std::string_view text) { return Unchanged(text, kTables.upper); }

std::string Mixed(std::string_view text) {
  std::string out(text);
  bool capitalise_next = true;
  for (char& c : out) {
    unsigned char b = static_cast<unsigned char>(c);
    c = static_cast<char>(capitalise_next ? kTables.upper[b] : kTables.lower[b]);
    capitalise_next = !kTables.letter[b];
  }
  return out;
}

bool IsLetter(unsigned char c) { return kTables.letter[c]; }

}  // namespace text::bytes_case
