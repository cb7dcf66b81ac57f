#include "rules/nfo_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A literal's bytes, NULs and all.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string NfoFound(const rules::MediaIds& ids) {
  return ids.imdb + "|" + ids.tmdb_movie + "|" + ids.tmdb_show + "|" + ids.tvdb;
}

// A release's NFO in code page 437: box drawing (0xB0 to 0xDF) right
// against the link on both sides, and a block of it between lines.
const std::string kBoxedNfo =
    "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
    "\xBA  PAPER LANTERN (2004)  \xBA\r\n"
    "\xBA\xB0\xB1\xB2 IMDb...: http://www.imdb.com/title/tt0412345/\xDB\xB2\xB1\xB0\xBA\r\n"
    "\xBA\xDBhttps://imdb.com/title/tt0412345\xDB\xBA\r\n"
    "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC\r\n";

// A film's page and a show's: a download takes the one of its kind.
const std::string kTmdbLinks =
    "Info: https://www.themoviedb.org/movie/7702-paper-lantern?language=en\n"
    "Show: themoviedb.org/TV/880-night-desk/season/1\n";

TEST(NfoIds, ReadsLinksAndXml) {
  struct Case {
    const char* what;
    std::string bytes;
    bool show;
    const char* want;
  } cases[] = {
      {"code page 437", kBoxedNfo, false, "tt0412345|||"},
      {"binary junk",
       Bytes("\x7F" "ELF\x02\x01\x00\x00imdb.\xFF/title/tt\x00\x01themoviedb.org/tv/\x80"
             "9\x00<uniqueid type=\"tmdb\"\x00\xFE"),
       false, "|||"},
      {"junk around a link",
       Bytes("\x00\x01\xFEimdb.com/title/tt0412345\x00\xFF"), false, "tt0412345|||"},
      {"TMDb links, a film's", kTmdbLinks, false, "|7702||"},
      {"TMDb links, a show's", kTmdbLinks, true, "||880|"},
      {"TVDB links",
       "http://thetvdb.com/?tab=series&id=81189&lid=7\n"
       "https://www.thetvdb.com/index.php?tab=episode&seriesid=81189&id=4000123\n"
       "https://thetvdb.com/dereferrer/series/81189\n"
       "https://thetvdb.com/series/night-desk\n",
       true, "|||81189"},
      {"a show's IMDb link is ignored", "imdb.com/title/tt0412345 thetvdb.com/series/81189",
       true, "|||81189"},
      {"no ids: other hosts, slugs, an episode's TVDB page",
       "notimdb.com/title/tt0412345 imdb.com/name/nm0000206 themoviedb.org/person/287 "
       "thetvdb.com/series/24-legacy thetvdb.com/?tab=episode&id=4000123 "
       "imdb.com/title/tt0412345abc",
       false, "|||"},
      {"a media centre's film",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<movie>\n  <title>Paper Lantern</title>\n"
       "  <uniqueid default=\"true\" type=\"tmdb\">7702</uniqueid>\n"
       "  <uniqueid type='imdb' default='false'> tt0412345 </uniqueid>\n"
       "  <uniqueid type=\"tvdb\">555</uniqueid>\n</movie>\n",
       false, "tt0412345|7702||"},
      {"a media centre's show",
       "<tvshow>\n<uniqueid type=\"tvdb\" default=\"true\">81189</uniqueid>\n"
       "<uniqueid type=\"tmdb\">880</uniqueid><uniqueid type=\"imdb\">tt0412345</uniqueid>\n"
       "</tvshow>",
       true, "||880|81189"},
      {"an episode's ids name no show",
       "<episodedetails><uniqueid type=\"tvdb\">4000123</uniqueid></episodedetails>", true,
       "|||"},
      {"a film's .nfo in a show's download", "<movie><uniqueid type=\"tmdb\">7702</uniqueid>",
       true, "|||"},
  };
  for (const Case& c : cases) {
    rules::MediaIds ids;
    rules::ReadIdsInNfo(c.bytes, c.show, ids);
    EXPECT_EQ(NfoFound(ids), c.want) << c.what;
    EXPECT_TRUE(ids.conflicts.empty()) << c.what;
  }
}

TEST(NfoIds, TwoFilmsInOneNfoNameNeither) {
  rules::MediaIds ids;
  rules::ReadIdsInNfo("imdb.com/title/tt0412345\nimdb.com/title/tt0999999\n", false, ids);
  EXPECT_EQ(ids.imdb, "");
  EXPECT_EQ(ids.conflicts.size(), 1u);
}

}  // namespace
