#include "rules/stem_cleanup.h"

#include <array>

#include "rules/ascii.h"
#include "rules/release_name.h"
#include "rules/term_table.h"
#include "rules/video_tags.h"

namespace rules {
namespace {

// Whether the lower-case ASCII word is, or for a prefix row begins with, a
// row of the term table.
bool IsTableTerm(std::string_view lower) {
  for (std::string_view row : kTermRows) {
    if (!row.empty() && row.back() == '*') {
      if (lower.substr(0, row.size() - 1) == row.substr(0, row.size() - 1))
        return true;
    } else if (lower == row) {
      return true;
    }
  }
  return false;
}

}  // namespace

NameSplit SplitName(std::string_view name) {
  const std::size_t period = name.rfind('.');
  if (period == std::string_view::npos) return {name, {}};
  return {name.substr(0, period), name.substr(period)};
}

bool IsDirectoryExtension(std::string_view part) {
  if (part.empty() || part.size() > 4 || !ascii::IsLetter(part[0])) return false;
  char lower[4];
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (!ascii::IsLetter(part[i]) && !ascii::IsDigit(part[i])) return false;
    lower[i] = ascii::AsciiLower(part[i]);
  }
  const std::string_view word[] = {part};
  return !IsTableTerm(std::string_view(lower, part.size())) &&
         !IsMarkerWord(part) && MatchVideoTag(word, 0).words == 0;
}

NameSplit SplitDirectoryName(std::string_view name) {
  const std::size_t period = name.rfind('.');
  if (period == std::string_view::npos) return {name, {}};
  if (period == 0) return {{}, name};
  if (!IsDirectoryExtension(name.substr(period + 1))) return {name, {}};
  return {name.substr(0, period), name.substr(period)};
}

// One pass instead of a rewrite per step.  Periods, underscores and spaces
// only ask for a space before whatever comes next; the space is written when
// that next byte comes, so runs collapse and the ends stay trimmed.  "(" and
// "[" always want a space in front, ")" and "]" one behind, and no space is
// ever written just inside a bracket.
namespace {

// The bytes the cleanup acts on; every other byte is copied as it is.
constexpr auto kActsOn = [] {
  std::array<bool, 256> acts{};
  for (unsigned char c : std::string_view("._ [(])")) acts[c] = true;
  return acts;
}();

// The cleanup, and with kJoins the words a period joined on.
template <bool kJoins>
std::string Clean(std::string_view stem, std::uint64_t* period_joins) {
  // Each byte writes at most two ("[" -> " ("): one buffer of that size,
  // cut to what was written.
  std::string s(2 * stem.size(), '\0');
  char* const begin = s.data();
  char* out = begin;
  bool space_wanted = false, period = false;
  std::size_t word = 0;  // the spaces written: the word being written
  std::uint64_t joins = 0;
  const char* in = stem.data();
  const char* const end = in + stem.size();
  while (in != end) {
    const char c = *in++;
    if (!kActsOn[static_cast<unsigned char>(c)]) {
      if (space_wanted && out != begin && out[-1] != '(') {
        *out++ = ' ';
        // A word of digits the stem joined on with a period: "12.5".
        if constexpr (kJoins) {
          ++word;
          if (period && word < 64 && ascii::IsDigit(c)) joins |= std::uint64_t{1} << word;
        }
      }
      *out++ = c;
      // The rest of the word goes as it is: most bytes of a name.
      while (in != end && !kActsOn[static_cast<unsigned char>(*in)]) *out++ = *in++;
      space_wanted = period = false;
      continue;
    }
    switch (c) {
      case '.':
        period = true;
        space_wanted = true;
        break;
      case '_':
      case ' ':
        space_wanted = true;
        break;
      case '[':
      case '(':
        if (out != begin && out[-1] != '(') {
          *out++ = ' ';
          if constexpr (kJoins) ++word;
        }
        *out++ = '(';
        space_wanted = period = false;
        break;
      case ']':
      case ')':
        *out++ = ')';
        space_wanted = true;
        period = false;
        break;
      default:
        break;  // not reached: every other byte is copied above
    }
  }
  s.resize(static_cast<std::size_t>(out - begin));
  if constexpr (kJoins) *period_joins = joins;
  return s;
}

}  // namespace

bool MayJoinEpisodeRun(std::string_view stem) {
  for (std::size_t dot = stem.find('.'); dot != std::string_view::npos;
       dot = stem.find('.', dot + 1)) {
    if (dot + 1 == stem.size() || !ascii::IsDigit(stem[dot + 1])) continue;
    std::size_t k = dot;
    while (k > 0 && ascii::IsDigit(stem[k - 1])) --k;
    if (k == dot || k == 0) continue;
    const char before = ascii::AsciiLower(stem[k - 1]);
    if (before == 'e' || before == 'x') return true;
  }
  return false;
}

std::string CleanStem(std::string_view stem, std::uint64_t* period_joins) {
  return period_joins ? Clean<true>(stem, period_joins) : Clean<false>(stem, nullptr);
}

}  // namespace rules
