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
// no place, and says why.
#pragma once

#include <span>
#include <string>
#include <string_view>

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

// final_name: the name the run gives the file (its "/v" name).
LibraryPlace PlaceInLibrary(std::string_view final_name, int highest_year);

// The folder of a name's title among the folders of its kind that exist:
// one of the same name in any ASCII case; for a show without a year, the
// one "Show (Year)" folder when there is exactly one; else the place's own
// ("Show (Year)" with its year, else "Show").
std::string TitleFolder(const LibraryPlace& place,
                        std::span<const std::string> existing);

// A folder's name among those that exist, in any ASCII case; else name.
std::string ExistingFolder(std::string_view name,
                           std::span<const std::string> existing);

}  // namespace rules
