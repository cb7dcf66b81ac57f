#include "rules/languages.h"

#include "rules/ascii.h"

namespace rules {
namespace {

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

constexpr LanguageWord kWords[] = {
    // Three-letter codes (both the bibliographic and the terminology one
    // where they differ).
    {"ara", false}, {"baq", false}, {"ben", false}, {"bul", false},
    {"cat", false}, {"ces", false}, {"chi", false}, {"cze", false},
    {"dan", false}, {"deu", false}, {"dut", false}, {"ell", false},
    {"eng", false}, {"est", false}, {"eus", false}, {"fas", false},
    {"fil", false}, {"fin", false}, {"fra", false}, {"fre", false},
    {"ger", false}, {"glg", false}, {"gre", false}, {"heb", false},
    {"hin", false}, {"hrv", false}, {"hun", false}, {"ice", false},
    {"ind", false}, {"isl", false}, {"ita", true},  {"jpn", false},
    {"kor", false}, {"lav", false}, {"lit", false}, {"may", false},
    {"msa", false}, {"nld", false}, {"nob", false}, {"nor", false},
    {"per", false}, {"pol", false}, {"por", false}, {"ron", false},
    {"rum", false}, {"rus", true},  {"slk", false}, {"slo", false},
    {"slv", false}, {"spa", false}, {"srp", false}, {"swe", false},
    {"tam", false}, {"tel", false}, {"tgl", false}, {"tha", false},
    {"tur", false}, {"ukr", false}, {"urd", false}, {"vie", false},
    {"zho", false},
    // Two-letter codes release names carry as tags.
    {"pl", true},
    // English names.
    {"arabic", true}, {"basque", false}, {"bengali", false},
    {"bulgarian", true}, {"catalan", false}, {"chinese", true},
    {"croatian", true}, {"czech", true}, {"danish", true}, {"dutch", true},
    {"english", true}, {"estonian", true}, {"filipino", false},
    {"finnish", true}, {"french", true}, {"galician", false},
    {"german", true}, {"greek", true}, {"hebrew", true}, {"hindi", true},
    {"hungarian", true}, {"icelandic", true}, {"indonesian", false},
    {"italian", true}, {"japanese", true}, {"korean", true},
    {"latvian", false}, {"lithuanian", false}, {"malay", false},
    {"norwegian", true}, {"persian", true}, {"polish", true},
    {"portuguese", true}, {"romanian", true}, {"russian", true},
    {"serbian", true}, {"slovak", true}, {"slovenian", true},
    {"spanish", true}, {"swedish", true}, {"tagalog", false},
    {"tamil", true}, {"telugu", true}, {"thai", true}, {"turkish", true},
    {"ukrainian", true}, {"urdu", false}, {"vietnamese", true},
    {"malayalam", true}, {"marathi", false}, {"kannada", true},
    {"punjabi", false}, {"swahili", false}, {"afrikaans", false},
    {"albanian", false}, {"macedonian", false}, {"bosnian", false},
    {"georgian", false}, {"armenian", false}, {"mongolian", false},
    {"khmer", false},
    // Words of release names only.
    {"castellano", true}, {"latino", true}, {"nordic", true},
    {"truefrench", true, true}, {"subfrench", true, true},
    {"vff", true, true}, {"vfq", true, true}, {"vostfr", true, true},
    {"multi", true, true}, {"multisubs", true, true},
};

}  // namespace

std::span<const LanguageWord> LanguageWords() { return kWords; }

bool IsTwoLetterLanguage(std::string_view w) {
  if (w.size() != 2 || !ascii::IsLetter(w[0]) || !ascii::IsLetter(w[1]))
    return false;
  const char code[2] = {ascii::AsciiLower(w[0]), ascii::AsciiLower(w[1])};
  const std::size_t at = kTwoLetter.find(std::string_view(code, 2));
  return at != std::string_view::npos && at % 3 == 0;
}

}  // namespace rules
