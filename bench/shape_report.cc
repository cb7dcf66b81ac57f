// How many realistic release names "/v" and "/y /e /k" bring into the shape
// a media library wants: "Title (Year)", "Title (Year) Part 2",
// "Show S01E02", "Show (Year) S01E02", "Show S01E01-E02", "Show 2019-03-14",
// season pack folders "Show S02", anime "Show - 07", subtitles
// "Title (Year).en.srt", samples "Title (Year) sample".  Not a test and not
// timed: it generates release names (the same ones on every run) with the
// clean name each should get, runs the pipeline on them and prints the
// share that came out exactly so, by kind, and every miss (first "/y /k"
// alone, for comparison, without the list).
//
//   namewisp_shape_report [COUNT] [TERMS_FILE]
//
// COUNT names (5000 unless given); with TERMS_FILE (doc/terms.example, say)
// the run is repeated with the user's terms as well.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/random.h"
#include "rules/clean_name.h"
#include "rules/user_terms.h"

namespace {

using bench::Random;


struct Film {
  std::string_view title;
  int year;
};

// Real films, some with the pitfalls of real titles: a number or a year in
// the title, a one-word or two-letter title, UTF-8, a word that is also a
// release term.
constexpr Film kFilms[] = {
    {"The Matrix", 1999}, {"Alien", 1979}, {"Dune", 2021}, {"Oppenheimer", 2023},
    {"The Big Lebowski", 1998}, {"Blade Runner", 1982}, {"Blade Runner 2049", 2017},
    {"2001 A Space Odyssey", 1968}, {"1917", 2019}, {"2012", 2009}, {"1984", 1984},
    {"Wonder Woman 1984", 2020}, {"Apollo 13", 1995}, {"District 9", 2009},
    {"Fahrenheit 451", 2018}, {"Se7en", 1995}, {"It", 2017}, {"Us", 2019},
    {"Tenet", 2020}, {"Nope", 2022}, {"Barbie", 2023}, {"Ocean's Eleven", 2001},
    {"Wall-E", 2008}, {"Spider-Man No Way Home", 2021}, {"Top Gun Maverick", 2022},
    {"Mad Max Fury Road", 2015}, {"Everything Everywhere All at Once", 2022},
    {"The Hateful Eight", 2015}, {"Back to the Future", 1985}, {"Star Wars", 1977},
    {"Kill Bill Vol 1", 2003}, {"Harry Potter and the Deathly Hallows Part 2", 2011},
    {"Crouching Tiger Hidden Dragon", 2000}, {"Das Boot", 1981}, {"Léon", 1994},
    {"Amélie", 2001}, {"Ready Player One", 2018}, {"The Prestige", 2006},
    {"Charlotte's Web", 2006}, {"The Good German", 2006}, {"Metropolis", 1927},
    {"Casablanca", 1942}, {"Night of the Living Dead", 1968}, {"Parasite", 2019},
};

struct Show {
  std::string_view title;
  int year;  // a year the release names carry after the title, 0 for none
};

constexpr Show kShows[] = {
    {"The Walking Dead", 0}, {"Breaking Bad", 0}, {"Game of Thrones", 0},
    {"Stranger Things", 0}, {"Californication", 0}, {"Sherlock", 0},
    {"The Expanse", 0}, {"Better Call Saul", 0}, {"Fargo", 0}, {"Lost", 0},
    {"Chernobyl", 0}, {"House of the Dragon", 0}, {"The Boys", 0}, {"24", 0},
    {"The 100", 0}, {"9-1-1", 0}, {"Law and Order SVU", 0}, {"Dark", 0},
    {"Star Trek Discovery", 0}, {"Money Heist", 0}, {"Space 1999", 0},
    {"Doctor Who", 2005}, {"The Flash", 2014}, {"Battlestar Galactica", 2003},
    {"House of Cards", 2013}, {"Shameless", 2011}, {"Westworld", 0},
};

constexpr std::string_view kEpisodeTitles[] = {
    "Pilot", "Rose", "The Long Night", "Ozymandias", "Vaginatown", "Chapter One",
    "The Rains of Castamere", "Part 1", "Part 2", "Day 1", "1984", "The End",
    "Winter Is Coming", "Fly", "Blackwater", "Hush",
};
constexpr std::string_view kResolutions[] = {"480p", "720p", "1080p", "2160p"};
constexpr std::string_view kFilmSources[] = {
    "BluRay", "BDRip", "BRRip", "DVDRip", "WEB-DL", "WEBRip", "AMZN.WEB-DL",
    "NF.WEBRip", "HDRip", "REMUX", "UHD.BluRay"};
constexpr std::string_view kShowSources[] = {
    "HDTV", "WEB-DL", "WEBRip", "AMZN.WEB-DL", "NF.WEB-DL", "DSNP.WEBRip", "PDTV",
    "WEB"};
constexpr std::string_view kCodecs[] = {"x264", "x265", "XviD", "HEVC", "H264",
                                        "H.264", "AVC", "DivX"};
constexpr std::string_view kAudio[] = {"AAC", "AC3", "DTS", "DDP5.1", "AAC2.0",
                                       "DD5.1", "Atmos", "TrueHD.7.1"};
constexpr std::string_view kExtras[] = {"EXTENDED", "REMASTERED", "UNRATED",
                                        "PROPER", "REPACK", "MULTi", "10bit",
                                        "HDR", "iNTERNAL"};
constexpr std::string_view kGroups[] = {"SPARKS", "YIFY", "RARBG", "LOL", "DIMENSION",
                                        "KILLERS", "NTb", "FLUX", "EVO", "GalaxyRG",
                                        "ASAP", "0TV", "FGT", "TEPES", "DEMAND"};
constexpr std::string_view kTrailingTags[] = {"[ettv]", "[rarbg]", "[eztv]",
                                              "[YTS.MX]", "[TGx]"};
constexpr std::string_view kExtensions[] = {".mkv", ".avi", ".mp4", ".m4v"};
constexpr std::string_view kSeparators[] = {".", ".", ".", "_", " "};

enum class Kind {
  kFilm,
  kFilmPart,
  kEpisode,
  kEpisodeYear,
  kMultiEpisode,
  kDaily,
  kSeasonPack,
  kAnime,
  kSubtitle,
  kSample,
  kForm,  // one of the spellings below, reported one by one
};

constexpr std::string_view kDailyShows[] = {
    "Evening News Hour", "The Late Talk", "Morning Desk", "Night Panel Live",
    "Weekend Update Show"};
constexpr std::string_view kGuests[] = {"Jane Doe", "John Smith", "Guest", "Ann Lee"};
constexpr std::string_view kAnimeTitles[] = {
    "Blue Lantern", "Starlight Academy", "Iron Blossom", "Moonlit Harbor",
    "Sky Garden no Uta", "Koi to Hoshi", "Tensei Knight"};
constexpr std::string_view kAnimeGroups[] = {"[SubGroup]", "[Fansub-X]", "[HorribleSubs]",
                                             "[Erai-raws]", "[SubsPlease]"};
constexpr std::string_view kSubtitleLanguages[] = {"en", "de", "eng", "pt-BR",
                                                   "en.forced", "eng.sdh", "English",
                                                   "fre", "zh-Hans"};

const char* KindName(Kind k) {
  switch (k) {
    case Kind::kFilm:
      return "Title (Year)";
    case Kind::kFilmPart:
      return "Title (Year) Part 2 / CD1 (/v: - pt2)";
    case Kind::kEpisode:
      return "Show S01E02";
    case Kind::kEpisodeYear:
      return "Show (Year) S01E02";
    case Kind::kMultiEpisode:
      return "Show S01E01-E02";
    case Kind::kDaily:
      return "Show 2019-03-14";
    case Kind::kSeasonPack:
      return "Show S02 (folders)";
    case Kind::kAnime:
      return "Show - 07";
    case Kind::kSubtitle:
      return "Title (Year).en.srt";
    case Kind::kSample:
      return "Title (Year) sample";
    case Kind::kForm:
      return "other spellings, by form:";
  }
  return "";
}

struct Sample {
  std::string name;
  std::string want;
  Kind kind;
  bool directory = false;
  std::string want_v;      // what "/v" should give, when not want
  const char* form = "";   // for kForm: the spelling it was written in
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

// The words joined by sep; in the name, a title's spaces are its separators.
std::string Joined(std::string_view words, std::string_view sep) {
  std::string out;
  for (char c : words) {
    if (c == ' ') {
      out += sep;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string TwoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

// The release tags after the year or the marker: what the rules must drop.
void AppendTags(Random& r, std::string& name, std::string_view sep, bool film) {
  if (r.Chance(15)) name += sep, name += r.Pick(kExtras);
  if (r.Chance(85)) name += sep, name += r.Pick(kResolutions);
  if (r.Chance(2)) name += sep, name += "1920x1080";
  name += sep;
  name += film ? Joined(r.Pick(kFilmSources), sep)
               : Joined(r.Pick(kShowSources), sep);
  if (r.Chance(40)) name += sep, name += Joined(r.Pick(kAudio), sep);
  name += sep;
  name += Joined(r.Pick(kCodecs), sep);
  if (r.Chance(80)) name += "-", name += r.Pick(kGroups);
  if (r.Chance(20)) name += r.Pick(kTrailingTags);
}

Sample FilmSample(Random& r) {
  const Film& film = r.Pick(kFilms);
  const std::string_view sep = r.Pick(kSeparators);
  const bool lower = r.Chance(10);
  std::string title = lower ? Lower(film.title) : std::string(film.title);
  Sample s;
  s.kind = Kind::kFilm;
  const std::string year = std::to_string(film.year);
  s.name = Joined(title, sep);
  if (r.Chance(15)) {
    s.name += " (" + year + ")";  // already bracketed, tags after it
  } else {
    s.name += sep;
    s.name += year;
  }
  s.want = title + " (" + year + ")";
  if (r.Chance(12)) {
    // One of several files of the film.
    s.kind = Kind::kFilmPart;
    const int n = 1 + static_cast<int>(r.Below(3));
    std::string marker;
    static constexpr std::string_view kRoman[] = {"I", "II", "III"};
    switch (r.Below(4)) {
      case 0:
        marker = "CD" + std::to_string(n);
        break;
      case 1:
        marker = "Part" + std::string(sep) + std::to_string(n);
        break;
      case 2:
        marker = "Disc" + std::string(sep) + std::to_string(n);
        break;
      default:
        marker = "Pt" + std::string(sep) + std::string(kRoman[n - 1]);
        break;
    }
    if (lower) marker = Lower(marker);
    // Tags before the marker too, now and then: "Movie.2010.XviD.CD1".
    if (r.Chance(30)) s.name += sep, s.name += r.Pick(kCodecs);
    s.name += sep;
    s.name += marker;
    std::string written = marker;
    for (char& c : written) {
      if (c == '.' || c == '_') c = ' ';
    }
    s.want += " " + written;
    s.want_v = std::string(title) + " (" + year + ") - pt" + std::to_string(n);
  }
  AppendTags(r, s.name, sep, true);
  const std::string_view ext = r.Pick(kExtensions);
  s.name += ext;
  s.want += ext;
  if (!s.want_v.empty()) s.want_v += ext;
  return s;
}

// The spellings of marks, dates, parts and titles that the one reading of
// a name knows, each with what "/v" gives: "%S" and "%E" stand for a
// season and an episode of two digits, "%s" and "%e" for the same without
// the leading zero, "%F" for the episode after %E, "%Y" for a year and
// "%y" for its last two digits.
constexpr struct {
  const char* label;
  const char* name;
  const char* want;
} kForms[] = {
    {"S006E018 (3 digits)", "Show.S0%SE0%E.720p.HDTV.x264-GRP", "Show S%SE%E"},
    {"S01.E.02 (split)", "Show.S%S.E.%E.720p", "Show S%SE%E"},
    {"S01 - E02", "Show S%S - E%E 720p", "Show S%SE%E"},
    {"Season 1 - Episode 2", "Show Season %s - Episode %E 720p", "Show S%SE%E"},
    {"Season.1.E02", "Show.Season.%s.E%E.x264", "Show S%SE%E"},
    {"S1-E1", "Show.S%s-E%e.720p", "Show S%SE%E"},
    {"Temporada 4 Capitulo 3", "Show.Temporada.%s.Capitulo.%e.HDTV", "Show S%SE%E"},
    {"Staffel 2 Folge 5", "Show.Staffel.%s.Folge.%e.German.720p", "Show S%SE%E"},
    {"1x1 (one digit)", "Show.%sx%e.HDTV", "Show S%SE%E"},
    {"S01E01-E03 runs", "Show.S%SE%E-%F.720p", "Show S%SE%E-E%F"},
    {"S03E21.22", "Show.S%SE%E.%F.720p", "Show S%SE%E-E%F"},
    {"S01E01+E02", "Show.S%SE%E+E%F.720p", "Show S%SE%E-E%F"},
    {"S2 - 11 (anime)", "[Grp] Show S%s - %E [1080p]", "Show S%SE%E"},
    {"2nd Season - 12", "[Grp] Show %snd Season - %E [1080p]", "Show S%SE%E"},
    {"- Episode 05", "Show - Episode %E [1080p]", "Show - %E"},
    {"07 [1080p]", "Show %E [1080p][ABCD1234]", "Show - %E"},
    {"- 12.5 (half)", "[Grp] Show - %E.5 [1080p]", "Show - %E.5"},
    {"Part after episode", "Show.S%SE%E.Part.%e.720p", "Show S%SE%E - pt%e"},
    {"CD after episode", "Show.S%SE%E.CD%e.720p", "Show S%SE%E - pt%e"},
    {"date and episode", "Show 2016 02 25 S%SE%E 720p", "Show S%SE%E"},
    {"DD.MM.YYYY", "News.2%e.03.%Y.720p", "News %Y-03-2%e"},
    {"YYYYMMDD", "News.%Y03%F.720p", "News %Y-03-%F"},
    {"16 November 2016", "News.%F.November.%Y.720p", "News %Y-11-%F"},
    {"DD-MM-YYYY (one word)", "News.2%e-03-%Y.720p", "News %Y-03-2%e"},
    {"YYMMDD after a title", "Show.%y03%F.Guest.720p.HDTV.x264-GRP", "Show %Y-03-%F"},
    {"Ep10718 - Ep10722", "Show.Ep107%E.-.Ep107%F.720p", "Show - 107%E-107%F"},
    {"S01 ... E05", "Show.S%S.1080p.E%E.x264", "Show S%SE%E"},
    {"(YYYY.MM.DD)", "News (%Y.03.%F)", "News %Y-03-%F"},
    {"year-first bracket", "[Taxi %Y] [BDRemux 1080p]", "Taxi (%Y)"},
    {"featurette", "Film.%Y.Featurette.Making.It.1080p", "Film (%Y) - Making It-featurette"},
    {"size after year", "Film (%Y) 1080p - 1.1GB - x264", "Film (%Y)"},
    {"tidy version suffix", "Film (%Y) - 1080p BluRay", "Film (%Y) - 1080p BluRay"},
    {"media-server id", "Film (%Y) [imdbid-tt0443706]", "Film (%Y) [imdbid-tt0443706]"},
};

std::string Filled(std::string_view pattern, int season, int episode, int year) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      out.push_back(pattern[i]);
      continue;
    }
    switch (pattern[++i]) {
      case 'S': out += TwoDigits(season); break;
      case 's': out += std::to_string(season); break;
      case 'E': out += TwoDigits(episode); break;
      case 'e': out += std::to_string(episode); break;
      case 'F': out += TwoDigits(episode + 1); break;
      case 'Y': out += std::to_string(year); break;
      case 'y': out += TwoDigits(year % 100); break;
      default: out.push_back(pattern[i]);
    }
  }
  return out;
}

Sample FormSample(Random& r) {
  const auto& form = r.Pick(kForms);
  const int season = 1 + static_cast<int>(r.Below(9));
  const int episode = 1 + static_cast<int>(r.Below(9));
  const int year = 1990 + static_cast<int>(r.Below(30));
  Sample s;
  s.kind = Kind::kForm;
  s.form = form.label;
  s.name = Filled(form.name, season, episode, year) + ".mkv";
  s.want = Filled(form.want, season, episode, year) + ".mkv";
  return s;
}

Sample EpisodeSample(Random& r) {
  const Show& show = r.Pick(kShows);
  const std::string_view sep = r.Pick(kSeparators);
  const bool lower = r.Chance(15);
  std::string title = lower ? Lower(show.title) : std::string(show.title);
  const std::size_t form = r.Below(10);
  const bool multi = r.Chance(8);
  const int season = 1 + static_cast<int>(r.Below(r.Chance(90) ? 9 : 30));
  // Up to 120 in the S form, up to 98 in the x form (two digits, and one
  // more for a second episode).
  const int episode =
      1 + static_cast<int>(r.Below(r.Chance(90) ? 24 : form < 8 ? 120 : 98));
  std::string marker;
  std::string want_marker = "S" + TwoDigits(season) + "E" + TwoDigits(episode);
  const std::string next = TwoDigits(episode + 1);
  if (form < 6) {  // S01E02, S01E02E03, S01E02-E03
    marker = "S" + TwoDigits(season) + "E" + TwoDigits(episode);
    if (multi) {
      static constexpr std::string_view kJoins[] = {"E", "-E", "-", "S", "E"};
      const std::string_view join = r.Pick(kJoins);
      if (join == "S") {  // S03E01.S03E02
        marker += std::string(sep) + "S" + TwoDigits(season) + "E" + next;
      } else if (r.Chance(20)) {  // S02E09.E10
        marker += std::string(sep) + "E" + next;
      } else {
        marker += std::string(join) + next;
      }
    }
    if (lower) marker = Lower(marker);
  } else if (form < 7) {  // s1e2
    marker = "s" + std::to_string(season) + "e" + std::to_string(episode);
  } else if (form < 8) {  // S01.E02, S01EP02, S6.Ep5
    static constexpr std::string_view kSplits[] = {"S01.E02", "S01EP02", "S1.Ep2",
                                                   "S01 E02"};
    const std::string_view split = r.Pick(kSplits);
    const bool wide = split[1] == '0';
    marker = "S" + (wide ? TwoDigits(season) : std::to_string(season));
    if (split.find('.') != std::string_view::npos) marker += sep;
    if (split.find(' ') != std::string_view::npos) marker += sep;
    marker += split.find("EP") != std::string_view::npos   ? "EP"
              : split.find("Ep") != std::string_view::npos ? "Ep"
                                                           : "E";
    marker += wide ? TwoDigits(episode) : std::to_string(episode);
  } else {  // 1x02, 01x02
    marker = (r.Chance(70) ? std::to_string(season) : TwoDigits(season)) + "x" +
             TwoDigits(episode);
    if (multi) marker += r.Chance(50) ? "-" + next : "-" + std::to_string(season) + "x" + next;
  }
  const bool is_multi = multi && (form < 6 || form >= 8);
  if (is_multi) want_marker += "-E" + next;

  Sample s;
  s.kind = is_multi ? Kind::kMultiEpisode
           : show.year ? Kind::kEpisodeYear : Kind::kEpisode;
  s.name = Joined(title, sep);
  s.want = title;
  if (show.year) {
    s.name += sep;
    s.name += std::to_string(show.year);
    s.want += " (" + std::to_string(show.year) + ")";
  }
  s.name += sep;
  s.name += marker;
  s.want += " " + want_marker;
  if (r.Chance(45)) {
    std::string episode_title(r.Pick(kEpisodeTitles));
    if (lower) episode_title = Lower(episode_title);
    s.name += sep;
    s.name += Joined(episode_title, sep);
    // "/v" keeps a part, and a number it does not place with its word.
    if (episode_title.ends_with(" 1") || episode_title.ends_with(" 2")) {
      s.want_v = s.want + (episode_title.starts_with("Day") || episode_title.starts_with("day")
                               ? " " + episode_title
                               : " - pt" + episode_title.substr(episode_title.size() - 1));
    }
  }
  AppendTags(r, s.name, sep, false);
  const std::string_view ext = r.Pick(kExtensions);
  s.name += ext;
  s.want += ext;
  if (!s.want_v.empty()) s.want_v += ext;
  return s;
}

Sample DailySample(Random& r) {
  const std::string_view sep = r.Pick(kSeparators);
  const std::string title(r.Pick(kDailyShows));
  const std::string date = std::to_string(2015 + r.Below(10)) + "-" +
                           TwoDigits(1 + static_cast<int>(r.Below(12))) + "-" +
                           TwoDigits(1 + static_cast<int>(r.Below(28)));
  Sample s;
  s.kind = Kind::kDaily;
  s.name = Joined(title, sep);
  s.name += sep;
  s.name += r.Chance(70) ? Joined(std::string(date).replace(4, 1, " ").replace(7, 1, " "), sep)
                         : date;
  if (r.Chance(60)) s.name += sep, s.name += Joined(r.Pick(kGuests), sep);
  AppendTags(r, s.name, sep, false);
  const std::string_view ext = r.Pick(kExtensions);
  s.name += ext;
  s.want = title + " " + date + std::string(ext);
  return s;
}

Sample SeasonPackSample(Random& r) {
  const Show& show = r.Pick(kShows);
  const std::string_view sep = r.Pick(kSeparators);
  const int season = 1 + static_cast<int>(r.Below(12));
  Sample s;
  s.kind = Kind::kSeasonPack;
  s.directory = true;
  s.name = Joined(show.title, sep);
  s.want = std::string(show.title);
  if (show.year) {
    s.name += sep, s.name += std::to_string(show.year);
    s.want += " (" + std::to_string(show.year) + ")";
  }
  s.name += sep;
  s.name += r.Chance(70) ? "S" + TwoDigits(season)
                         : "Season" + std::string(sep) + std::to_string(season);
  if (r.Chance(30)) s.name += sep, s.name += "COMPLETE";
  AppendTags(r, s.name, sep, false);
  s.want += " S" + TwoDigits(season);
  return s;
}

Sample AnimeSample(Random& r) {
  const std::string title(r.Pick(kAnimeTitles));
  const int episode = 1 + static_cast<int>(r.Below(r.Chance(90) ? 26 : 1100));
  const std::string number =
      episode < 10 ? TwoDigits(episode) : std::to_string(episode);
  Sample s;
  s.kind = Kind::kAnime;
  s.name = std::string(r.Pick(kAnimeGroups)) + " " + title + " - " + number;
  if (r.Chance(10)) s.name += "v2";
  static constexpr std::string_view kTails[] = {
      " [1080p][ABCD1234]", " (1080p) [0F1E2D3C]", " [720p]", " [1080p HEVC x265 10bit]",
      " [BD 1080p FLAC] [12345678]", ""};
  s.name += r.Pick(kTails);
  s.name += ".mkv";
  s.want = title + " - " + number + ".mkv";
  return s;
}

Sample SubtitleSample(Random& r) {
  Sample s = r.Chance(50) ? FilmSample(r) : EpisodeSample(r);
  const std::size_t period = s.name.rfind('.');
  const std::size_t want_period = s.want.rfind('.');
  const std::string language = "." + std::string(r.Pick(kSubtitleLanguages));
  const std::string ext = r.Chance(80) ? ".srt" : ".ass";
  s.name = s.name.substr(0, period) + language + ext;
  s.want = s.want.substr(0, want_period) + language + ext;
  if (!s.want_v.empty())
    s.want_v = s.want_v.substr(0, s.want_v.rfind('.')) + language + ext;
  s.kind = Kind::kSubtitle;
  return s;
}

Sample SampleSample(Random& r) {
  const Film& film = r.Pick(kFilms);
  const std::string_view sep = r.Pick(kSeparators);
  const std::string year = std::to_string(film.year);
  Sample s;
  s.kind = Kind::kSample;
  s.name = Joined(film.title, sep);
  s.name += sep;
  s.name += year;
  const bool glued = r.Chance(40);
  if (!glued) s.name += sep, s.name += "sample";
  AppendTags(r, s.name, sep, true);
  if (glued) s.name += "-sample";
  s.name += ".mkv";
  s.want = std::string(film.title) + " (" + year + ") sample.mkv";
  return s;
}

std::vector<Sample> Samples(std::size_t count) {
  Random r{20250101};
  std::vector<Sample> samples;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t pick = r.Below(100);
    samples.push_back(pick < 40   ? FilmSample(r)
                      : pick < 75 ? EpisodeSample(r)
                      : pick < 80 ? DailySample(r)
                      : pick < 85 ? SeasonPackSample(r)
                      : pick < 92 ? AnimeSample(r)
                      : pick < 97 ? SubtitleSample(r)
                                  : SampleSample(r));
  }
  // And a fifth more in the spellings of kForms.
  for (std::size_t i = 0; i < count / 5; ++i) samples.push_back(FormSample(r));
  return samples;
}

// Runs the pipeline over the samples; prints the figures and the misses.
std::size_t Report(const std::vector<Sample>& samples,
                   const rules::NameRules& rules, const char* title,
                   bool list_misses = true) {
  std::map<Kind, std::pair<std::size_t, std::size_t>> by_kind;  // hits, all
  std::map<std::string, std::pair<std::size_t, std::size_t>> by_form;
  std::vector<std::pair<const Sample*, std::string>> misses;
  for (const Sample& s : samples) {
    const std::string got = rules::CleanName(s.name, rules, s.directory).name;
    const std::string& want =
        rules.video_rule && !s.want_v.empty() ? s.want_v : s.want;
    auto& [hits, all] = by_kind[s.kind];
    ++all;
    auto& form = by_form[s.form];
    ++form.second;
    if (got == want) {
      ++hits;
      ++form.first;
    } else {
      misses.emplace_back(&s, got);
    }
  }
  const std::size_t hits = samples.size() - misses.size();
  std::printf("== %s\n", title);
  std::printf("%zu of %zu names in the expected shape (%.1f%%)\n", hits,
              samples.size(), 100.0 * static_cast<double>(hits) /
                                  static_cast<double>(samples.size()));
  for (const auto& [kind, counts] : by_kind) {
    std::printf("  %-36s %5zu of %5zu\n", KindName(kind), counts.first,
                counts.second);
  }
  for (const auto& [form, counts] : by_form) {
    if (form.empty()) continue;
    std::printf("    %-34s %5zu of %5zu\n", form.c_str(), counts.first,
                counts.second);
  }
  if (!list_misses) {
    std::printf("\n");
    return hits;
  }
  // Each distinct miss once, with how often it came.
  std::map<std::pair<std::string, std::string>, std::pair<std::string, int>> distinct;
  for (const auto& [sample, got] : misses) {
    const std::string& want =
        rules.video_rule && !sample->want_v.empty() ? sample->want_v : sample->want;
    auto& entry = distinct[{want, got}];
    if (entry.second++ == 0) entry.first = sample->name;
  }
  if (!misses.empty()) {
    std::printf("misses (%zu, %zu distinct): name\n    got    / wanted\n",
                misses.size(), distinct.size());
  }
  for (const auto& [key, entry] : distinct) {
    std::printf("  %s%s\n    got    %s\n    wanted %s\n", entry.first.c_str(),
                entry.second > 1 ? (" (x" + std::to_string(entry.second) + ")").c_str()
                                 : "",
                key.second.c_str(), key.first.c_str());
  }
  std::printf("\n");
  return hits;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 5000;
  if (argc > 1) count = std::strtoul(argv[1], nullptr, 10);
  if (count == 0 || argc > 3) {
    std::fprintf(stderr, "usage: namewisp_shape_report [COUNT] [TERMS_FILE]\n");
    return 2;
  }
  const std::vector<Sample> samples = Samples(count);
  rules::NameRules rules;
  rules.highest_year = 2026;
  rules.video_rule = true;
  Report(samples, rules, "/v");
  rules.video_rule = false;
  rules.year_rule = rules.term_rule = true;
  Report(samples, rules, "/y /k, for comparison (no misses listed)", false);
  rules.episode_rule = true;
  Report(samples, rules, "/y /e /k", false);
  if (argc == 3) {
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "namewisp_shape_report: cannot read %s\n", argv[2]);
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    const rules::TermsFile file = rules::ParseTermsFile(text.str());
    for (const rules::TermsFileError& e : file.errors)
      std::fprintf(stderr, "%s:%d: %s\n", argv[2], e.line, e.problem.c_str());
    if (!file.ok()) return 2;
    rules.user_terms = &file.terms;
    const std::string title = std::string("/y /e /k with ") + argv[2];
    Report(samples, rules, title.c_str());
  }
  return 0;
}
