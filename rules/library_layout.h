// "--into": where a tidied video goes in a media library, in the layout Plex,
// Jellyfin and Kodi read, made from its "/v" name:
//  - film: "Movies/Title (Year)/Title (Year)[ - version][ - pt1].ext"; its
//    extras ("... - Gotham Uncovered-featurette", "...-trailer") in a
//    folder of their kind inside the film's, named by their own words
//    ("Featurettes/Gotham Uncovered.mkv"), or by the whole name when they
//    have none; a sample beside the film as "Title (Year)-sample.ext";
//  - episode: "TV/Show[ (Year)]/Season 01/Show[ (Year)] S01E02.ext"
//    (specials in "Season 00"); a daily show "Season 2019/Show
//    2019-03-14.ext"; anime numbered without a season "Show/Show - 07.ext".
// A side file (rules/side_files.h) goes where its video's name would, with
// its own suffix.  A name that gives no title and year or episode mark has
// no place, and says why.  The place is made from the reading the "/v" name
// was written from (rules/reading.h), not from reading that name again.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "rules/clean_name.h"
#include "rules/media_ids.h"
#include "rules/reading.h"

namespace rules {

// The library's folder of each kind, below the library named.
inline constexpr std::string_view kMoviesFolder = "Movies";
inline constexpr std::string_view kShowsFolder = "TV";

enum class LibraryKind : unsigned char { kNone, kFilm, kShow };

struct LibraryPlace {
  LibraryKind kind = LibraryKind::kNone;
  // A film's folder ("Title (Year)"), or a show's name without its year.
  std::string title;
  std::string year;    // a show's year, "" for none (see ShowFolder)
  std::string inside;  // the folder inside the title's: "Season 01",
                       // "Featurettes", or "" for none
  std::string name;    // the file's name there
  const char* why = nullptr;  // kNone: why it has no place
};

// video: the reading of the video the file is, or goes with (a side file's,
// a download's file named by its folder: the name its place is made from);
// final_name: the name the run gives the file (its "/v" name).  A lone
// sample or trailer whose own reading found no mark, its side word glued to
// one ("Show S01E01-sample.mkv", "Film 2013-sample.mkv"), is placed by the
// video its name names ("Show S01E01"), read for it with rules.
LibraryPlace PlaceInLibrary(const Reading& video, std::string_view final_name,
                            const NameRules& rules);

// How the library's folders are told apart: by their letters and digits in
// any ASCII case, without a media server's "{tmdb-496243}" or "[imdbid-...]"
// tag, and with a bracketed year apart; "Season 2", "Season 02" and
// "Specials" (season 0) by their number.
struct FolderKey {
  std::string letters;
  std::string year;  // "" for none
};
FolderKey KeyOfFolder(std::string_view name);

// The folder a place's own folder name ("Title (Year)", "Show", "Season 01")
// is among those that exist, keyed by KeyOfFolder: one of the same name in
// any case; else one of the same letters whose year agrees where both have
// one.  A folder without a year takes a name with one, and one with a year
// a name without, only where it is the only folder of those letters.  Where
// two could be it, nothing is chosen: other names the second.  Else the
// place's own name.
struct FolderMatch {
  std::string name;
  std::string other;  // set: two folders could be it, name and other
};
FolderMatch MatchFolder(std::string_view own,
                        std::span<const std::string> existing);

// Whether a folder's name begins with the words of a title, in any case
// and with any marks between them ("Show.Complete.Series.1080p" with
// "Show"; not "Showtime").
bool BeginsWithTitle(std::string_view name, std::string_view title);

// A download's folder of one season ("Season 1", "Specials": 0), or -1.
int SeasonOfFolder(std::string_view name);
// A film's download's folder of extras ("Featurettes", "Behind The Scenes",
// "Extras"): the kind of extra its files are, as "/v" suffixes it
// ("featurette"); "" for any other folder.
std::string_view ExtraOfFolder(std::string_view name);

// A film's file name with its title's id tag and its edition after the
// title ("Title (Year) {imdb-tt0133093} {edition-Extended} - 2160p.mkv"),
// the edition then no version besides; a show's, an extra's, a sample's
// name stays as it is.  id_tag: a server's tag, or "" for none.
void AddTitleTags(LibraryPlace& place, std::string_view id_tag,
                  std::string_view edition, MediaServer server);

// The place's own name for its title's folder: "Title (Year)" for a film or
// a show with a year, else the show's title.
std::string OwnTitleFolder(const LibraryPlace& place);

}  // namespace rules
