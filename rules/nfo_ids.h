// The ids in an .nfo file's bytes: a release's NFO (a small text, often in
// code page 437, that links the title's pages) and the XML .nfo that media
// centres write beside a film or show.
//  - Links: IMDb titles ("imdb.com/title/tt0133093", any of its hosts),
//    TMDb ("themoviedb.org/movie/603-...", "/tv/1399"), TVDB series
//    ("thetvdb.com/?tab=series&id=81189", "...&seriesid=81189",
//    "thetvdb.com/series/81189", "/dereferrer/series/81189"); a TVDB link
//    that names its series by a word only has no id.
//  - XML: <uniqueid type="imdb|tmdb|tvdb">...</uniqueid>, its attributes in
//    any order, whose kind the root says: a <movie>'s ids are a film's, a
//    <tvshow>'s a show's, and an <episodedetails> names an episode, whose
//    ids no download folder takes.  An .nfo whose root says a film where
//    the download is a show (or the other way round) gives nothing.
// Bytes of any kind are read as they come, letters in any case; a link
// ends at a space, a quote, an angle bracket or any byte outside ASCII
// (code page 437's box drawing, binary junk), and nothing is followed.
#pragma once

#include <cstddef>
#include <string_view>

#include "rules/media_ids.h"

namespace rules {

// The most of a file that is read: the callers read no more.
inline constexpr std::size_t kMaxNfoBytes = std::size_t{1} << 20;

// show: whether the download is a show.  An id of the other kind is
// ignored: a film's TMDb page and any IMDb title in a show's download, a
// show's TMDb or TVDB page in a film's.
void ReadIdsInNfo(std::string_view bytes, bool show, MediaIds& ids);

}  // namespace rules
