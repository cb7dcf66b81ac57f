// The languages release names and subtitle files name, in one table that
// the subtitle suffix (rules/subtitle_suffix.h) and the release tags of
// "/v" (rules/video_tags.h) both read.  A language is added here.
#pragma once

#include <span>
#include <string_view>

namespace rules {

struct LanguageWord {
  std::string_view word;  // lower case
  // Also a release tag: a word release names carry for their audio or
  // subtitles ("German", "MULTi", "ITA").  Most three-letter codes are not
  // ("cat", "may" are title words).
  bool release_tag;
  // A word release names carry only as a tag ("TRUEFRENCH", "VOSTFR"),
  // never a title's: it ends a title without another tag after it.
  bool only_tag = false;
};

std::span<const LanguageWord> LanguageWords();

// An ISO 639-1 code ("en", "pt"), any case.
bool IsTwoLetterLanguage(std::string_view word);


}  // namespace rules
