#include "app/program.h"

#include <chrono>
#include <optional>

#include "app/command_line/argument_parser.h"
#include "app/carry/dry_run_side.h"
#include "app/command_line/help_text.h"
#include "app/journal/filed_before.h"
#include "app/rename_run.h"
#include "app/reporter.h"
#include "app/command_line/tail_parser.h"
#include "app/terms_file.h"
#include "app/undo/undo_run.h"
#include "rules/year_rule.h"

namespace app {
namespace {

// The renames or the undo, through the file system the request asks for.
RunEnd Carry(const Request& request, const rules::UserTerms* terms,
             System& system, platform::FileSystem& files, RunCounts& counts) {
  platform::Console& console = system.console;
  platform::UserFiles& user_files = system.user_files;
  if (request.history) return ListHistory(files, user_files, console);
  if (request.undo)
    return RunUndo(files, system.interrupts, user_files, console,
                   {request.undo_id,
                    MakeRunId(system.start_time, system.process, system.random),
                    !request.dry_run, request.dry_run});
  RunOptions options = request.options;
  options.rules.user_terms = terms;
  options.rules.highest_year = rules::HighestValidYear(system.current_year);
  options.rules.letter_case = system.letter_case;
  options.rules.readings = system.name_readings;
  options.list_made_folders = request.dry_run;
  // A dry run is never recorded.
  Journal journal =
      OpenJournal(user_files, console, options.keep_history && !request.dry_run,
                  system.start_time, system.process, system.random,
                  request.option_words);
  // A run that leaves the downloads as they are files nothing twice.
  std::vector<platform::EntryId> filed;
  if (options.IntoLibrary() && options.KeepsDownloads())
    filed = FiledBefore(user_files);
  return RunRename(options, request.operands, system.path_style, files,
                   system.interrupts, console, journal, counts, nullptr,
                   std::move(filed));
}

}  // namespace

int RunProgram(const platform::CommandLine& command_line, System& system) {
  platform::Console& console = system.console;
  // A pattern that names no entry's exact name must never be matched.
  if (!command_line.exact) {
    console.PrintError(
        "namewisp: the command line holds a character that cannot be read "
        "(a lone UTF-16 surrogate)");
    return 2;
  }
  const Request request = command_line.is_tail
                              ? ParseTail(command_line.tail)
                              : ParseArguments(command_line.arguments);
  if (!request.usage_error.empty()) {
    console.PrintError(request.usage_error);
    return 2;
  }
  // A file named like a dash option, put first by the shell's "*", would
  // have been taken for one.
  for (const std::string& word : request.dash_words) {
    if (system.files.Stat(platform::Folder{}, word).exists) {
      console.PrintError("namewisp: \"" + word +
                         "\" is an option and the name of a file here: put "
                         "\"--\" before the file names");
      return 2;
    }
  }
  if (request.version) {
    console.Print("namewisp " NAMEWISP_VERSION "\n");
    return 0;
  }
  if (request.help) {
    for (const std::string& line :
         HelpLines(rules::HighestValidYear(system.current_year),
                   !command_line.is_tail)) {
      console.Print(line + "\n");
    }
    console.Print("\n");
    return 0;
  }
  return RunRequest(request, system);
}

int RunRequest(const Request& request, System& system) {
  platform::Console& console = system.console;
  // The user's terms, read once and checked before anything is listed.
  std::optional<rules::UserTerms> terms;
  if (!request.undo &&
      (request.options.rules.term_rule || !request.terms_file.empty())) {
    terms = LoadTermsFile(request.terms_file, system.user_files, console);
    if (!terms) return 2;
  }
  const rules::UserTerms* user_terms = terms ? &*terms : nullptr;
  RunEnd end;
  RunCounts counts;
  if (request.dry_run) {
    DryRunSide dry_run(system.files);
    end = Carry(request, user_terms, system, dry_run, counts);
    if (end.done) {
      const std::string summary = SummaryLine(counts, true);
      if (!summary.empty()) console.Print(summary + "\n");
      console.Print("Dry run: nothing was renamed.\n");
    }
  } else {
    end = Carry(request, user_terms, system, system.files, counts);
    const std::string summary = SummaryLine(counts, false);
    if (end.done && !summary.empty()) console.Print(summary + "\n");
  }
  if (end.done) console.Print("Done\n\n");
  return end.failed ? 1 : 0;
}

int CurrentYear() {
  using namespace std::chrono;
  year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

}  // namespace app
