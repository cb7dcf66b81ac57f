#include "rules/download_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each file of a download folder ("Subs/" marks one of its subtitle
// folder, "Subs/X/" one of a folder inside it) and the name it is filed by, "name in: placed by" for one that
// keeps its own name, or "- why".
std::vector<std::string> Plan(const std::vector<std::string>& listed) {
  rules::NameRules r;
  r.video_rule = true;
  r.highest_year = 2026;
  std::vector<rules::DownloadFile> files;
  for (const std::string& name : listed) {
    const bool in_subs = name.starts_with("Subs/");
    std::string_view file = std::string_view(name).substr(in_subs ? 5 : 0), folder;
    if (const std::size_t slash = file.find('/'); in_subs && slash != file.npos) {
      folder = file.substr(0, slash);
      file.remove_prefix(slash + 1);
    }
    files.push_back({file, in_subs, folder, -1, {}, rules::ReadForPlan(file, r)});
  }
  std::vector<std::string> out;
  for (const rules::DownloadPlace& p :
       rules::PlanDownload("", rules::ReadForPlan("", r, true), files, r)) {
    if (p.why) {
      out.push_back(std::string("- ") + p.why);
    } else if (!p.own_name.empty()) {
      out.push_back(p.own_name + " in: " + p.final_name);
    } else {
      out.push_back(p.final_name);
    }
  }
  return out;
}

constexpr const char* kMany =
    "- matches no video of the download, and it holds more than one: left "
    "where it is";

TEST(DownloadFolder, FilesGoWithTheirVideo) {
  struct Case {
    std::vector<std::string> listed, placed;
  };
  const Case cases[] = {
      // A film: its sample and subtitles beside it, the language read from
      // the subtitle's own name; what matches nothing goes with the one
      // video under its own name.
      {{"Film.2010.1080p.BluRay.x264-GRP.mkv",
        "Film.2010.1080p.BluRay.x264-GRP-sample.mkv", "Subs/2_English.srt",
        "Subs/3_Brazilian.Portuguese.pt-BR.forced.srt", "GRP.nfo", "cover.jpg"},
       {"Film (2010).mkv", "Film (2010)-sample.mkv", "Film (2010).English.srt",
        "Film (2010).Portuguese.pt-BR.forced.srt", "GRP.nfo in: Film (2010).mkv",
        "cover.jpg in: Film (2010).mkv"}},
      // A season pack: each subtitle beside the episode its name tells,
      // by the listed stem or by the "/v" name.
      {{"Show.S01E01.1080p.WEB-DL.x264-GRP.mkv",
        "Show.S01E02.1080p.WEB-DL.x264-GRP.mkv",
        "Subs/Show.S01E02.eng.srt",
        "Subs/Show.S01E01.1080p.WEB-DL.x264-GRP.ger.srt", "GRP.nfo",
        "Subs/English.srt"},
       {"Show S01E01.mkv", "Show S01E02.mkv", "Show S01E02.eng.srt",
        "Show S01E01.ger.srt", kMany, kMany}},
      // A folder of subtitles for each episode, named for it (the listed
      // stem or the "/v" name); one named for none stays.
      {{"Show.S01E01.1080p.WEB-DL.x264-GRP.mkv",
        "Show.S01E02.1080p.WEB-DL.x264-GRP.mkv",
        "Subs/Show.S01E01.1080p.WEB-DL.x264-GRP/2_English.srt",
        "Subs/Show.S01E01.1080p.WEB-DL.x264-GRP/3_English.forced.srt",
        "Subs/Show.S01E02/2_English.srt", "Subs/Other/2_English.srt"},
       {"Show S01E01.mkv", "Show S01E02.mkv", "Show S01E01.English.srt",
        "Show S01E01.English.forced.srt", "Show S01E02.English.srt", kMany}},
      // Two subtitles that would get one name: the second stays.
      {{"Film.2010.mkv", "Subs/English.srt", "Subs/1_English.srt"},
       {"Film (2010).mkv", "Film (2010).English.srt",
        "- another file of the download would get that name too, left where "
        "it is"}},
      // No video at all; and a file in the subtitle folder that is none.
      {{"info.txt", "Subs/English.srt", "Subs/readme.txt"},
       {"- the download holds no video to go with: left where it is",
        "- the download holds no video to go with: left where it is",
        "- not a subtitle, in the subtitle folder: left where it is"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Plan(c.listed), c.placed) << c.listed[0];
}

TEST(DownloadFolder, SubtitleFolderInAnyCase) {
  for (const char* name : {"Subs", "subs", "SUBTITLES", "Subtitles"})
    EXPECT_TRUE(rules::IsSubtitleFolder(name)) << name;
  for (const char* name : {"Sample", "Subs2", "Extras"})
    EXPECT_FALSE(rules::IsSubtitleFolder(name)) << name;
}

}  // namespace
