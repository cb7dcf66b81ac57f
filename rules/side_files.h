// "/v" on the entries of one folder: the files that go with a video keep
// going with it.  A side file's stem is a video's stem plus a side suffix:
// a subtitle's languages and flags ("Film.eng.forced.srt"), "-sample",
// ".sample", ".trailer", "-poster", "-fanart", or only another extension
// (a subtitle's, ".nfo", ".jpg", ".png", ".txt": rules/file_kinds.h).  It takes the video's
// final name with its own suffix, as written: "The Matrix (1999) -
// 1080p.eng.forced.srt" beside "The Matrix (1999) - 1080p.mkv".
//  - A side file whose stem names no video is tidied on its own.
//  - One that names none exactly but would fit copies told apart
//    ("Film.2010.en.srt" beside a 1080p and a 2160p copy) is left alone:
//    which copy it is for, only its name could say.
#pragma once

#include <span>
#include <string_view>

#include "rules/file_kinds.h"  // what a video and a side file are
#include "rules/version_suffix.h"

namespace rules {

// A file's name read as a side file's: the video stem it names and its own
// suffix ("Film.2010.eng.srt" -> "Film.2010", ".eng.srt"; "Film-sample.mkv"
// -> "Film", "-sample.mkv").  is_side is false for a name that is no side
// file's (a video's, say: base is then its stem).
struct SideSplit {
  bool is_side = false;
  std::string_view base;
  std::string_view own;
  bool own_is_extension = false;  // nothing but what CleanName keeps
};
SideSplit SplitSideName(std::string_view name);

// After SeparateVersions: side files take their video's name, and every
// clash left is marked (MarkClashes).
void FollowVideos(std::span<VersionEntry> entries);

}  // namespace rules
