#include "rules/episode_rule.h"

#include <string_view>

#include "rules/release_marker.h"

namespace rules {

EpisodeResult ApplyEpisodeRule(std::string stem) {
  // As the year rule: the words from the last one back to the second.
  std::string_view all = stem;
  std::size_t end = all.size();
  for (std::size_t space = all.rfind(' '); space != std::string_view::npos;
       end = space, space = space == 0 ? std::string_view::npos
                                       : all.rfind(' ', space - 1)) {
    const std::string_view word = all.substr(space + 1, end - space - 1);
    if (!ReadEpisodeMarker(word, nullptr)) continue;
    std::string rebuilt;
    rebuilt.reserve(space + kMaxWrittenMarker);
    rebuilt.append(all.substr(0, space + 1));
    ReadEpisodeMarker(word, &rebuilt);
    if (rebuilt == stem) return {std::move(stem), false};
    return {std::move(rebuilt), true};
  }
  return {std::move(stem), false};
}

}  // namespace rules
