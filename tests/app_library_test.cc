// Runs into a library, each row three ways: carried out, as a dry run (the
// same lines, nothing changed), and carried out then undone (the tree as
// it was), the undo also as a dry run first (its lines, nothing changed).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/program.h"
#include "fake_run.h"
#include "fake_system.h"

namespace {

using Tree = std::set<std::string>;  // every path; a folder's ends in "/"

struct Sys : fake::FileSystem {
  fake::Console console;
  int runs = 0;
  std::size_t readings = 0;  // of names, in all the runs

  // The tree's paths and the folders above them, and the library "lib/".
  explicit Sys(Tree tree) {
    folders[""];
    tree.insert("lib/");
    for (const std::string& path : tree) {
      std::size_t from = 0;
      for (std::size_t slash; (slash = path.find('/', from)) != path.npos;
           from = slash + 1) {
        auto& in = folders[path.substr(0, from)];
        const std::string name = path.substr(from, slash - from);
        if (!Find(path.substr(0, from), name))
          in.push_back(fake::MakeEntry(name, platform::EntryKind::kDirectory));
        folders[path.substr(0, slash + 1)];
      }
      if (from < path.size())
        folders[path.substr(0, from)].push_back(
            fake::MakeEntry(path.substr(from), platform::EntryKind::kFile));
    }
  }
  Tree Now() const {
    Tree tree;
    for (const auto& [dir, entries] : folders)
      for (const platform::Entry& e : entries)
        tree.insert(dir + e.name +
                    (e.kind == platform::EntryKind::kDirectory ? "/" : ""));
    return tree;
  }
  int Run(std::vector<std::string> arguments) {
    ++runs;
    return fake::RunCommand(*this, console, std::move(arguments), runs,
                            1000 + runs, &readings);
  }
};

// Only the paths that changed are written in a row: those gone, and those
// that come.
struct Row {
  const char* what;
  Tree before;
  std::vector<std::string> args;  // "--into lib" and its operands
  Tree gone, come;
  std::vector<std::string> said = {};  // each in the run's output
  std::function<void(Sys&)> set_up = {};
};

// An undo's lines, without the lists and the last words of a dry one.
std::string UndoLines(const std::string& out) {
  std::size_t end = out.size();
  for (const char* after : {"Folders to ", "Dry run:", "Done\n"})
    end = std::min(end, out.find(after));
  return out.substr(0, end);
}

void RunThreeWays(const Row& row) {
  const Tree before = Sys(row.before).Now();
  Tree after = before;
  for (const std::string& p : row.gone) after.erase(p);
  after.insert(row.come.begin(), row.come.end());
  after = Sys(after).Now();
  const std::vector<std::string>& args = row.args;

  Sys done(row.before);
  if (row.set_up) row.set_up(done);
  done.Run(args);
  EXPECT_EQ(done.Now(), after) << row.what << "\n" << done.console.out;
  for (const std::string& line : row.said)
    EXPECT_NE(done.console.out.find(line), std::string::npos)
        << row.what << ": " << line << "\n" << done.console.out;

  Sys dry(row.before);
  if (row.set_up) row.set_up(dry);
  std::vector<std::string> dry_args = {"--dry-run"};
  dry_args.insert(dry_args.end(), args.begin(), args.end());
  dry.Run(dry_args);
  EXPECT_EQ(dry.Now(), before) << row.what;
  // What the run makes, the dry run says it would make.
  EXPECT_EQ(dry.console.out.find("[FAILED") == std::string::npos,
            done.console.out.find("[FAILED") == std::string::npos)
      << row.what << " (dry run)\n" << dry.console.out;
  for (const std::string& line : row.said)
    EXPECT_NE(dry.console.out.find(line), std::string::npos)
        << row.what << " (dry run): " << line << "\n" << dry.console.out;

  // A dry undo shows the lines the undo shows, and changes nothing.
  const Tree run = done.Now();
  const auto user_files = done.files;
  done.Run({"--undo", "--dry-run"});
  const std::string dry_undo = done.console.out;
  EXPECT_EQ(done.Now(), run) << row.what << " (dry undo)";
  EXPECT_EQ(done.files, user_files) << row.what << " (dry undo)";

  done.Run({"--undo"});
  EXPECT_EQ(done.Now(), before) << row.what << " (undone)\n"
                                    << done.console.out;
  EXPECT_EQ(UndoLines(dry_undo), UndoLines(done.console.out)) << row.what;
}

TEST(Library, ThreeWays) {
  const Row rows[] = {
      {"the library's folders are found by their letters, a season by its "
       "number, an id tag aside",
       {"lib/TV/Cubicle Life (US)/Season 2/", "lib/Movies/Parasite (2019) {tmdb-496243}/",
        "dl/Cubicle.Life.US.S02E03.720p.mkv", "dl/Parasite.2019.1080p.mkv"},
       {"--into", "lib", "dl/*"},
       {"dl/Cubicle.Life.US.S02E03.720p.mkv", "dl/Parasite.2019.1080p.mkv"},
       {"lib/TV/Cubicle Life (US)/Season 2/Cubicle Life (US) S02E03.mkv",
        "lib/Movies/Parasite (2019) {tmdb-496243}/Parasite (2019).mkv"}},
      {"a year must agree",
       {"lib/Movies/Dune (1984)/", "dl/Dune.2021.2160p.mkv"},
       {"--into", "lib", "dl/*"},
       {"dl/Dune.2021.2160p.mkv"},
       {"lib/Movies/Dune (2021)/", "lib/Movies/Dune (2021)/Dune (2021).mkv"}},
      {"two folders that could be it: the file stays, both named",
       {"lib/TV/Doctor Who (1963)/", "lib/TV/Doctor Who (2005)/",
        "dl/Doctor.Who.S01E01.mkv"},
       {"--into", "lib", "dl/*"},
       {},
       {},
       {"Doctor.Who.S01E01.mkv: both TV/Doctor Who (1963)/ and TV/Doctor "
        "Who (2005)/ could be its folder, left where it is"}},
      {"a name in capitals, given mixed case, is filed in that case",
       {"dl/DARK.KNIGHT.2008.1080P.mkv", "dl/SHOW.NAME.S02E03.mkv"},
       {"/mu", "--into", "lib", "dl/*"},
       {"dl/DARK.KNIGHT.2008.1080P.mkv", "dl/SHOW.NAME.S02E03.mkv"},
       {"lib/Movies/Dark Knight (2008)/Dark Knight (2008).mkv",
        "lib/TV/Show Name/Season 02/Show Name S02E03.mkv"}},
      {"one run makes one folder of a show, whatever the case of its names",
       {"dl/Quarry.S05E02.mkv", "dl/quarry.s05e03.mkv"},
       {"--into", "lib", "dl/*"},
       {"dl/Quarry.S05E02.mkv", "dl/quarry.s05e03.mkv"},
       {"lib/TV/", "lib/TV/Quarry/", "lib/TV/Quarry/Season 05/",
        "lib/TV/Quarry/Season 05/Quarry S05E02.mkv",
        "lib/TV/Quarry/Season 05/quarry S05E03.mkv"}},
      {"a folder named that is no download is a container: its entries are "
       "planned one by one, and it stays",
       {"D/Moon.2009.1080p.mkv", "D/notes.txt", "D/Inner/Show.S01E01.mkv",
        "D/Inner/cover.jpg"},
       {"--into", "lib", "D"},
       {"D/Moon.2009.1080p.mkv", "D/Inner/Show.S01E01.mkv"},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv",
        "lib/TV/Show/Season 01/Show S01E01.mkv"},
       {"D/notes.txt: goes with no video", "D/Inner/cover.jpg: goes with no video"}},
      {"a folder named for its video is one download, emptied and removed",
       {"Moon/Moon.2009.1080p.mkv", "Moon/notes.txt"},
       {"--into", "lib", "Moon"},
       {"Moon/", "Moon/Moon.2009.1080p.mkv", "Moon/notes.txt"},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv",
        "lib/Movies/Moon (2009)/notes.txt"}},
      {"--link: the library gets links, and the downloads stay as they are, "
       "nothing in them renamed or removed",
       {"Slow.Horses.S01.720p-G/S01E01.mkv", "Slow.Horses.S01.720p-G/notes.txt",
        "dl/Moon.2009.1080p.mkv", "dl/cover_art.v2.png"},
       {"--link", "--into", "lib", "Slow.Horses.S01.720p-G", "dl/*"},
       {},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv",
        "lib/TV/Slow Horses/Season 01/Slow Horses S01E01.mkv",
        "lib/TV/Slow Horses/Season 01/notes.txt"}},
      {"--link onto another disk, and --copy: copies",
       {"dl/Moon.2009.1080p.mkv"},
       {"--link", "--into", "lib", "dl/*"},
       {},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv"},
       {},
       [](Sys& s) {
         s.other_disk = "lib/";
         s.contents["dl/|Moon.2009.1080p.mkv"] = "film";
       }},
      {"--copy", {"dl/Moon.2009.1080p.mkv"}, {"--copy", "--into", "lib", "dl/*"},
       {}, {"lib/Movies/Moon (2009)/Moon (2009).mkv"}, {},
       [](Sys& s) { s.contents["dl/|Moon.2009.1080p.mkv"] = "film"; }},
      {"--link-only leaves what no link reaches",
       {"lib/Movies/", "dl/Moon.2009.1080p.mkv"},
       {"--link-only", "--into", "lib", "dl/*"},
       {},
       {},
       {"Moon.2009.1080p.mkv: on another disk than the library"},
       [](Sys& s) {
         s.folder_ids["dl/"] = {1, 10, true};
         s.folder_ids["lib/"] = {2, 20, true};
       }},
      {"--server plex: the id of a download's .nfo on its film's folder and "
       "file",
       {"Some.Film.2004.1080p-G/Some.Film.2004.1080p-G.mkv",
        "Some.Film.2004.1080p-G/g.nfo"},
       {"--server", "plex", "--into", "lib", "Some.Film.2004.1080p-G"},
       {"Some.Film.2004.1080p-G/", "Some.Film.2004.1080p-G/Some.Film.2004.1080p-G.mkv",
        "Some.Film.2004.1080p-G/g.nfo"},
       {"lib/Movies/Some Film (2004) {imdb-tt0123456}/Some Film (2004) {imdb-tt0123456}.mkv",
        "lib/Movies/Some Film (2004) {imdb-tt0123456}/g.nfo"},
       {},
       [](Sys& s) {
         s.contents["Some.Film.2004.1080p-G/|g.nfo"] =
             "\xc9\xcd see https://www.imdb.com/title/tt0123456/ \xcd\xbc";
       }},
      {"--server jellyfin: the id of a film's name, and its edition as a version",
       {"dl/Blade.Runner.1982.Directors.Cut.1080p.tt0083658.mkv"},
       {"--server", "jellyfin", "--into", "lib", "dl/*"},
       {"dl/Blade.Runner.1982.Directors.Cut.1080p.tt0083658.mkv"},
       {"lib/Movies/Blade Runner (1982) [imdbid-tt0083658]/"
        "Blade Runner (1982) [imdbid-tt0083658] - Director's Cut.mkv"}},
      {"--server emby: a show's id on its folder only",
       {"Show.Name.S01.720p-G/Show.Name.S01E01.mkv",
        "Show.Name.S01.720p-G/tvshow.nfo"},
       {"--server", "emby", "--into", "lib", "Show.Name.S01.720p-G"},
       {"Show.Name.S01.720p-G/", "Show.Name.S01.720p-G/Show.Name.S01E01.mkv",
        "Show.Name.S01.720p-G/tvshow.nfo"},
       {"lib/TV/Show Name [tvdbid=81189]/Season 01/Show Name S01E01.mkv",
        "lib/TV/Show Name [tvdbid=81189]/Season 01/tvshow.nfo"},
       {},
       [](Sys& s) {
         s.contents["Show.Name.S01.720p-G/|tvshow.nfo"] =
             "<tvshow><uniqueid type=\"tvdb\">81189</uniqueid></tvshow>";
       }},
      {"no server named: the words the library's folders use; a folder found "
       "by its id, whatever its title; one with another id is another title's",
       {"lib/Movies/Dune (2021) [imdbid-tt1160419]/",
        "lib/Movies/Moon (2009) [imdbid-tt0000001]/",
        "dl/Dune.Part.One.2021.tt1160419.mkv", "dl/Moon.2009.tt1182345.mkv",
        "dl/The.Matrix.1999.tt0133093.mkv"},
       {"--into", "lib", "dl/*"},
       {"dl/Dune.Part.One.2021.tt1160419.mkv", "dl/The.Matrix.1999.tt0133093.mkv"},
       {"lib/Movies/Dune (2021) [imdbid-tt1160419]/"
        "Dune Part One (2021) [imdbid-tt1160419].mkv",
        "lib/Movies/The Matrix (1999) [imdbid-tt0133093]/"
        "The Matrix (1999) [imdbid-tt0133093].mkv"},
       {"Moon.2009.tt1182345.mkv: Movies/Moon (2009) [imdbid-tt0000001]/ is "
        "another title's"}},
      {"a loose file that is no video is never filed by a date or year",
       {"dl/IMG_20240301_102231.jpg", "dl/Invoice 2024.txt"},
       {"--into", "lib", "dl/*"},
       {},
       {},
       {"IMG_20240301_102231.jpg: goes with no video",
        "Invoice 2024.txt: goes with no video"}},
      {"the library's own folders never enter the plan; the same release "
       "twice stays",
       {"D/lib/Movies/Up (2009)/Up (2009).mkv", "D/Up.2009.mkv"},
       {"--into", "D/lib", "D"},
       {},
       {},
       {"D/Up.2009.mkv: the same release as Movies/Up (2009)/Up (2009).mkv",
        "D/lib/: the library's own folder"}},
      {"copies from other folders, and of a file in the library, become "
       "versions; a subtitle follows its copy",
       {"lib/Movies/Moon (2009)/Moon (2009).mkv",
        "a/Moon.2009.1080p.BluRay.x264-GRP.mkv",
        "a/Moon.2009.1080p.BluRay.x264-GRP.en.srt",
        "b/Moon.2009.2160p.WEB-DL.x265-OTHER.mkv"},
       {"--into", "lib", "a/*", "b/*"},
       {"a/Moon.2009.1080p.BluRay.x264-GRP.mkv",
        "a/Moon.2009.1080p.BluRay.x264-GRP.en.srt",
        "b/Moon.2009.2160p.WEB-DL.x265-OTHER.mkv"},
       {"lib/Movies/Moon (2009)/Moon (2009) - 1080p.mkv",
        "lib/Movies/Moon (2009)/Moon (2009) - 1080p.en.srt",
        "lib/Movies/Moon (2009)/Moon (2009) - 2160p.mkv"}},
      {"the download's name gives its bare episodes their show and season",
       {"Slow.Horses.S01.1080p.WEB-DL-GRP/S01E03.mkv",
        "Slow.Horses.S01.1080p.WEB-DL-GRP/E04.mkv"},
       {"--into", "lib", "Slow.Horses.S01.1080p.WEB-DL-GRP"},
       {"Slow.Horses.S01.1080p.WEB-DL-GRP/",
        "Slow.Horses.S01.1080p.WEB-DL-GRP/S01E03.mkv",
        "Slow.Horses.S01.1080p.WEB-DL-GRP/E04.mkv"},
       {"lib/TV/Slow Horses/Season 01/Slow Horses S01E03.mkv",
        "lib/TV/Slow Horses/Season 01/Slow Horses S01E04.mkv"}},
      {"a series' season folders give their season",
       {"Show.Complete.Series.720p/Season 1/Show.S01E01.mkv",
        "Show.Complete.Series.720p/Season 2/Episode 5.mkv"},
       {"--into", "lib", "Show.Complete.Series.720p"},
       {"Show.Complete.Series.720p/", "Show.Complete.Series.720p/Season 1/",
        "Show.Complete.Series.720p/Season 2/",
        "Show.Complete.Series.720p/Season 1/Show.S01E01.mkv",
        "Show.Complete.Series.720p/Season 2/Episode 5.mkv"},
       {"lib/TV/Show/Season 01/Show S01E01.mkv",
        "lib/TV/Show/Season 02/Show S02E05.mkv"}},
      {"a film's extras folders go to its extras folders",
       {"Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.mkv",
        "Moon.2009.1080p.BluRay-GRP/Featurettes/Making Of.mkv",
        "Moon.2009.1080p.BluRay-GRP/Extras/Bloopers.mkv",
        "Moon.2009.1080p.BluRay-GRP/Behind The Scenes/On Set.mkv"},
       {"--into", "lib", "Moon.2009.1080p.BluRay-GRP"},
       {"Moon.2009.1080p.BluRay-GRP/", "Moon.2009.1080p.BluRay-GRP/Featurettes/",
        "Moon.2009.1080p.BluRay-GRP/Extras/",
        "Moon.2009.1080p.BluRay-GRP/Behind The Scenes/",
        "Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.mkv",
        "Moon.2009.1080p.BluRay-GRP/Featurettes/Making Of.mkv",
        "Moon.2009.1080p.BluRay-GRP/Extras/Bloopers.mkv",
        "Moon.2009.1080p.BluRay-GRP/Behind The Scenes/On Set.mkv"},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv",
        "lib/Movies/Moon (2009)/Featurettes/Making Of.mkv",
        "lib/Movies/Moon (2009)/Featurettes/Bloopers.mkv",
        "lib/Movies/Moon (2009)/Behind The Scenes/On Set.mkv"}},
      {"an extra told from the library's by its own name's tags, not its "
       "download's",
       {"lib/Movies/Moon (2009)/Featurettes/Making Of.mkv",
        "Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.mkv",
        "Moon.2009.1080p.BluRay-GRP/Featurettes/Making.Of.mkv"},
       {"--into", "lib", "Moon.2009.1080p.BluRay-GRP"},
       {"Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.mkv"},
       {"lib/Movies/Moon (2009)/Moon (2009).mkv"},
       {"Making.Of.mkv: the same release as Movies/Moon (2009)/Featurettes/"
        "Making Of.mkv"}},
      {"a file that is the library's own (the same size and time) is "
       "already there",
       {"lib/Movies/Moon (2009)/Moon (2009).mkv", "dl/Moon.2009.1080p.mkv"},
       {"--into", "lib", "dl/*"},
       {},
       {},
       {"Moon.2009.1080p.mkv: already in the library as Movies/Moon "
        "(2009)/Moon (2009).mkv"},
       [](Sys& sys) {
         sys.stamps["dl/|Moon.2009.1080p.mkv"] =
             sys.stamps["lib/Movies/Moon (2009)/|Moon (2009).mkv"] = {
                 7, 42, true, true};
       }},
      {"a library in the folder the run takes is never taken",
       {"Movies/Up (2009)/Up (2009).mkv", "Up.2009.2160p.mkv"},
       {"--into", ".", "Movies", "Up.2009.2160p.mkv"},
       {"Up.2009.2160p.mkv"},
       {"Movies/Up (2009)/Up (2009) - 2160p.mkv"},
       {"Movies/: the library's own folder"}},
      {"a walk never enters the library",
       {"Movies/Up (2009)/Up.mkv", "new/Up.2009.2160p.mkv"},
       {"--into", ".", "/s", "*"},
       {"new/Up.2009.2160p.mkv"},
       {"Movies/Up (2009)/Up (2009).mkv"}},
  };
  for (const Row& row : rows) RunThreeWays(row);
}

