#include "rules/version_suffix.h"

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

NameSplit SplitListed(const VersionEntry& e) {
  return e.is_directory ? SplitDirectoryName(e.listed) : SplitFileName(e.listed);
}

bool IsVideo(const VersionEntry& e) {
  return !e.is_directory && IsVideoExtension(SplitName(e.listed).extension);
}

// The length of the entry's new name without its extension and without a
// version suffix it has already ("Film (2010) - 1080p.mkv" from a run
// before): a name with one is a copy of the plain name.
std::size_t PlainStemSize(const VersionEntry& e) {
  const std::string_view stem = std::string_view(e.name).substr(
      0, e.name.size() - SplitListed(e).extension.size());
  const std::size_t at = VersionSuffixAt(stem);
  return at == std::string_view::npos ? stem.size() : at;
}

// The copies an entry is one of: a video by its plain stem, anything else by
// its plain name ("\0" keeps the two apart: no name holds one).
std::string CopyKey(const VersionEntry& e) {
  const std::size_t stem = PlainStemSize(e);
  std::string key = text::AsciiLowerForm(std::string_view(e.name).substr(0, stem));
  if (IsVideo(e)) {
    key.push_back('\0');
  } else {
    key.append(text::AsciiLowerForm(
        std::string_view(e.name).substr(e.name.size() - SplitListed(e).extension.size())));
  }
  return key;
}

bool SameTag(const std::string& a, const std::string& b) {
  return text::AsciiLowerForm(a) == text::AsciiLowerForm(b);
}

void TellApart(std::span<VersionEntry> entries,
               const std::vector<std::size_t>& group, const NameRules& rules) {
  std::vector<VideoVersions> versions;
  versions.reserve(group.size());
  for (std::size_t i : group) {
    // The reading's tags; where it found none (its name was left as it is,
    // or its tags are in a bracket group the name's reading takes whole),
    // the listed name's, as read for its tags alone.
    const Reading* reading = entries[i].reading;
    bool tagged = false;
    for (int k = 0; reading && k < kVersionKinds; ++k)
      tagged = tagged || !reading->tags[k].empty();
    if (tagged) {
      versions.emplace_back();
      for (int k = 0; k < kVersionKinds; ++k) versions.back().tags[k] = reading->tags[k];
    } else {
      if (rules.readings) ++*rules.readings;
      versions.push_back(FindVideoVersions(
          CleanStem(SplitListed(entries[i]).stem), rules.highest_year));
    }
  }
  for (std::size_t k = 0; k < group.size(); ++k) {
    VersionEntry& e = entries[group[k]];
    if (e.name == e.listed) continue;  // the plain name already: kept
    const VideoVersions& mine = versions[k];
    // Kind by kind, until no other copy has all the tags taken so far; a
    // copy whose tags another has all takes all of its own.
    std::vector<int> taken;
    for (int kind = 0; kind < kVersionKinds; ++kind) {
      if (mine.tags[kind].empty()) continue;
      taken.push_back(kind);
      bool shared = false;
      for (std::size_t o = 0; o < group.size() && !shared; ++o) {
        if (o == k) continue;
        bool all = true;
        for (int t : taken) all = all && SameTag(versions[o].tags[t], mine.tags[t]);
        shared = all;
      }
      if (!shared) break;
    }
    if (taken.empty()) continue;
    std::string suffix = " -";
    for (int t : taken) {
      // The group glued to the tag before it, as release names write it.
      suffix.push_back(t == kGroupTag && taken.size() > 1 ? '-' : ' ');
      suffix.append(mine.tags[t]);
    }
    // In place of a suffix the name has already.
    const std::size_t stem_end = e.name.size() - SplitListed(e).extension.size();
    const std::size_t plain_end = PlainStemSize(e);
    e.name.replace(plain_end, stem_end - plain_end, suffix);
    e.added = suffix.size();
  }
}

}  // namespace

void SeparateVersions(std::span<VersionEntry> entries, const NameRules& rules) {
  std::unordered_map<std::string, std::vector<std::size_t>> copies;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].name.empty()) copies[CopyKey(entries[i])].push_back(i);
  }
  for (const auto& [key, group] : copies) {
    if (group.size() > 1) TellApart(entries, group, rules);
  }
}

std::string_view FinalName(const VersionEntry& entry) {
  return entry.name.empty() || entry.clash ? entry.listed : entry.name;
}

void MarkClashes(std::span<VersionEntry> entries, std::span<const char> consider) {
  auto considered = [&](std::size_t i) {
    return consider.empty() || consider[i];
  };
  // Each name's first entry; an entry whose name one before it has, and
  // that one, share it.
  std::unordered_map<std::string_view, std::size_t, ascii::FoldedHash,
                     ascii::FoldedEqual>
      first;
  first.reserve(entries.size());
  std::vector<char> shared(entries.size(), 0);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!considered(i)) continue;
    const auto [at, fresh] = first.try_emplace(FinalName(entries[i]), i);
    if (!fresh) shared[i] = shared[at->second] = 1;
  }
  // Marked after the look, so that the names compared are the planned ones.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (shared[i] && FinalName(entries[i]) != entries[i].listed)
      entries[i].clash = true;
  }
}

}  // namespace rules
