#include "app/rename_run.h"

#include <string>

#include "rules/clean_name.h"
#include "text/wide.h"

namespace app {
namespace {

int AttributeCode(int selection_mode) {
  switch (selection_mode) {
    case 1: return 0x10;  // files and directories
    case 2: return 0x90;  // directories only
    default: return 0x80;  // files only
  }
}

// True when the new name, printed from the cursor on, would reach the last
// column of the window or beyond.
bool Wraps(std::string_view new_name, RunServices& s) {
  return s.screen_width() < s.cursor_column() + s.display_columns(new_name);
}

bool ConfirmDue(const RunOptions& o, const rules::CleanedName& cleaned) {
  return o.confirm_all || (o.confirm_year && cleaned.year_changed) ||
         (o.confirm_terms && cleaned.terms_changed);
}

bool IsYes(const std::u16string& key) {
  return text::WideLowerForm(key) == u"y";
}

void PrintLine(RunServices& s, std::string_view text) {
  std::string line(text);
  line.append(kLineEnd);
  s.print(line);
}

// Appends, to the start of a rename line in `line`, the line break and indent
// when the new name would wrap.  Where the platform can tell the column
// without printing, nothing is printed and the caller writes the whole line
// in one go; elsewhere the start is printed first and `line` emptied.
void AppendBreakIfWraps(std::string& line, std::string_view new_name,
                        std::string_view indent, RunServices& s) {
  const int column = s.cursor_column_after ? s.cursor_column_after(line) : 0;
  bool wraps;
  if (column > 0) {
    // A name never takes more columns than bytes: when even its bytes fit,
    // it need not be measured.
    const int width = s.screen_width();
    wraps = width - column < static_cast<int>(new_name.size()) &&
            width < column + s.display_columns(new_name);
  } else {
    s.print(line);
    line.clear();
    wraps = Wraps(new_name, s);
  }
  if (wraps) {
    line.append(kLineEnd);
    line.append(indent);
  }
}

}  // namespace

int RunRename(const RunOptions& options, std::string_view file_spec,
              int highest_year, RunServices& s) {
  rules::NameRules name_rules;
  name_rules.from_upper = options.from_upper;
  name_rules.from_lower = options.from_lower;
  name_rules.year_rule = options.year_rule;
  name_rules.term_rule = options.term_rule;
  name_rules.highest_year = highest_year;

  std::string listed =
      s.list_first(file_spec, AttributeCode(options.selection_mode));
  if (listed.empty()) {
    PrintLine(s, "Error: No matches to \"" + std::string(file_spec) + "\"");
    s.print_line_end();
    if (s.shell_expands_patterns &&
        file_spec.find(' ') != std::string_view::npos) {
      PrintLine(s,
                "hint: quote the pattern so that the shell passes it on: "
                "namewisp /y \"*.avi\"");
    }
    return 0;
  }
  // Names from the listing carry no directory part; renames act in the
  // folder that was listed.
  const std::string directory = s.list_directory();
  // A dry run answers every rename with success and touches nothing.
  auto rename = [&](const std::string& old_name, const std::string& new_name,
                    std::string& reason) {
    return options.dry_run || s.rename(directory, old_name, new_name, reason);
  };
  bool any_failed = false;
  for (; !listed.empty(); listed = s.list_next()) {
    rules::CleanedName cleaned = rules::CleanName(listed, name_rules);
    if (cleaned.name.empty() || cleaned.name == listed) continue;
    std::string reason;
    // Each line is written before its rename, so that the output is the
    // record of what was done; a prompt stands before the key wait.
    std::string line;
    line.reserve(listed.size() + cleaned.name.size() + 20);  // one allocation
    if (ConfirmDue(options, cleaned)) {
      line.append("[y/N] ").append(listed).append(" ==> ");
      AppendBreakIfWraps(line, cleaned.name, "       ", s);
      line.append(cleaned.name).push_back(' ');
      s.print(line);
      if (!IsYes(s.wait_key())) {
        PrintLine(s, "[SKIPPED]");
      } else if (rename(listed, cleaned.name, reason)) {
        PrintLine(s, "[OK]");
      } else {
        PrintLine(s, "[FAILED: " + reason + "]");
        any_failed = true;
      }
      continue;
    }
    line.append(listed).append(" ==> ");
    AppendBreakIfWraps(line, cleaned.name, "  ", s);
    line.append(cleaned.name).append(kLineEnd);
    s.print(line);
    if (!rename(listed, cleaned.name, reason)) {
      PrintLine(s, "  [FAILED: " + reason + "]");
      any_failed = true;
    }
  }
  if (options.dry_run) PrintLine(s, "Dry run: nothing was renamed.");
  PrintLine(s, "Done");
  s.print_line_end();
  return any_failed ? 1 : 0;
}

}  // namespace app
