#include "rules/library_layout.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "rules/ascii.h"
#include "rules/release_name.h"
#include "rules/side_files.h"
#include "text/case.h"

namespace rules {
namespace {

// A film's extras by the suffix "/v" gives them, and the folder inside the
// film's that media servers look in for them; also, the other name a
// download may give that folder ("Extras" holds what no other folder names:
// featurettes, for the servers that read only their own folders' names).
constexpr struct {
  std::string_view suffix;
  std::string_view folder;
  std::string_view also = {};
} kExtraFolders[] = {
    {"featurette", "Featurettes", "Extras"},
    {"deleted", "Deleted Scenes"},
    {"behindthescenes", "Behind The Scenes"},
    {"interview", "Interviews"},
    {"trailer", "Trailers"},
    {"short", "Shorts"},
    {"scene", "Scenes"},
};

// The side words that make a video a sample or a trailer of the film its
// base names ("Film-sample.mkv", "Film.trailer.mkv").
constexpr std::string_view kSampleSides[] = {"-sample", ".sample"};
constexpr std::string_view kTrailerSide = ".trailer";

constexpr const char* kNoMark =
    "no year or episode mark to file it by, left where it is";
constexpr const char* kSeasonOnly =
    "a season without an episode to file it by, left where it is";
constexpr const char* kNoTitle = "no title to file it by, left where it is";

bool StartsWithFolded(std::string_view s, std::string_view with) {
  return s.size() >= with.size() &&
         text::AsciiLowerForm(s.substr(0, with.size())) ==
             text::AsciiLowerForm(with);
}

// The extra's folder for the word of base that ends in "-suffix" ("(2008)
// -trailer", "Uncovered-featurette"): its last word, or the one before a
// version suffix (" - 1080p").  base keeps what comes before the suffix,
// after what follows it.
std::string_view ExtraOf(std::string_view& base, std::string_view& after) {
  const std::size_t version = base.rfind(" - ");
  for (const std::size_t end : {base.size(), version}) {
    if (end == std::string_view::npos || end == 0) continue;
    const std::size_t space = base.rfind(' ', end - 1);
    const std::size_t from = space == std::string_view::npos ? 0 : space + 1;
    const std::string_view word = base.substr(from, end - from);
    const std::size_t dash = word.rfind('-');
    if (dash == std::string_view::npos || dash == 0) continue;
    for (const auto& e : kExtraFolders) {
      if (!ascii::EqualsFolded(word.substr(dash + 1), e.suffix)) continue;
      after = base.substr(end);
      base = base.substr(0, from + dash);
      return e.folder;
    }
  }
  return {};
}

std::string SeasonFolder(int season) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "Season %02d", season);
  return buffer;
}

// The title as the final name writes it: base begins with the title read,
// in the case "/m" gave the whole name after the reading; where "/m" changed
// a letter's length in bytes, as read.
std::string_view TitleAsWritten(std::string_view title, std::string_view base) {
  if (base.size() < title.size()) return title;
  for (std::size_t i = 0; i < title.size(); ++i) {
    const char a = title[i], b = base[i];
    const bool same = static_cast<unsigned char>(a) >= 0x80
                          ? static_cast<unsigned char>(b) >= 0x80
                          : text::AsciiLower(a) == text::AsciiLower(b);
    if (!same) return title;
  }
  return base.substr(0, title.size());
}

}  // namespace

