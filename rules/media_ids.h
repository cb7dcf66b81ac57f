// The ids that name a film or show exactly (IMDb, TMDb, TVDB), as a
// download's names carry them and as each media server reads them in a
// library's folder and file names; and an edition in each server's words.
//
// The servers' forms:
//  - Plex: "{imdb-tt0133093}", "{tmdb-603}", "{tvdb-81189}", and an edition
//    "{edition-Director's Cut}".
//  - Jellyfin: "[imdbid-tt0133093]", "[tmdbid-603]", "[tvdbid-81189]".
//  - Emby: "[imdbid=tt0133093]", "[tmdbid=603]", "[tvdbid=81189]".
//  Jellyfin and Emby tell editions apart as versions, " - Director's Cut".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

enum class IdSource { kImdb, kTmdb, kTvdb };
enum class MediaServer { kPlex, kJellyfin, kEmby };

// The ids a download carries, from its names and its .nfo files.  An IMDb id
// is a film's only (it cannot tell a show from one of its episodes); a TMDb
// /tv/ id or a TVDB series id a show's; an id of the wrong kind is ignored.
// Two different ids of one kind contradict each other: neither is used, and
// the contradiction is said (its words in `conflicts`, once per kind).
struct MediaIds {
  std::string imdb;        // "tt0133093", or ""
  std::string tmdb_movie;  // "603"
  std::string tmdb_show;   // "1399"
  std::string tvdb;        // a series'
  std::vector<std::string> conflicts;
  // show: whether the id names a show.  A value of the wrong shape ("tt"
  // and 7 or 8 digits for IMDb, 1 to 9 digits for the others) is ignored.
  void Add(IdSource source, bool show, std::string value);

  // The kinds found contradicted: they stay empty whatever comes after.
  unsigned contradicted = 0;
};

// The id a title is known by in a library: a film's IMDb id, a show's TVDB
// id, else its TMDb id; none (an empty value) when it has neither.
struct TitleId {
  IdSource source = IdSource::kTmdb;
  std::string_view value;  // of the ids'
};
TitleId TitleIdOf(const MediaIds& ids, bool show);

// Whether text is an IMDb title id: "tt" and 7 or 8 digits.
bool IsImdbId(std::string_view text);

// The ids in a file or folder name: "tt" and 7 or 8 digits as a word or a
// bracket group of its own ("tt0133093", "[tt0133093]"), and the servers'
// forms above in any bracket and any case ("{imdb-tt0133093}",
// "[tmdbid=603]", "(tvdb-81189)").  show: whether the name is a show's,
// which says whose a TMDb id is (and that an IMDb id is ignored).
void ReadIdsInName(std::string_view name, bool show, MediaIds& ids);

// The server a word names ("plex", "jellyfin", "emby", in any case), as
// "--server" takes it.
std::optional<MediaServer> ServerNamed(std::string_view word);

// A server's tag for an id, a word to write after a space: Plex
// "{imdb-tt0133093}", Jellyfin "[imdbid-tt0133093]", Emby
// "[imdbid=tt0133093]".
std::string IdTag(MediaServer server, IdSource source, std::string_view value);

// The server whose form a folder's name uses (an id's tag, or Plex's
// edition), if it uses one.
std::optional<MediaServer> ServerOfName(std::string_view name);

// An edition in a server's words, to write after a space: Plex
// "{edition-Director's Cut}", Jellyfin and Emby "- Director's Cut" (a
// version's suffix).  Braces, which would end Plex's tag, are left out.
std::string EditionTag(MediaServer server, std::string_view edition);

}  // namespace rules