// Each name a run into a library takes is read once, whatever steps it goes
// through: a download's name and files (its plan, its subtitles, their
// places), loose files, copies told apart and the subtitle that follows one.
TEST(Library, ReadsEachNameOnce) {
  const Tree files = {
      "dl/Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.mkv",
      "dl/Moon.2009.1080p.BluRay-GRP/Moon.2009.1080p.BluRay-GRP.nfo",
      "dl/Moon.2009.1080p.BluRay-GRP/Subs/English.srt",
      "dl/Show.S01E01.720p.HDTV.x264-GRP.mkv",
      "dl/Show.S01E01.1080p.WEB-DL.x264-GRP.mkv",
      "dl/Show.S01E01.1080p.WEB-DL.x264-GRP.en.srt",
      "dl/Dune.2021.2160p.mkv"};
  Sys sys(files);
  sys.Run({"--into", "lib", "dl/*", "dl/Moon.2009.1080p.BluRay-GRP"});
  const Tree now = sys.Now();
  EXPECT_EQ(std::count_if(now.begin(), now.end(),
                          [](const std::string& p) { return p.starts_with("lib/") && p.back() != '/'; }),
            files.size())
      << sys.console.out;
  // The files and the download's name.
  EXPECT_EQ(sys.readings, files.size() + 1) << sys.console.out;
}

