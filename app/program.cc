#include "app/program.h"

#include <chrono>
#include <optional>

#include "app/argument_parser.h"
#include "app/help_text.h"
#include "app/rename_run.h"
#include "app/tail_parser.h"
#include "app/terms_file.h"
#include "app/undo_run.h"
#include "rules/year_rule.h"

namespace app {

int RunProgram(const platform::CommandLine& command_line, int current_year,
               RunServices& s) {
  const int highest_year = rules::HighestValidYear(current_year);
  const Request request = command_line.is_tail
                              ? ParseTail(command_line.tail)
                              : ParseArguments(command_line.arguments);
  if (!request.usage_error.empty()) {
    s.print_error(request.usage_error);
    return 2;
  }
  if (request.version) {
    s.print("namewisp " NAMEWISP_VERSION "\n");
    return 0;
  }
  if (request.help) {
    for (const std::string& line :
         HelpLines(highest_year, !command_line.is_tail)) {
      s.print(line + "\n");
    }
    s.print("\n");
    return 0;
  }
  if (request.undo) return RunUndo(request.options.dry_run, s);
  // The user's terms, read once and checked before anything is listed.
  std::optional<rules::UserTerms> terms;
  if (request.options.term_rule || !request.terms_file.empty()) {
    terms = LoadTermsFile(request.terms_file, s);
    if (!terms) return 2;
  }
  return RunRename(request.options, request.operands, highest_year,
                   terms ? &*terms : nullptr, s);
}

int CurrentYear() {
  using namespace std::chrono;
  year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

}  // namespace app
