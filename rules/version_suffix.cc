#include "rules/version_suffix.h"

#include <algorithm>
#include <unordered_map>

#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/video_rule.h"
#include "text/case.h"

namespace rules {
namespace {

using Pick = std::string VideoVersions::*;
constexpr Pick kOrder[] = {&VideoVersions::edition, &VideoVersions::resolution,
                           &VideoVersions::source};

void TellApart(std::span<VersionEntry> entries,
               const std::vector<std::size_t>& group, int highest_year) {
  std::vector<VideoVersions> versions;
  versions.reserve(group.size());
  for (std::size_t i : group) {
    const VersionEntry& e = entries[i];
    const NameSplit split =
        e.is_directory ? SplitDirectoryName(e.listed) : SplitFileName(e.listed);
    versions.push_back(FindVideoVersions(CleanStem(split.stem), highest_year));
  }
  for (Pick pick : kOrder) {
    std::vector<std::string> seen;
    bool apart = true;
    for (const VideoVersions& v : versions) {
      std::string key = text::AsciiLowerForm(v.*pick);
      if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
        apart = false;
        break;
      }
      seen.push_back(std::move(key));
    }
    if (!apart) continue;
    for (std::size_t k = 0; k < group.size(); ++k) {
      const std::string& tag = versions[k].*pick;
      if (tag.empty()) continue;
      VersionEntry& e = entries[group[k]];
      const NameSplit split =
          e.is_directory ? SplitDirectoryName(e.listed) : SplitFileName(e.listed);
      const std::size_t stem_end = e.name.size() - split.extension.size();
      e.name.insert(stem_end, " - " + tag);
    }
    return;
  }
}

}  // namespace

void SeparateVersions(std::span<VersionEntry> entries, int highest_year) {
  std::unordered_map<std::string, std::vector<std::size_t>> by_name;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].name.empty())
      by_name[text::AsciiLowerForm(entries[i].name)].push_back(i);
  }
  for (const auto& [name, group] : by_name) {
    if (group.size() > 1) TellApart(entries, group, highest_year);
  }
}

}  // namespace rules
