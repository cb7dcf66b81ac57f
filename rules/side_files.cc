#include "rules/side_files.h"

#include <unordered_map>
#include <vector>

#include "rules/ascii.h"
#include "rules/file_kinds.h"
#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/video_rule.h"
#include "text/case.h"

namespace rules {
namespace {

// The words a side file puts between the video's stem and its extension.
constexpr std::string_view kSideWords[] = {"-sample", ".sample", ".trailer",
                                           "-poster", "-fanart"};

constexpr const char* kWhichCopy =
    "could go with more than one copy of its video, left alone";

bool EndsFolded(std::string_view s, std::string_view end) {
  return s.size() > end.size() &&
         ascii::EqualsFolded(s.substr(s.size() - end.size()), end);
}

using Side = SideSplit;

Side ReadSide(const VersionEntry& e) {
  return e.is_directory ? Side{} : SplitSideName(e.listed);
}

std::string_view Stem(const VersionEntry& e, std::string_view name) {
  return name.substr(0, name.size() - SplitFileName(e.listed).extension.size());
}

// Whether the stem ends with the side word ("-sample"), or with its bare
// word as a word of its own ("Film (2010) sample").
bool EndsWithSideWord(std::string_view stem, std::string_view written) {
  // Compared in lower case: the listed name may write it ".Sample".
  const std::string lower = text::AsciiLowerForm(written);
  const std::string_view word = lower;
  if (EndsFolded(stem, word)) return true;
  const std::string_view bare = word.substr(1);
  return EndsFolded(stem, bare) && stem.size() > bare.size() &&
         !ascii::IsLetter(stem[stem.size() - bare.size() - 1]);
}

void KeepSideWord(VersionEntry& e, const Side& s) {
  const std::string_view extension = SplitFileName(e.listed).extension;
  if (s.own.size() < extension.size()) return;
  const std::string_view word = s.own.substr(0, s.own.size() - extension.size());
  if (word.size() < 2 || !e.name.ends_with(extension)) return;
  const std::string_view stem = Stem(e, e.name);
  if (EndsWithSideWord(stem, word)) return;
  e.name.insert(stem.size(), word);
}

}  // namespace

SideSplit SplitSideName(std::string_view name) {
  SideSplit s;
  const NameSplit split = SplitFileName(name);
  if (split.stem.empty() || split.extension.empty()) return s;
  s.base = split.stem;
  s.is_side = IsSubtitleExtension(SplitName(name).extension) ||
              KindOfExtension(split.extension) == FileKind::kSideFile;
  s.own_is_extension = s.is_side;
  for (std::string_view word : kSideWords) {
    if (!EndsFolded(s.base, word)) continue;
    s.base.remove_suffix(word.size());
    s.is_side = true;
    s.own_is_extension = false;
    break;
  }
  s.own = name.substr(s.base.size());
  return s;
}

void FollowVideos(std::span<VersionEntry> entries) {
  std::vector<Side> sides(entries.size());
  std::vector<char> video(entries.size(), 0);
  std::size_t side_files = 0, videos = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const VersionEntry& e = entries[i];
    sides[i] = ReadSide(e);
    side_files += sides[i].is_side;
    video[i] = !sides[i].is_side && !e.is_directory &&
               IsVideoExtension(SplitName(e.listed).extension);
    videos += video[i];
  }
  // The videos' own clashes first: a side file follows the name its video
  // ends with.
  MarkClashes(entries, video);
  if (side_files == 0) {  // a folder of videos alone: none follows
    MarkClashes(entries);
    return;
  }
  // The videos by their listed stem and by their library stem before the
  // version suffix.
  // Keys are views of the entries' names, which stay as they are here.
  std::unordered_map<std::string_view, std::vector<std::size_t>,
                     ascii::FoldedHash, ascii::FoldedEqual>
      by_stem, by_plain;
  by_stem.reserve(videos);
  by_plain.reserve(videos);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const VersionEntry& e = entries[i];
    if (!video[i]) continue;
    by_stem[Stem(e, e.listed)].push_back(i);
    if (!e.name.empty()) {
      // Before the suffix the planning added, or one from a run before.
      std::string_view stem = Stem(e, e.name);
      const std::size_t had = VersionSuffixAt(stem);
      stem = e.added ? stem.substr(0, stem.size() - e.added)
             : had != std::string_view::npos ? stem.substr(0, had)
                                             : stem;
      by_plain[stem].push_back(i);
    }
  }
  auto final_stem = [&](std::size_t v) {
    return Stem(entries[v], FinalName(entries[v]));
  };
  auto one_final = [&](const std::vector<std::size_t>& videos) {
    for (std::size_t v : videos)
      if (final_stem(v) != final_stem(videos.front())) return false;
    return true;
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Side& s = sides[i];
    if (!s.is_side) continue;
    VersionEntry& e = entries[i];
    auto at = by_stem.find(s.base);
    if (at != by_stem.end()) {
      std::vector<std::size_t> hosts = at->second;
      if (!one_final(hosts)) {
        // Among copies of one stem in other cases, the one written alike.
        std::erase_if(hosts, [&](std::size_t v) {
          return Stem(entries[v], entries[v].listed) != s.base;
        });
      }
      if (hosts.empty() || !one_final(hosts)) {
        e.name.clear();
        e.left_alone = kWhichCopy;
        continue;
      }
      e.name.assign(final_stem(hosts.front())).append(s.own);
      e.added = 0;
      e.follows_video = true;
      e.video = hosts.front();
      continue;
    }
    // A lone sample or trailer keeps its word where its "/v" name lost it
    // ("Film.2010.1080p-sample.mkv": "Film (2010)-sample.mkv"), so that it
    // is never taken for the film.
    if (!s.own_is_extension && !e.name.empty()) KeepSideWord(e, s);
    // A name of its own that would be the copies' plain one.
    if (!s.own_is_extension || e.name.empty()) continue;
    const std::string_view plain =
        std::string_view(e.name).substr(0, e.name.size() - s.own.size());
    auto fit = by_plain.find(plain);
    if (fit == by_plain.end()) continue;
    if (!one_final(fit->second)) {
      e.name.clear();
      e.left_alone = kWhichCopy;
      continue;
    }
    e.follows_video = true;  // its own name is its video's
    if (fit->second.size() == 1) e.video = fit->second.front();
  }
  MarkClashes(entries);
}

}  // namespace rules
