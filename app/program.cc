#include "app/program.h"

#include <chrono>

#include "app/command_line.h"
#include "app/help_text.h"
#include "app/long_options.h"
#include "app/rename_run.h"
#include "platform/platform.h"
#include "rules/year_rule.h"

namespace app {

int RunProgram(std::u16string_view tail, int current_year, RunServices& s) {
  int highest_year = rules::HighestValidYear(current_year);
  LongOptions long_options = CutLongOptions(tail);
  if (long_options.version) {
    s.print("namewisp " NAMEWISP_VERSION);
    s.print_line_end();
    return 0;
  }
  if (long_options.help || IsHelpRequest(long_options.rest)) {
    for (const std::string& line : HelpLines(highest_year)) {
      s.print(line);
      s.print_line_end();
    }
    s.print_line_end();
    return 0;
  }
  ParsedTail parsed = ParseOptions(platform::ToAnsi(long_options.rest));
  parsed.options.dry_run = long_options.dry_run;
  return RunRename(parsed.options, parsed.file_spec, highest_year, s);
}

int CurrentYear() {
  using namespace std::chrono;
  year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

}  // namespace app
