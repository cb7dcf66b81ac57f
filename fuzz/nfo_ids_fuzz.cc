// The ids in an .nfo file's bytes and in a name, on arbitrary bytes, for a
// film's download and a show's: no crash, no sanitizer report, and every id
// found is one the bytes hold, of its kind's shape, that each server's tag
// gives back; a contradicted kind stays empty, and reading the same bytes
// again changes nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "rules/ascii.h"
#include "rules/media_ids.h"
#include "rules/nfo_ids.h"

namespace {

using rules::IdSource;
using rules::MediaIds;
using rules::MediaServer;

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!rules::ascii::IsDigit(c)) return false;
  }
  return true;
}

// Each field empty or of its kind's shape, held by the bytes, and of the
// download's kind.
void CheckFields(const MediaIds& ids, std::string_view lower, bool show) {
  FUZZ_CHECK(ids.imdb.empty() || (rules::IsImdbId(ids.imdb) && ids.imdb.starts_with("tt")));
  FUZZ_CHECK(!show || (ids.imdb.empty() && ids.tmdb_movie.empty()));
  FUZZ_CHECK(show || (ids.tvdb.empty() && ids.tmdb_show.empty()));
  const std::string* numbers[] = {&ids.tmdb_movie, &ids.tmdb_show, &ids.tvdb};
  for (const std::string* id : numbers) FUZZ_CHECK(id->empty() || AllDigits(*id));
  for (const std::string* id : {&ids.imdb, &ids.tmdb_movie, &ids.tmdb_show, &ids.tvdb})
    FUZZ_CHECK(id->empty() || lower.find(*id) != std::string_view::npos);
  FUZZ_CHECK(ids.conflicts.size() <= 4);
  for (const std::string& said : ids.conflicts) FUZZ_CHECK(!said.empty());
  if (ids.contradicted & 1) FUZZ_CHECK(ids.imdb.empty());
  if (ids.contradicted & 2) FUZZ_CHECK(ids.tmdb_movie.empty());
  if (ids.contradicted & 4) FUZZ_CHECK(ids.tmdb_show.empty());
  if (ids.contradicted & 8) FUZZ_CHECK(ids.tvdb.empty());
}

bool Same(const MediaIds& a, const MediaIds& b) {
  return a.imdb == b.imdb && a.tmdb_movie == b.tmdb_movie && a.tmdb_show == b.tmdb_show &&
         a.tvdb == b.tvdb && a.conflicts == b.conflicts;
}

// Each server's tag of an id reads back as that id, in a name of that
// server's form.
void CheckTags(IdSource source, bool show, const std::string& value) {
  if (value.empty()) return;
  for (MediaServer server : {MediaServer::kPlex, MediaServer::kJellyfin, MediaServer::kEmby}) {
    const std::string name = "Title (2004) " + rules::IdTag(server, source, value);
    FUZZ_CHECK(rules::ServerOfName(name) == server);
    MediaIds back;
    rules::ReadIdsInName(name, show, back);
    const std::string& got = source == IdSource::kImdb   ? back.imdb
                             : source == IdSource::kTvdb ? back.tvdb
                             : show                      ? back.tmdb_show
                                                         : back.tmdb_movie;
    FUZZ_CHECK(got == value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string lower(bytes);
  for (char& c : lower) c = rules::ascii::AsciiLower(c);
  for (bool show : {false, true}) {
    // As a .nfo's text and as a name: each id found is in the bytes, and a
    // second reading adds nothing.
    MediaIds name;
    for (auto read : {&rules::ReadIdsInNfo, &rules::ReadIdsInName}) {
      MediaIds ids;
      read(bytes, show, ids);
      CheckFields(ids, lower, show);
      MediaIds again = ids;
      read(bytes, show, again);
      FUZZ_CHECK(Same(ids, again));
      name = ids;  // the name's reading is the last
    }
    CheckTags(IdSource::kImdb, show, name.imdb);
    CheckTags(IdSource::kTmdb, show, show ? name.tmdb_show : name.tmdb_movie);
    CheckTags(IdSource::kTvdb, show, name.tvdb);
  }
  // An edition in Plex's tag never closes it early.
  const std::string plex = rules::EditionTag(MediaServer::kPlex, bytes);
  FUZZ_CHECK(plex.find('}') == plex.size() - 1);
  (void)rules::ServerOfName(bytes);
  return 0;
}
