#include "rules/subtitle_suffix.h"

#include <algorithm>

#include "rules/ascii.h"
#include "rules/languages.h"

namespace rules {
namespace {

// The flags a subtitle carries beside its language.
constexpr std::string_view kFlags[] = {"forced", "sdh", "cc", "hi", "default"};

// "BR", "419", "Hans".
bool IsRegion(std::string_view r) {
  const bool letters = std::all_of(r.begin(), r.end(), ascii::IsLetter);
  const bool digits = std::all_of(r.begin(), r.end(), ascii::IsDigit);
  return (letters && (r.size() == 2 || r.size() == 4)) ||
         (digits && r.size() == 3);
}

}  // namespace

bool IsSubtitleTag(std::string_view word) {
  // A language with a region or script: "pt-BR", "es-419", "zh-Hans".
  if (word.size() >= 5 && word.size() <= 7 && word[2] == '-' &&
      IsTwoLetterLanguage(word.substr(0, 2)) && IsRegion(word.substr(3)))
    return true;
  if (IsTwoLetterLanguage(word)) return true;
  for (const LanguageWord& l : LanguageWords()) {
    if (!l.only_tag && ascii::EqualsFolded(word, l.word)) return true;
  }
  for (std::string_view flag : kFlags) {
    if (ascii::EqualsFolded(word, flag)) return true;
  }
  return false;
}

NameSplit SplitFileName(std::string_view name) {
  NameSplit split = SplitName(name);
  if (split.extension == "." && !split.stem.empty()) return {split.stem, {}};
  if (!IsSubtitleExtension(split.extension)) return split;
  std::size_t stem_end = split.stem.size();
  for (int taken = 0; taken < 3; ++taken) {
    const std::size_t period = split.stem.rfind('.', stem_end - 1);
    if (period == std::string_view::npos || period == 0) break;
    if (!IsSubtitleTag(split.stem.substr(period + 1, stem_end - period - 1)))
      break;
    stem_end = period;
  }
  return {name.substr(0, stem_end), name.substr(stem_end)};
}

}  // namespace rules