LibraryPlace PlaceInLibrary(const Reading& video, std::string_view final_name,
                            const NameRules& rules) {
  LibraryPlace place;
  const SideSplit side = SplitSideName(final_name);
  if (video.form == NameForm::kPlain && side.is_side && !side.own_is_extension &&
      !side.base.empty()) {
    NameRules reading = rules;
    reading.video_rule = reading.keep_reading = true;
    // Read as a video's name, so that no period in it is taken for an
    // extension's.
    const CleanedName named = CleanName(std::string(side.base) + ".mkv", reading);
    if (named.reading && named.reading->form != NameForm::kPlain)
      return PlaceInLibrary(*named.reading, final_name, rules);
  }
  if (side.base.empty() || video.form == NameForm::kPlain) {
    place.why = kNoMark;
    return place;
  }
  if (video.form == NameForm::kSeason) {
    place.why = kSeasonOnly;
    return place;
  }
  if (video.title.empty()) {
    place.why = kNoTitle;
    return place;
  }
  std::string_view base = side.base;
  std::string_view own = side.own;  // what follows the video's name
  const std::string_view extension = own.substr(own.rfind('.'));
  // The title as the final name writes it (in the case "/m" gave it).
  const std::string_view title = TitleAsWritten(video.title, base);

  if (video.form == NameForm::kFilm) {
    // A video that names another as a side file does: a sample or trailer.
    bool sample = ascii::EqualsFolded(video.sample, "sample"), trailer = false;
    if (IsVideoExtension(extension) && side.is_side) {
      for (std::string_view s : kSampleSides)
        sample = sample || StartsWithFolded(own, s);
      trailer = StartsWithFolded(own, kTrailerSide);
    }
    std::string_view after;  // a version suffix behind an extra's word
    std::string_view extra = ExtraOf(base, after);
    if (trailer && extra.empty()) extra = "Trailers";
    place.kind = LibraryKind::kFilm;
    place.title.assign(title).append(" (").append(video.year).append(")");
    place.name = std::string(final_name);
    if (sample) {
      place.name = place.title + "-sample" + std::string(extension);
    } else if (!extra.empty()) {
      place.inside = extra;
      // The extra's own words: those after " - " behind the year.
      const std::string year = "(" + video.year + ") - ";
      const std::size_t at = base.find(year, title.size());
      if (at != std::string_view::npos && at + year.size() < base.size())
        place.name.assign(base.substr(at + year.size())).append(after).append(own);
      else if (trailer)
        place.name = place.title + "-trailer" + std::string(extension);
    }
    return place;
  }
  if (video.form != NameForm::kEpisode && video.form != NameForm::kDaily &&
      video.form != NameForm::kAnime) {
    place.why = kNoMark;
    return place;
  }
  place.kind = LibraryKind::kShow;
  place.title.assign(title);
  place.year = video.year;
  if (video.form == NameForm::kEpisode) place.inside = SeasonFolder(video.season);
  // A daily show's season is its date's year ("2019-03-14").
  if (video.form == NameForm::kDaily)
    place.inside = "Season " + video.written_mark.substr(0, video.written_mark.find('-'));
  place.name = std::string(final_name);
  return place;
}

FolderKey KeyOfFolder(std::string_view name) {
  FolderKey key;
  std::string words;  // the name without its tags, in lower case
  words.reserve(name.size());
  key.letters.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const char close = c == '{' ? '}' : c == '[' ? ']' : '\0';
    if (close) {
      const std::size_t end = name.find(close, i);
      if (end != std::string_view::npos) {
        i = end;
        continue;
      }
    }
    // "(2005)": the year, apart from the letters.
    if (c == '(' && i + 5 < name.size() && name[i + 5] == ')' &&
        IsYearWord(name.substr(i + 1, 4), 9999)) {
      key.year.assign(name.substr(i + 1, 4));
      i += 5;
      continue;
    }
    words.push_back(text::AsciiLower(c));
  }
  for (const char c : words)
    if (ascii::IsLetter(c) || ascii::IsDigit(c) ||
        static_cast<unsigned char>(c) >= 0x80)
      key.letters.push_back(c);
  // A season folder by its number: "season02" and "season2" are one.
  std::string_view letters = key.letters;
  if (letters == "specials") return {"season0", key.year};
  if (letters.starts_with("season") && letters.size() > 6 &&
      letters.find_first_not_of("0123456789", 6) == std::string_view::npos) {
    const std::size_t digits = letters.find_first_not_of('0', 6);
    key.letters = "season" + std::string(digits == std::string_view::npos
                                             ? "0"
                                             : letters.substr(digits));
  }
  return key;
}

