#include "app/command_line/help_text.h"

#include "app/command_line/option_table.h"
#include "rules/year_rule.h"

namespace app {

std::vector<std::string> HelpLines(int highest_year, bool arguments) {
  std::vector<std::string> lines = {
      "namewisp - remove periods from filenames (but preserve extension)",
      " (also removes underscores, double spaces, and normalizes brackets)",
      "usage: namewisp " + UsageOptions() +
          (arguments ? " filespec..." : " filespec"),
      "include /c before filespec to force each rename to be confirmed",
      "include /d to include directories as well as files, or /D to only do "
      "dirs",
      "include /y to look for dates (ie. 4-digit year) and put them in "
      "brackets and",
      " toss everything after that -- ie. \"blah 2010 xxx\"=>\"blah (2010)\".",
      " (valid years are between " +
          std::to_string(rules::kLowestValidYear) + " and " +
          std::to_string(highest_year) + "; all others are ignored).",
      "making it /yc forces confirms, but only on files affected by this rule",
      " (a good idea since /y is more potentially destructive)",
      "include /v (or /vc to confirm) for the names a media library wants:",
      " \"Title (Year)\", \"Show S01E02\", \"Show 2019-03-14\", \"Show S02\", "
      "\"Show - 07\"",
      " (it does the work of /y, /e and /k; versions stay apart as \" - 2160p\")",
      " (what follows the year or episode goes, but parts: \" - pt1\", and extras:",
      "  \" - Words-featurette\"; tidy names stay)",
      " (subtitles, .nfo and images of a video follow it to its new name)",
      "include /k (or /kc to confirm) to kill common terms like \"Xvid\"",
      "include /m to converted to Mixed-Case if all lower- or UPPERcase",
      " (optionally /ml converts only from lowercase, or /mu for upper)",
      "filespec can be a literal filename or wildcards",
      "include /e (or /ec to confirm) to keep an episode as S01E02 and toss the rest",
      " (ie. \"show 1x02 name\"=>\"show S01E02\"; /y keeps such marks, parts and CDs)",
      " (dates and seasons are kept too; subtitles keep their language: .en.srt)",
      "keys at a [y/N] question: y renames, a renames this one and all the "
      "rest, q stops (the rest are skipped), any other key skips",
  };
  // The long options stand after the "/" options' lines.
  const std::vector<std::string> long_lines = LongOptionHelpLines();
  lines.insert(lines.end() - 1, long_lines.begin(), long_lines.end());
  if (arguments) {
    lines.push_back("-- ends the options: every argument after it is a filespec");
  }
  return lines;
}

}  // namespace app
