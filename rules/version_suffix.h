// "/v" on the entries of one folder: different release names that get the
// same library name (an Extended and a Theatrical cut, a 1080p and a 2160p
// copy) are copies of one video, and each adds its tags kind by kind, in
// the order edition, resolution, source, dynamic range, codec, audio,
// release group, until no other copy has them all: " - IMAX",
// " - 1080p BluRay", " - 2160p", the form media servers read as versions.
// A copy that is already the plain name keeps it; the others take tags.  A
// name that is the plain one with a version suffix ("Film (2010) - IMAX",
// from a run before) is a copy of it, so that a second run sees the same
// copies and changes nothing.
// Video files are copies by their stem ("Film.1080p.mkv" and "Film.480p.avi"
// are two copies for a player), other entries by their whole name.  The
// outcome does not depend on the entries' order.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "rules/clean_name.h"
#include "rules/reading.h"

namespace rules {

struct VersionEntry {
  std::string_view listed;  // the name as listed
  bool is_directory = false;
  std::string name;         // its "/v" name, rewritten in place; "" for none
  std::size_t added = 0;    // the length of the version suffix put in it
  // The reading its name was written from, where the planning keeps it:
  // its tags tell it from its copies.  Without one (a library file's name),
  // or where it found no tag, the listed name is read for them.
  const Reading* reading = nullptr;
  // Set by the planning: another entry would get the same name, so this one
  // is not renamed (the run reports the clash); or why it is left alone.
  bool clash = false;
  const char* left_alone = nullptr;
  // Set by FollowVideos: a side file that goes with a video of the folder,
  // and that video's index where one copy is it.
  bool follows_video = false;
  std::size_t video = static_cast<std::size_t>(-1);
};

// Names are compared ASCII case-blind, as case-blind file systems do; rules
// as "/v" takes them.
void SeparateVersions(std::span<VersionEntry> entries, const NameRules& rules);

// Marks clash on every entry that would be renamed to a name another entry
// has or would get (case-blind); only those that consider says, when given.
void MarkClashes(std::span<VersionEntry> entries,
                 std::span<const char> consider = {});

// The name the entry ends with: its new name, or the listed one where it
// keeps that.
std::string_view FinalName(const VersionEntry& entry);

}  // namespace rules
