#include "rules/media_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rules::IdSource;
using rules::MediaIds;
using rules::MediaServer;

// The ids as one line: "imdb|tmdb film|tmdb show|tvdb".
std::string Found(const MediaIds& ids) {
  return ids.imdb + "|" + ids.tmdb_movie + "|" + ids.tmdb_show + "|" + ids.tvdb;
}

TEST(MediaIds, ReadInNames) {
  struct Case {
    const char* name;
    bool show;
    const char* want;
  } cases[] = {
      {"Paper.Lantern.2004.[tt0412345].1080p.mkv", false, "tt0412345|||"},
      {"Paper Lantern tt04123456 720p", false, "tt04123456|||"},
      {"Paper Lantern (2004) {IMDB-TT0412345}", false, "tt0412345|||"},
      {"Paper Lantern (2004) [imdbid-tt0412345] [tmdbid-7702]", false, "tt0412345|7702||"},
      {"Paper Lantern (2004) [tmdbid=7702]", false, "|7702||"},
      {"Night Desk (2019) {tmdb-880}", true, "||880|"},
      {"Night Desk (2019) (tvdbid-81189)", true, "|||81189"},
      // The wrong kind: an IMDb id on a show, a TVDB id on a film.
      {"Night.Desk.S01E02.tt0412345.mkv", true, "|||"},
      {"Paper Lantern {tvdb-81189}", false, "|||"},
      // No id: glued to a word, too few or many digits, no closing bracket,
      // a value of the wrong shape.
      {"Matt0412345.mkv", false, "|||"},
      {"tt0412345x.mkv", false, "|||"},
      {"tt041234.mkv tt041234567.mkv", false, "|||"},
      {"Film {tmdb-603", false, "|||"},
      {"Film {tmdb-abc} [imdbid-0412345]", false, "|||"},
  };
  for (const Case& c : cases) {
    MediaIds ids;
    rules::ReadIdsInName(c.name, c.show, ids);
    EXPECT_EQ(Found(ids), c.want) << c.name;
    EXPECT_TRUE(ids.conflicts.empty()) << c.name;
  }
}

// Two different ids of a kind: neither, said once, whatever comes after;
// the same id twice is one.
TEST(MediaIds, ContradictionsUseNeither) {
  MediaIds ids;
  rules::ReadIdsInName("Film [tt0412345] {imdb-tt0412345} {tmdb-7}", false, ids);
  EXPECT_TRUE(ids.conflicts.empty());
  ids.Add(IdSource::kImdb, false, "tt0999999");
  ids.Add(IdSource::kImdb, false, "tt0412345");
  ids.Add(IdSource::kTmdb, true, "8");  // a show's is another kind
  EXPECT_EQ(Found(ids), "|7|8|");
  ASSERT_EQ(ids.conflicts.size(), 1u);
  EXPECT_NE(ids.conflicts[0].find("tt0412345"), std::string::npos);
  EXPECT_NE(ids.conflicts[0].find("tt0999999"), std::string::npos);
}

TEST(MediaIds, ServersForms) {
  struct Case {
    MediaServer server;
    IdSource source;
    const char* value;
    const char* tag;
  } cases[] = {
      {MediaServer::kPlex, IdSource::kImdb, "tt0412345", "{imdb-tt0412345}"},
      {MediaServer::kPlex, IdSource::kTvdb, "81189", "{tvdb-81189}"},
      {MediaServer::kJellyfin, IdSource::kTmdb, "7702", "[tmdbid-7702]"},
      {MediaServer::kJellyfin, IdSource::kImdb, "tt0412345", "[imdbid-tt0412345]"},
      {MediaServer::kEmby, IdSource::kTmdb, "7702", "[tmdbid=7702]"},
      {MediaServer::kEmby, IdSource::kTvdb, "81189", "[tvdbid=81189]"},
  };
  for (const Case& c : cases) {
    const std::string tag = rules::IdTag(c.server, c.source, c.value);
    EXPECT_EQ(tag, c.tag);
    // A folder named with it is known as the server's, and reads back.
    const std::string folder = "Paper Lantern (2004) " + tag;
    EXPECT_EQ(rules::ServerOfName(folder), c.server) << folder;
    MediaIds ids;
    rules::ReadIdsInName(folder, c.source == IdSource::kTvdb, ids);
    EXPECT_NE(Found(ids).find(c.value), std::string::npos) << folder;
  }
  EXPECT_EQ(rules::ServerOfName("Paper Lantern (2004) {edition-Final Cut}"), MediaServer::kPlex);
  EXPECT_EQ(rules::ServerOfName("Paper Lantern (2004) [tt0412345]"), std::nullopt);
  EXPECT_EQ(rules::ServerOfName("Paper Lantern (2004) {tmdb-x}"), std::nullopt);

  EXPECT_EQ(rules::EditionTag(MediaServer::kPlex, "Director's Cut"), "{edition-Director's Cut}");
  EXPECT_EQ(rules::EditionTag(MediaServer::kPlex, "Cut {2}"), "{edition-Cut 2}");
  EXPECT_EQ(rules::EditionTag(MediaServer::kJellyfin, "Extended"), "- Extended");
  EXPECT_EQ(rules::EditionTag(MediaServer::kEmby, "Final Cut"), "- Final Cut");
}

}  // namespace