FolderMatch MatchFolder(std::string_view own,
                        std::span<const std::string> existing) {
  if (existing.empty()) return {std::string(own), {}};  // a title new here
  const std::string lower = text::AsciiLowerForm(own);
  for (const std::string& folder : existing)
    if (text::AsciiLowerForm(folder) == lower) return {folder, {}};
  const FolderKey key = KeyOfFolder(own);
  if (key.letters.empty()) return {std::string(own), {}};
  // Those of the same letters: whose year is the name's (or neither has
  // one), and the others whose year does not disagree.
  std::vector<const std::string*> same, loose;
  std::size_t titled = 0;
  for (const std::string& folder : existing) {
    const FolderKey k = KeyOfFolder(folder);
    if (k.letters != key.letters) continue;
    ++titled;
    if (k.year == key.year)
      same.push_back(&folder);
    else if (k.year.empty() || key.year.empty())
      loose.push_back(&folder);
  }
  const std::vector<const std::string*>& found = same.empty() ? loose : same;
  if (found.size() > 1) return {*found[0], *found[1]};
  if (found.size() == 1 && (!same.empty() || titled == 1)) return {*found[0], {}};
  return {std::string(own), {}};
}

namespace {

// The name's words of letters and digits, in lower case.
std::vector<std::string> LowerWords(std::string_view name) {
  std::vector<std::string> words(1);
  for (const char c : name) {
    if (ascii::IsLetter(c) || ascii::IsDigit(c) ||
        static_cast<unsigned char>(c) >= 0x80)
      words.back().push_back(text::AsciiLower(c));
    else if (!words.back().empty())
      words.emplace_back();
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

}  // namespace

bool BeginsWithTitle(std::string_view name, std::string_view title) {
  const std::vector<std::string> words = LowerWords(name);
  const std::vector<std::string> of = LowerWords(title);
  return !of.empty() && of.size() <= words.size() &&
         std::equal(of.begin(), of.end(), words.begin());
}

int SeasonOfFolder(std::string_view name) {
  const std::string letters = KeyOfFolder(name).letters;
  if (!letters.starts_with("season") || letters.size() == 6 ||
      letters.size() > 10 ||
      letters.find_first_not_of("0123456789", 6) != std::string::npos)
    return -1;
  return std::stoi(letters.substr(6));
}

std::string_view ExtraOfFolder(std::string_view name) {
  const std::string letters = KeyOfFolder(name).letters;
  for (const auto& e : kExtraFolders) {
    if (KeyOfFolder(e.folder).letters == letters) return e.suffix;
    // The other name, in the singular too ("Extra").
    const std::string also = KeyOfFolder(e.also).letters;
    if (!also.empty() && (also == letters || also == letters + "s"))
      return e.suffix;
  }
  return {};
}

std::string OwnTitleFolder(const LibraryPlace& place) {
  return place.kind == LibraryKind::kShow && !place.year.empty()
             ? place.title + " (" + place.year + ")"
             : place.title;
}

void AddTitleTags(LibraryPlace& place, std::string_view id_tag,
                  std::string_view edition, MediaServer server) {
  if (place.kind != LibraryKind::kFilm || !place.inside.empty() ||
      !place.name.starts_with(place.title) ||
      place.name.compare(place.title.size(), 7, "-sample") == 0)
    return;
  std::string words;
  if (!id_tag.empty()) words.append(" ").append(id_tag);
  std::string rest = place.name.substr(place.title.size());
  if (!edition.empty()) {
    words.append(" ").append(EditionTag(server, edition));
    // An edition is no version besides.
    std::string version = " - " + std::string(edition);
    for (char& c : version) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    if (rest.size() > version.size() &&
        ascii::StartsFolded(rest, version))
      rest.erase(0, version.size());
  }
  place.name = place.title + words + rest;
}

}  // namespace rules
