#include "app/rename_run.h"

#include <string>

#include "app/dry_run.h"
#include "app/entry_selection.h"
#include "app/safe_rename.h"
#include "rules/clean_name.h"

namespace app {
namespace {

// One rename the run means to make.
struct Plan {
  const platform::Entry* entry;
  std::string new_name;
  bool confirm;
};

bool ConfirmDue(const RunOptions& o, const rules::CleanedName& cleaned) {
  return o.confirm_all || (o.confirm_year && cleaned.year_changed) ||
         (o.confirm_terms && cleaned.terms_changed);
}

// The line break and indent in front of the new name when it would reach
// the last column of the window or beyond, printed from the cursor on.
std::string BreakIfWraps(RunServices& s, std::string_view new_name,
                         std::string_view indent) {
  const int column = s.cursor_column();
  const int width = s.screen_width();
  // A name never takes more columns than bytes: when even its bytes fit, it
  // need not be measured.
  const bool wraps = width - column < static_cast<int>(new_name.size()) &&
                     width < column + s.display_columns(new_name);
  std::string line_break;
  if (wraps) line_break.append("\n").append(indent);
  return line_break;
}

struct Run {
  const RunOptions& options;
  RunServices& s;
  rules::NameRules rules;
  DryRunFolders dry_run;
  bool any_failed = false;

  // "" when the entry has its new name (or would have, in a dry run), else
  // the words of the failure.
  std::string Apply(const std::string& directory, const Plan& plan) {
    if (options.dry_run)
      return PredictRename(s, dry_run, directory, plan.entry->name,
                           plan.new_name);
    return SafeRename(s, directory, plan.entry->name, plan.new_name);
  }

  // Each line is written before its rename, so that the output is the
  // record of what was done; a prompt stands before the key wait.  An
  // interrupt waits from the line to the end of its rename: the record
  // never shows a rename that was not tried.
  void Handle(const std::string& directory, const Plan& plan) {
    const std::string& old_name = plan.entry->name;
    if (!plan.confirm) {
      Hold();
      s.print(old_name + " ==> ");
      s.print(BreakIfWraps(s, plan.new_name, "  ") + plan.new_name + "\n");
      const std::string failure = Apply(directory, plan);
      if (!failure.empty()) Fail("  [FAILED: " + failure + "]\n");
      Release();
      return;
    }
    s.print("[y/N] " + old_name + " ==> ");
    const platform::Answer answer =
        s.ask(BreakIfWraps(s, plan.new_name, "       ") + plan.new_name + " ");
    if (answer != platform::Answer::kYes) {
      s.print("[SKIPPED]\n");
      return;
    }
    Hold();
    const std::string failure = Apply(directory, plan);
    if (failure.empty()) {
      s.print("[OK]\n");
    } else {
      Fail("[FAILED: " + failure + "]\n");
    }
    Release();
  }

  void Hold() {
    if (s.hold_interrupts) s.hold_interrupts();
  }
  void Release() {
    if (s.release_interrupts) s.release_interrupts();
  }

  void Fail(const std::string& line) {
    s.print(line);
    any_failed = true;
  }

  // False when the operand names nothing the run takes.
  bool RunOperand(const std::string& operand) {
    const platform::Listing listing = s.list(operand);
    bool matched = false;
    for (const platform::Entry& entry : listing.entries) {
      if (!IsSelected(entry, options.selection)) continue;
      if (options.dry_run &&
          RenamedAway(dry_run, listing.directory, entry.name))
        continue;
      matched = true;
      rules::CleanedName cleaned = rules::CleanName(entry.name, rules);
      if (cleaned.name.empty() || cleaned.name == entry.name) continue;
      Handle(listing.directory,
             Plan{&entry, std::move(cleaned.name), ConfirmDue(options, cleaned)});
    }
    return matched;
  }
};

}  // namespace

int RunRename(const RunOptions& options,
              const std::vector<std::string>& operands, int highest_year,
              RunServices& s) {
  Run run{options, s, {}, {}, false};
  run.rules.from_upper = options.from_upper;
  run.rules.from_lower = options.from_lower;
  run.rules.year_rule = options.year_rule;
  run.rules.term_rule = options.term_rule;
  run.rules.highest_year = highest_year;
  run.rules.letter_case = s.letter_case;

  bool any_matched = false;
  for (const std::string& operand : operands) {
    if (run.RunOperand(operand)) {
      any_matched = true;
    } else {
      s.print("Error: No matches to \"" + operand + "\"\n\n");
    }
  }
  if (!any_matched) return 0;
  if (options.dry_run) s.print("Dry run: nothing was renamed.\n");
  s.print("Done\n\n");
  return run.any_failed ? 1 : 0;
}

}  // namespace app
