// The folders a walk is inside, from the one it started in down to the one
// it lists now: a folder met again below (a bind mount of one of them, a
// loop) is not entered, and only the top levels stay open, so that a deep
// tree needs a bounded number of descriptors.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/file_system.h"

namespace app {

struct FolderTrail {
  // Folders deeper than this are let go of while the walk is below them,
  // and opened again (and checked) when it comes back.
  static constexpr std::size_t kOpenLevels = 16;

  std::vector<platform::EntryId> inside;

  bool Inside(const platform::EntryId& id) const {
    return id.known && std::find(inside.begin(), inside.end(), id) != inside.end();
  }
  bool KeepOpen() const { return inside.size() <= kOpenLevels; }
};

// Puts a folder on the trail for the time the walk is inside it.
class Entered {
 public:
  Entered(FolderTrail& trail, const platform::EntryId& id) : trail_(trail) {
    trail_.inside.push_back(id);
  }
  ~Entered() { trail_.inside.pop_back(); }
  Entered(const Entered&) = delete;
  Entered& operator=(const Entered&) = delete;

 private:
  FolderTrail& trail_;
};

}  // namespace app
