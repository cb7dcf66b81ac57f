// "/v" on the entries of one folder: two different release names that get
// the same library name ("Film.2010.Extended..." and "Film.2010.Theatrical
// ...", a 1080p and a 2160p copy) each keep the first tag that tells them
// apart, edition before resolution before source, as " - Extended",
// " - 2160p": the form media servers read as versions of one film.  Where
// no one kind of tag tells every one of them apart, they stay as they are
// (the rename run then reports the clash).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

struct VersionEntry {
  std::string_view listed;  // the name as listed
  bool is_directory = false;
  std::string name;         // its "/v" name, rewritten in place
};

// Names are compared ASCII case-blind, as case-blind file systems do.
void SeparateVersions(std::span<VersionEntry> entries, int highest_year);

}  // namespace rules
