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
  s.print(text);
  s.print_line_end();
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
    if (ConfirmDue(options, cleaned)) {
      s.print("[y/N] " + listed + " ==> ");
      if (Wraps(cleaned.name, s)) {
        s.print_line_end();
        s.print("       ");
      }
      s.print(cleaned.name + " ");
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
    s.print(listed + " ==> ");
    if (Wraps(cleaned.name, s)) {
      s.print_line_end();
      s.print("  ");
    }
    PrintLine(s, cleaned.name);
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
