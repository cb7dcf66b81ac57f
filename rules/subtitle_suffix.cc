#include "rules/subtitle_suffix.h"

#include <algorithm>
#include <array>

#include "rules/ascii.h"

namespace rules {
namespace {

constexpr std::array<std::string_view, 8> kExtensions = {
    ".srt", ".ass", ".ssa", ".sub", ".idx", ".vtt", ".sup", ".smi"};

// ISO 639-1, sorted.
constexpr std::string_view kTwoLetter =
    "aa ab ae af ak am an ar as av ay az ba be bg bh bi bm bn bo br bs ca ce "
    "ch co cr cs cu cv cy da de dv dz ee el en eo es et eu fa ff fi fj fo fr "
    "fy ga gd gl gn gu gv ha he hi ho hr ht hu hy hz ia id ie ig ii ik io is "
    "it iu ja jv ka kg ki kj kk kl km kn ko kr ks ku kv kw ky la lb lg li ln "
    "lo lt lu lv mg mh mi mk ml mn mr ms mt my na nb nd ne ng nl nn no nr nv "
    "ny oc oj om or os pa pi pl ps pt qu rm rn ro ru rw sa sc sd se sg si sk "
    "sl sm sn so sq sr ss st su sv sw ta te tg th ti tk tl tn to tr ts tt tw "
    "ty ug uk ur uz ve vi vo wa wo xh yi yo za zh zu";

// Three-letter codes (both the bibliographic and the terminology one where
// they differ), English names, and the flags.
constexpr std::string_view kWords[] = {
    "ara", "baq", "ben", "bul", "cat", "ces", "chi", "cze", "dan", "deu",
    "dut", "ell", "eng", "est", "eus", "fas", "fil", "fin", "fra", "fre",
    "ger", "glg", "gre", "heb", "hin", "hrv", "hun", "ice", "ind", "isl",
    "ita", "jpn", "kor", "lav", "lit", "may", "msa", "nld", "nob", "nor",
    "per", "pol", "por", "ron", "rum", "rus", "slk", "slo", "slv", "spa",
    "srp", "swe", "tam", "tel", "tgl", "tha", "tur", "ukr", "urd", "vie",
    "zho", "arabic", "basque", "bengali", "bulgarian", "catalan", "chinese",
    "croatian", "czech", "danish", "dutch", "english", "estonian", "filipino",
    "finnish", "french", "galician", "german", "greek", "hebrew", "hindi",
    "hungarian", "icelandic", "indonesian", "italian", "japanese", "korean",
    "latvian", "lithuanian", "malay", "norwegian", "persian", "polish",
    "portuguese", "romanian", "russian", "serbian", "slovak", "slovenian",
    "spanish", "swedish", "tagalog", "tamil", "telugu", "thai", "turkish",
    "ukrainian", "urdu", "vietnamese", "forced", "sdh", "cc", "hi",
    "default", "malayalam", "marathi", "kannada", "punjabi", "swahili",
    "afrikaans", "albanian", "macedonian", "bosnian", "georgian", "armenian",
    "mongolian", "khmer"};

bool IsTwoLetterCode(std::string_view w) {
  if (w.size() != 2 || !ascii::IsLetter(w[0]) || !ascii::IsLetter(w[1]))
    return false;
  const char code[2] = {ascii::AsciiLower(w[0]), ascii::AsciiLower(w[1])};
  const std::size_t at = kTwoLetter.find(std::string_view(code, 2));
  return at != std::string_view::npos && at % 3 == 0;
}

// "BR", "419", "Hans".
bool IsRegion(std::string_view r) {
  const bool letters = std::all_of(r.begin(), r.end(), ascii::IsLetter);
  const bool digits = std::all_of(r.begin(), r.end(), ascii::IsDigit);
  return (letters && (r.size() == 2 || r.size() == 4)) ||
         (digits && r.size() == 3);
}

}  // namespace

bool IsSubtitleExtension(std::string_view extension) {
  for (std::string_view e : kExtensions) {
    if (ascii::EqualsFolded(extension, e)) return true;
  }
  return false;
}

bool IsSubtitleTag(std::string_view word) {
  if (word.size() == 5 || word.size() == 6 || word.size() == 7) {
    if (word[2] == '-' && IsTwoLetterCode(word.substr(0, 2)) &&
        IsRegion(word.substr(3)))
      return true;
  }
  if (IsTwoLetterCode(word)) return true;
  if (word.size() < 3 || word.size() > 10) return false;
  for (std::string_view w : kWords) {
    if (ascii::EqualsFolded(word, w)) return true;
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
