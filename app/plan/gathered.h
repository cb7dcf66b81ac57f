// The entries of one folder that a run takes, gathered from all the
// operands that name it so that they are planned together, with what the
// run read of each on the disk before planning.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/plan/operand.h"
#include "platform/file_system.h"

namespace app {

// The entries of one folder that a run takes, gathered from all the operands
// that name it, so that they are planned together.
struct Gathered {
  platform::Folder folder;
  std::vector<platform::Entry> entries;  // in the order to handle them
  // Per entry: named exactly by an operand, so that a reason is always said.
  std::vector<bool> named;
  // Names with aria2's control file beside them, from the folder's listing;
  // without a listing each entry is asked.
  std::unordered_set<std::string> controlled;
  bool listed = false;
  // Folders of this one that the walk found holding a download (with /s).
  std::unordered_set<std::string> busy;
  bool walked = false;
  // Whether a pattern that took nothing says why it left its entries alone.
  bool explain = true;
  // The patterns that took the entries not named exactly.
  std::vector<std::string_view> patterns;
  // Per entry, judged on the disk before planning: why the run leaves it
  // alone (nullptr: it takes it), and whether that is said whatever the
  // patterns took (named, or a download in progress).
  std::vector<const char*> why;
  std::vector<bool> said;
};

inline bool TakenByPatterns(const std::vector<std::string_view>& patterns,
                     std::string_view name) {
  for (std::string_view pattern : patterns)
    if (Takes(pattern, name)) return true;
  return false;
}

// Keeps the entries of g that verdict takes, in place and in their order:
// 1 named exactly, 0 taken by a pattern, -1 not taken.
template <typename Verdict>
void Keep(Gathered& g, Verdict verdict) {
  std::size_t kept = 0;
  g.named.clear();
  for (std::size_t i = 0; i < g.entries.size(); ++i) {
    const int v = verdict(g.entries[i]);
    if (v < 0) continue;
    g.named.push_back(v > 0);
    if (kept != i) g.entries[kept] = std::move(g.entries[i]);
    ++kept;
  }
  g.entries.resize(kept);
}

}  // namespace app