// A folder another process makes between the run's look and its making is
// used, and stays when the run is undone.
TEST(Library, AFolderMadeByAnotherMeanwhileIsUsed) {
  Sys sys({"dl/Film.2010.mkv"});
  sys.made_first = {"lib/Movies/"};
  EXPECT_EQ(sys.Run({"--into", "lib", "dl/*"}), 0) << sys.console.out;
  EXPECT_TRUE(sys.Now().count("lib/Movies/Film (2010)/Film (2010).mkv"))
      << sys.console.out;
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Now(), Sys({"dl/Film.2010.mkv", "lib/Movies/"}).Now());
}

}  // namespace

// A run that leaves the downloads as they are is run again after each
// download: what is filed already is counted, not filed again.  Its undo
// takes out what it put in only while the download is there and the same,
// and puts the library's file back where the download was gone from.
TEST(Library, LinksAndCopiesAreFiledOnceAndUndoneWithTheirDownloads) {
  const std::string film = "lib/Movies/Moon (2009)/";
  struct Case {
    const char* what;
    const char* filing;
    std::function<void(Sys&)> meanwhile;  // between the run and its undo
    Tree after_undo;
    std::string said;
  } cases[] = {
      {"a link, its download there", "--link", {}, {"dl/Moon.2009.1080p.mkv"},
       ": taken out of the library (/abs/dl/Moon.2009.1080p.mkv stays)"},
      {"a link, its download gone: the library's file goes back", "--link",
       [](Sys& s) { s.Remove({"dl/", {}, {}}, "Moon.2009.1080p.mkv", platform::EntryKind::kFile); },
       {"dl/Moon.2009.1080p.mkv"},
       "Moon (2009).mkv ==> /abs/dl/Moon.2009.1080p.mkv"},
      {"a link, another file under its download's name: it stays", "--link",
       [](Sys& s) {
         s.Remove({"dl/", {}, {}}, "Moon.2009.1080p.mkv", platform::EntryKind::kFile);
         s.folders["dl/"].push_back(fake::MakeEntry("Moon.2009.1080p.mkv", platform::EntryKind::kFile));
       },
       {"dl/Moon.2009.1080p.mkv", film + "Moon (2009).mkv"},
       ": the file it was made of is another one now, so it stays"},
      {"a copy changed since: it stays", "--copy",
       [&](Sys& s) { s.stamps["lib/Movies/Moon (2009)/|Moon (2009).mkv"].index += 1; },
       {"dl/Moon.2009.1080p.mkv", film + "Moon (2009).mkv"},
       ": the copy changed since it was made, so it stays"},
  };
  for (const Case& c : cases) {
    Sys sys({"dl/Moon.2009.1080p.mkv"});
    sys.contents["dl/|Moon.2009.1080p.mkv"] = "film";
    sys.Run({c.filing, "--into", "lib", "dl/*"});
    if (std::string(c.filing) == "--link") {
      EXPECT_EQ(sys.Stat({film, {}, {}}, "Moon (2009).mkv").id,
                sys.Stat({"dl/", {}, {}}, "Moon.2009.1080p.mkv").id)
          << c.what;
    }
    // Again: nothing new, nothing said but the count.
    const Tree filed = sys.Now();
    sys.console.out.clear();
    sys.Run({c.filing, "--into", "lib", "dl/*"});
    EXPECT_EQ(sys.Now(), filed) << c.what;
    EXPECT_EQ(sys.console.out, "1 already in the library\nDone\n\n") << c.what;
    if (c.meanwhile) c.meanwhile(sys);
    sys.console.out.clear();
    sys.Run({"--undo"});
    EXPECT_EQ(sys.Now(), Sys(c.after_undo).Now()) << c.what << "\n" << sys.console.out;
    EXPECT_NE(sys.console.out.find(c.said), std::string::npos)
        << c.what << "\n" << sys.console.out;
  }
}

// Filed as a version beside another copy, or renamed there since (by a
// media server), a file is known again by a second run: its version by its
// name, the renamed one by the journal of the run that filed it.
TEST(Library, AFileFiledBeforeIsThereAlready) {
  const std::string film = "lib/Movies/Moon (2009)/";
  for (const bool renamed : {false, true}) {
    Sys sys({film + "Moon (2009).mkv", "dl/Moon.2009.2160p.mkv"});
    sys.Run({"--link", "--into", "lib", "dl/*"});
    ASSERT_TRUE(sys.Find(film, "Moon (2009) - 2160p.mkv")) << sys.console.out;
    if (renamed) {
      ASSERT_TRUE(sys.Move({film, {}, {}}, "Moon (2009) - 2160p.mkv",
                           {film, {}, {}}, "Moon (2009) - 4K.mkv").ok());
    }
    sys.console.out.clear();
    sys.Run({"--link", "--into", "lib", "dl/*"});
    EXPECT_EQ(sys.console.out, "1 already in the library\nDone\n\n") << renamed;
  }
}
