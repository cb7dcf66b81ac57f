#include "rules/download_folder.h"

#include <cstdio>
#include <string>
#include <unordered_map>

#include "rules/ascii.h"
#include "rules/file_kinds.h"
#include "rules/library_layout.h"
#include "rules/reading.h"
#include "rules/side_files.h"
#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/version_suffix.h"

namespace rules {
namespace {

constexpr std::string_view kSubtitleFolders[] = {"subs", "subtitles"};

constexpr const char* kNoVideo =
    "matches no video of the download, and it holds more than one: left "
    "where it is";
constexpr const char* kNoVideoAtAll =
    "the download holds no video to go with: left where it is";
constexpr const char* kSameName =
    "another file of the download would get that name too, left where it is";
constexpr const char* kNoFilm =
    "an extra, and the download's name names no film: left where it is";
constexpr const char* kNotSubtitle =
    "not a subtitle, in the subtitle folder: left where it is";

bool IsSeparator(char c) { return c == '.' || c == '_' || c == ' ' || c == '-'; }

// The language and flag words that end a subtitle's stem ("2_English",
// "Show.S01E02.eng.forced"), as written, joined by periods; and the stem
// before them.
std::string TagsOf(std::string_view stem, std::string_view& before) {
  std::vector<std::string_view> tags;
  std::size_t end = stem.size();
  while (tags.size() < 3 && end > 0) {
    // A word ends at a period, an underscore or a space; at a hyphen only
    // where the whole is no tag ("pt-BR" is one).
    std::size_t start = end;
    while (start > 0 && !IsSeparator(stem[start - 1])) --start;
    while (start > 0 && stem[start - 1] == '-') {
      std::size_t wider = start - 1;
      while (wider > 0 && !IsSeparator(stem[wider - 1])) --wider;
      if (!IsSubtitleTag(stem.substr(wider, end - wider))) break;
      start = wider;
    }
    std::string_view word = stem.substr(start, end - start);
    if (word.empty() || !IsSubtitleTag(word)) break;
    tags.insert(tags.begin(), word);
    end = start;
    while (end > 0 && IsSeparator(stem[end - 1])) --end;
  }
  before = stem.substr(0, end);
  std::string joined;
  for (std::string_view t : tags) joined.append(".").append(t);
  return joined;
}

std::string_view StemOf(std::string_view name) {
  return name.substr(0, name.size() - SplitName(name).extension.size());
}

// What a download's own name says of its files: the title a show's or
// film's library name starts with ("Show", "Show (2005)", "Film (2010)"),
// whether it is a film's, and a season pack's season.
struct NameFacts {
  std::string title;  // "" where the name gives none
  bool film = false;
  int season = -1;
};

NameFacts FactsOf(const CleanedName& own) {
  NameFacts facts;
  if (!own.reading || own.reading->title.empty()) return facts;
  const Reading& r = *own.reading;
  facts.film = r.form == NameForm::kFilm;
  facts.title = r.title;
  if (!r.year.empty()) facts.title.append(" (").append(r.year).append(")");
  if (r.form == NameForm::kSeason || r.form == NameForm::kEpisode)
    facts.season = r.season;
  return facts;
}

// A video's "/v" name and the reading it is filed by, where its own name
// gives no title ("S01E03.mkv"), with the show and season the download's
// name or its season folder gives: "Show S01E03.mkv"; "Episode 3.mkv" in
// "Season 1/" is "Show S01E03.mkv".  Else its own.
CleanedName NamedByFolder(const NameFacts& download, const DownloadFile& file,
                          const NameRules& reading) {
  const CleanedName& own = file.cleaned;
  const std::string_view extension = SplitName(file.listed).extension;
  if (download.title.empty() || download.film || !own.reading ||
      own.reading->form != NameForm::kPlain || !IsVideoExtension(extension))
    return own;
  CleanedName named =
      CleanName(download.title + " " + std::string(file.listed), reading);
  if (!named.reading) return own;
  Reading& r = *named.reading;
  const int season = file.season >= 0 ? file.season : download.season;
  // A number alone ("- 04", written so for "E04" and "Episode 4"): the
  // season's episode.
  if (r.form == NameForm::kAnime && season >= 0 && r.first > 0) {
    char mark[32];
    std::snprintf(mark, sizeof mark, "S%02dE%02d", season, r.first);
    named.name = download.title + " " + mark + std::string(extension);
    r.form = NameForm::kEpisode;
    r.mark = MarkKind::kEpisode;
    r.written_mark = mark;
    r.season = season;
    return named;
  }
  if (r.form == NameForm::kEpisode || r.form == NameForm::kDaily) return named;
  return own;
}

// A film's extra by the name the library files it by: "Film (2010) -
// Making Of-featurette.mkv"; "" where the download names no film.
std::string ExtraName(const NameFacts& download, const DownloadFile& file) {
  if (!download.film) return "";
  const std::string& own = file.cleaned.name;
  const std::string_view stem = StemOf(own.empty() ? file.listed : own);
  return download.title + " - " + std::string(stem) + "-" +
         std::string(file.extra) + std::string(SplitName(file.listed).extension);
}

}  // namespace

bool IsSubtitleFolder(std::string_view name) {
  for (std::string_view folder : kSubtitleFolders)
    if (ascii::EqualsFolded(name, folder)) return true;
  return false;
}

CleanedName ReadForPlan(std::string_view name, const NameRules& rules,
                        bool is_directory) {
  NameRules reading = rules;
  reading.video_rule = reading.keep_reading = true;
  return CleanName(name, reading, is_directory);
}

std::vector<DownloadPlace> PlanDownload(std::string_view folder,
                                        const CleanedName& own,
                                        std::span<const DownloadFile> files,
                                        const NameRules& rules) {
  std::vector<DownloadPlace> places(files.size());
  NameRules reading = rules;
  reading.video_rule = reading.keep_reading = true;
  NameFacts download = FactsOf(own);
  // The reading each file's place is made from: its own, or the one its
  // name was written from.
  std::vector<Reading> filed_by(files.size());
  // Where a video of it names its show by the first words of the
  // download's name, that is the show ("Show" of
  // "Show.Complete.Series.720p").
  for (const DownloadFile& file : files) {
    if (download.film || file.in_subs ||
        !IsVideoExtension(SplitName(file.listed).extension))
      continue;
    const std::optional<Reading>& video = file.cleaned.reading;
    if (!video || video->form == NameForm::kPlain ||
        !BeginsWithTitle(folder, video->title))
      continue;
    download.title = video->title;
    if (!video->year.empty()) download.title.append(" (").append(video->year).append(")");
    break;
  }
  // The folder's own files are planned as "/v" plans a folder's.
  std::vector<VersionEntry> entries;
  std::vector<std::size_t> at;  // their index in files
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].in_subs) continue;
    CleanedName named;
    if (!files[i].extra.empty()) {
      named.name = ExtraName(download, files[i]);
      named.reading = own.reading;  // the film's
      if (named.name.empty()) {
        places[i].why = kNoFilm;
        continue;
      }
    } else {
      named = NamedByFolder(download, files[i], reading);
    }
    if (named.reading) filed_by[i] = std::move(*named.reading);
    entries.push_back({files[i].listed, false, std::move(named.name)});
    if (files[i].cleaned.reading) entries.back().reading = &*files[i].cleaned.reading;
    at.push_back(i);
  }
  SeparateVersions(entries, rules);
  FollowVideos(entries);
  // The videos by their listed stem and by the stem they end with.
  std::unordered_map<std::string_view, std::size_t, ascii::FoldedHash,
                     ascii::FoldedEqual>
      by_listed, by_final;
  std::vector<std::size_t> videos;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const std::string_view listed = entries[k].listed;
    if (SplitSideName(listed).is_side ||
        !IsVideoExtension(SplitName(listed).extension))
      continue;
    videos.push_back(k);
    by_listed.emplace(StemOf(listed), k);
    by_final.emplace(StemOf(FinalName(entries[k])), k);
  }
  auto final_stem = [&](std::size_t k) {
    return std::string(StemOf(FinalName(entries[k])));
  };
  std::unordered_map<std::string, std::size_t, ascii::FoldedHash,
                     ascii::FoldedEqual>
      given;  // final names given so far
  auto give = [&](std::size_t i, std::string name) {
    if (!given.emplace(name, i).second) {
      places[i].why = kSameName;
      return;
    }
    places[i].final_name = std::move(name);
  };
  // A file that matches no video: its own name in the one video's folder.
  auto beside_one = [&](std::size_t i) {
    if (videos.size() != 1) {
      places[i].why = videos.empty() ? kNoVideoAtAll : kNoVideo;
      return;
    }
    places[i].final_name = FinalName(entries[videos.front()]);
    places[i].video = at[videos.front()];
    places[i].own_name = std::string(files[i].listed);
  };
  std::unordered_map<std::string, std::string> stems_read;
  // A subtitle beside the video its name tells, or the one video.
  auto subtitle = [&](std::size_t i) {
    const std::string_view listed = files[i].listed;
    const std::string_view extension = SplitName(listed).extension;
    std::string_view before;
    const std::string tags = TagsOf(StemOf(listed), before);
    // In a folder named for its video, the file's own name tells only its
    // language.
    if (!files[i].subfolder.empty()) before = files[i].subfolder;
    std::size_t video = videos.size() == 1 ? videos.front() : entries.size();
    if (auto found = by_listed.find(before); found != by_listed.end()) {
      video = found->second;
    } else if (!before.empty()) {
      // The "/v" stem of what the name says before its languages: the
      // file's own, where its name splits there; else that of the words
      // (a folder's name), read once for all its files.
      std::string_view cleaned;
      const NameSplit split = SplitFileName(listed);
      if (files[i].subfolder.empty() && split.stem == before) {
        const std::string& name = files[i].cleaned.name;
        cleaned = std::string_view(name).substr(
            0, name.empty() ? 0 : name.size() - split.extension.size());
      } else {
        auto [read, fresh] = stems_read.try_emplace(std::string(before));
        if (fresh)
          read->second =
              std::string(StemOf(CleanName(std::string(before) + ".mkv", rules).name));
        cleaned = read->second;
      }
      if (auto f = by_final.find(cleaned); !cleaned.empty() && f != by_final.end())
        video = f->second;
    }
    if (video == entries.size()) {
      places[i].why = videos.empty() ? kNoVideoAtAll : kNoVideo;
      return;
    }
    give(i, final_stem(video) + tags + std::string(extension));
    places[i].video = at[video];
  };
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const std::size_t i = at[k];
    const VersionEntry& e = entries[k];
    if (e.left_alone || e.clash) {
      places[i].why = e.left_alone ? e.left_alone : kSameName;
      continue;
    }
    const SideSplit side = SplitSideName(e.listed);
    const bool video = !side.is_side && IsVideoExtension(SplitName(e.listed).extension);
    if (video || (side.is_side && by_listed.count(side.base))) {
      give(i, std::string(FinalName(e)));
      if (!video) places[i].video = e.video < entries.size()
                                        ? at[e.video]
                                        : at[by_listed.find(side.base)->second];
    } else if (IsSubtitleExtension(SplitName(e.listed).extension)) {
      subtitle(i);
    } else {
      beside_one(i);
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i].in_subs) continue;
    if (IsSubtitleExtension(SplitName(files[i].listed).extension)) {
      subtitle(i);
    } else {
      places[i].why = kNotSubtitle;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (places[i].final_name.empty()) continue;
    places[i].reading = filed_by[places[i].video < files.size() ? places[i].video : i];
  }
  return places;
}

}  // namespace rules
