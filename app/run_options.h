// What the command line asks of the run; set once, read by the rename run.
#pragma once

#include <optional>

#include "rules/clean_name.h"
#include "rules/media_ids.h"

namespace app {

// Which entries the run takes.
enum class Selection {
  kFiles,                // the default
  kFilesAndDirectories,  // "/d"
  kDirectories,          // "/D"
};

// How a library gets each file: the download moved (the default), or
// linked or copied there with the downloads left as they are ("--link": a
// hard link, a copy where none can be made; "--copy"; "--link-only": a
// link, or the file stays).
enum class Filing { kMove, kLink, kCopy, kLinkOnly };

struct RunOptions {
  // "/m", "/y", "/e", "/k", "/v" and what the rules need besides.
  rules::NameRules rules;
  bool confirm_all = false;      // "/c"
  bool confirm_year = false;     // "/yc"
  bool confirm_episode = false;  // "/ec"
  bool confirm_terms = false;    // "/kc"
  bool confirm_video = false;    // "/vc"
  bool keep_history = true;      // off with "--no-history"
  bool recursive = false;        // "/s", "--recursive": every folder below too
  Selection selection = Selection::kFiles;
  // "--into LIBRARY", "--movies DIR", "--shows DIR": where the videos go,
  // as given; "" for none.  Films go to movies, else into's Movies folder;
  // episodes to shows, else into's TV folder.
  std::string into, movies, shows;
  Filing filing = Filing::kMove;
  // "--server": the media server whose words a library's names take for
  // ids and editions; none: the words its folders use already, else Plex's.
  std::optional<rules::MediaServer> server;
  // "--ids": /v in place writes a film's id and edition as a library would.
  bool ids = false;
  // A dry run: the folders the library would get are listed at the end.
  bool list_made_folders = false;
  bool IntoLibrary() const {
    return !into.empty() || !movies.empty() || !shows.empty();
  }
  // Whether the downloads stay exactly as they are: the library gets links
  // or copies.
  bool KeepsDownloads() const { return filing != Filing::kMove; }
};

}  // namespace app
