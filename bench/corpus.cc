#include "bench/corpus.h"

#include "bench/random.h"

#include <cstdint>
#include <string_view>

namespace bench {
namespace {


constexpr std::string_view kWords[] = {
    "the", "big", "night", "of", "living", "dead", "blade", "runner", "space",
    "show", "movie", "last", "summer", "dark", "city", "lost", "river",
    "king", "queen", "a", "and", "in", "return", "ghost", "house", "story",
    "final", "cut", "secret", "world", "little", "women", "red", "planet",
    "o'brien", "mp3s", "war", "peace", "star", "trek", "doctor", "who",
    "Ärger", "im", "Büro", "café", "Škoda", "élan", "東京", "物語", "привет",
    "мир", "Ωmega", "straße", "naïve",
};
constexpr std::string_view kResolutions[] = {"480p", "576p", "720p", "1080p",
                                             "2160p", "272p", "468p"};
constexpr std::string_view kSources[] = {"BluRay", "BDRip", "DVDRip", "WEB-DL",
                                         "HDTV", "HDRip", "BRRip", "DVDSCR",
                                         "PDTV", "TVRip", "VODRip", "WEBRip"};
constexpr std::string_view kCodecs[] = {"x264", "XviD", "H264", "HEVC", "x265",
                                        "DivX", "DivX6", "AVC"};
constexpr std::string_view kAudio[] = {"AAC", "AC3", "DTS", "MP3", "DD5.1",
                                       "AAC2.0"};
constexpr std::string_view kGroups[] = {"GRP", "NOGRP", "SPARKS", "ETTV",
                                        "RARBG", "YIFY", "DHD", "FGT", "EVO"};
constexpr std::string_view kBracketTags[] = {"[rarbg]", "[720p]", "[ettv]",
                                             "(xvid)", "[HorribleTeam]",
                                             "{1337x}", "(eztv_re)", "[WS]"};
constexpr std::string_view kExtensions[] = {".mkv", ".avi", ".mp4", ".srt",
                                            ".nfo", ".m4v", ".MKV", ""};
constexpr std::string_view kSeparators[] = {".", "_", " "};

void AppendCased(std::string& out, std::string_view word, int style) {
  // Only ASCII letters change here; the UTF-8 words keep their own case.
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    bool upper = style == 1 || (style == 0 && i == 0);
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    out.push_back(c);
  }
}

std::string MessyName(Random& r, std::size_t index) {
  std::string_view sep = r.Pick(kSeparators);
  int style = r.Chance(70) ? 0 : r.Chance(50) ? 1 : 2;  // Title, UPPER, lower
  std::string name;
  if (r.Chance(15)) {
    name += r.Pick(kBracketTags);
    name += r.Chance(50) ? " " : "";
  }
  std::size_t words = 1 + r.Below(5);
  for (std::size_t w = 0; w < words; ++w) {
    if (w > 0) name += sep;
    AppendCased(name, r.Pick(kWords), style);
  }
  // The entry's own number keeps every name, and nearly every new name,
  // distinct; it is no year.
  name += sep;
  name += r.Chance(50) ? "S" : "Part";
  name += std::to_string(index);
  if (r.Chance(75)) {
    name += sep;
    std::size_t kind = r.Below(10);
    int year = kind < 7 ? 1920 + static_cast<int>(r.Below(106))  // in range
               : kind < 8 ? 1850 + static_cast<int>(r.Below(70))  // too early
                          : 2030 + static_cast<int>(r.Below(70));  // too late
    if (r.Chance(20)) {
      name += '(';
      name += std::to_string(year);
      name += ')';
    } else {
      name += std::to_string(year);
    }
  }
  if (r.Chance(60)) name += sep, name += r.Pick(kResolutions);
  if (r.Chance(60)) name += sep, name += r.Pick(kSources);
  if (r.Chance(30)) name += sep, name += r.Pick(kAudio);
  if (r.Chance(70)) {
    name += sep;
    name += r.Pick(kCodecs);
    if (r.Chance(60)) name += "-", name += r.Pick(kGroups);
  }
  if (r.Chance(15)) name += r.Pick(kBracketTags);
  name += r.Pick(kExtensions);
  return name;
}

// A name that the cleanup leaves as it is.
std::string CleanName(Random& r, std::size_t index) {
  std::string name;
  AppendCased(name, r.Pick(kWords), 0);
  name += " ";
  AppendCased(name, r.Pick(kWords), 0);
  name += " Part";
  name += std::to_string(index);
  name += " (";
  name += std::to_string(1950 + r.Below(70));
  name += ')';
  name += r.Pick(kExtensions);
  return name;
}

}  // namespace

std::vector<std::string> MessyNames(std::size_t count) {
  Random r{20240611};
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    names.push_back(r.Chance(5) ? CleanName(r, i) : MessyName(r, i));
  }
  return names;
}

}  // namespace bench
