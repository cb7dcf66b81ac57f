// A download folder (a season pack, a film with its extras) as a library
// takes it: its videos with the files beside them; the subtitles of its
// "Subs" or "Subtitles" folder beside their video, their language read from
// their own name ("2_English.srt", "Show.S01E02.eng.srt"), or from a folder
// of their own named for the video ("Subs/Show.S01E02/2_English.srt"); the
// episodes of its "Season N" folders, and a film's extras in "Featurettes"
// or "Extras"; what
// matches no video ("GRP.nfo", "info.txt", "cover.jpg") into the video's
// folder when the download holds one video, else left where it is.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/clean_name.h"

namespace rules {

// A folder of a download whose files are its subtitles ("Subs", in any case).
bool IsSubtitleFolder(std::string_view name);

struct DownloadFile {
  std::string_view listed;
  bool in_subs = false;  // in the download's subtitle folder
  // In a folder inside the subtitle folder: its name, which names the
  // video ("Show.S01E02.1080p.WEB-DL.x264-GRP").
  std::string_view subfolder = {};
  // In a "Season N" folder of the download: N; -1 elsewhere.
  int season = -1;
  // In a folder of a film's extras ("Featurettes"): their kind as "/v"
  // suffixes it ("featurette"); "" elsewhere.
  std::string_view extra = {};
  // Its "/v" name with the reading (ReadForPlan): the plan's every step
  // takes them, none reads the name again.
  CleanedName cleaned = {};
};

// A name of the download (its own, a file's) read as the plan takes it:
// CleanName with "/v" keeping its reading.
CleanedName ReadForPlan(std::string_view name, const NameRules& rules,
                        bool is_directory = false);

struct DownloadPlace {
  // The name the library files it by ("Show S01E02.eng.srt"): a video's
  // "/v" name, or that of the video it goes with and its own suffix; ""
  // when it has none (why says).
  std::string final_name;
  // Its name there where it is not the placed one: a file that matches no
  // video keeps its own, in its video's folder.
  std::string own_name;
  const char* why = nullptr;
  // A file that goes with a video of the download: that video's index.
  std::size_t video = static_cast<std::size_t>(-1);
  // The reading its place in the library is made from: its video's
  // (rules/library_layout.h).
  Reading reading;
};

// One place per file, in their order; rules as "/v" takes them.  The
// download's own name (folder, read as own) names what its files do not: a
// show and season for bare episode files ("S01E03.mkv", "Episode 3.mkv" in
// a season's folder), the film its extras' folders belong to.  A bare
// episode's name is read once more after the show's title; no other name
// is read again.
std::vector<DownloadPlace> PlanDownload(std::string_view folder,
                                        const CleanedName& own,
                                        std::span<const DownloadFile> files,
                                        const NameRules& rules);

}  // namespace rules
