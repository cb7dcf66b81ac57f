#include "text/unicode_case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace text {
namespace {

struct CaseRun {
  char32_t first, last;
  std::uint32_t stride;
  std::int32_t delta;
};

struct CasedRange {
  char32_t first, last;
};

#include "text/unicode_case_table.inc"

// The run that holds c, or nullptr.  Runs are sorted and apart.
template <typename Entry, std::size_t N>
const Entry* Containing(const Entry (&entries)[N], char32_t c) {
  const Entry* after = std::upper_bound(
      std::begin(entries), std::end(entries), c,
      [](char32_t value, const Entry& e) { return value < e.first; });
  if (after == std::begin(entries)) return nullptr;
  const Entry* entry = after - 1;
  return c <= entry->last ? entry : nullptr;
}

char32_t Mapped(const CaseRun* run, char32_t c) {
  if (run == nullptr || (c - run->first) % run->stride != 0) return c;
  return static_cast<char32_t>(static_cast<std::int64_t>(c) + run->delta);
}

char32_t Lower(char32_t c) { return Mapped(Containing(kLowerRuns, c), c); }
char32_t Upper(char32_t c) { return Mapped(Containing(kUpperRuns, c), c); }
bool IsCased(char32_t c) { return Containing(kCasedRanges, c) != nullptr; }

constexpr CaseMapping kUnicode{Lower, Upper, IsCased};

}  // namespace

const CaseMapping& UnicodeCaseMapping() { return kUnicode; }

}  // namespace text
