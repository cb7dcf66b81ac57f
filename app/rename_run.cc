#include "app/rename_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/dry_run.h"
#include "app/entry_selection.h"
#include "app/failure_words.h"
#include "app/history.h"
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

// Plans are recorded in the history and carried out in batches of this many.
constexpr std::size_t kBatch = 256;

bool ConfirmDue(const RunOptions& o, const rules::CleanedName& cleaned) {
  return o.confirm_all || (o.confirm_year && cleaned.year_changed) ||
         (o.confirm_episode && cleaned.episode_changed) ||
         (o.confirm_terms && cleaned.terms_changed);
}

// True when the new name, printed from the cursor on, would reach the last
// column of the window or beyond.
bool Wraps(RunServices& s, std::string_view new_name) {
  const int column = s.cursor_column();
  const int width = s.screen_width();
  // A name never takes more columns than bytes: when even its bytes fit, it
  // need not be measured.
  return width - column < static_cast<int>(new_name.size()) &&
         width < column + s.display_columns(new_name);
}

struct Run {
  const RunOptions& options;
  RunServices& s;
  rules::NameRules rules;
  DryRunFolders dry_run;
  Journal journal;
  bool any_failed = false;
  std::string line;  // the line being printed

  // "" when the entry has its new name (or would have, in a dry run), else
  // the words of the failure.
  std::string Apply(const std::string& directory, const Plan& plan) {
    if (options.dry_run)
      return PredictRename(s, dry_run, directory, plan.entry->name,
                           plan.new_name);
    return SafeRename(s, directory, plan.entry->name, plan.new_name);
  }

  // Each line is written before its rename, so that the output is the
  // record of what was done; a prompt stands before the key wait.  Returns
  // true when the rename was made.
  bool Handle(const std::string& directory, const std::string& shown,
              const Plan& plan) {
    // The line is made in one buffer, kept from line to line: no allocation
    // per rename.
    line.assign(plan.confirm ? "[y/N] " : "").append(shown);
    line.append(plan.entry->name).append(" ==> ");
    if (!plan.confirm) {
      s.print(line);
      line.assign(shown).append(plan.new_name);
      if (Wraps(s, line)) line.insert(0, "\n  ");
      s.print(line.append("\n"));
      const std::string failure = Apply(directory, plan);
      if (failure.empty()) return true;
      Fail("  [FAILED: " + failure + "]\n");
      return false;
    }
    // The renames made so far are on record before the run waits.
    WriteJournal(journal, s);
    Release();
    s.print(line);
    line.assign(shown).append(plan.new_name);
    if (Wraps(s, line)) line.insert(0, "\n       ");
    const platform::Answer answer = s.ask(line.append(" "));
    Hold();
    if (answer != platform::Answer::kYes) {
      s.print("[SKIPPED]\n");
      return false;
    }
    const std::string failure = Apply(directory, plan);
    if (failure.empty()) {
      s.print("[OK]\n");
      return true;
    }
    Fail("[FAILED: " + failure + "]\n");
    return false;
  }

  // A batch: its records go to the history in one write ahead of its
  // renames, and the renames made are marked after them.  An interrupt waits
  // while the run is not waiting for a key, so that the history and the
  // output never miss a rename that was made.
  void RunBatch(const std::string& directory, const std::string& shown,
                const Plan* first, const Plan* end) {
    if (first == end) return;
    Hold();
    std::vector<std::size_t> numbers;
    numbers.reserve(static_cast<std::size_t>(end - first));
    for (const Plan* plan = first; plan != end; ++plan) {
      numbers.push_back(RecordRename(journal, s, directory, plan->entry->name,
                                     plan->new_name));
    }
    WriteJournal(journal, s);
    for (const Plan* plan = first; plan != end; ++plan) {
      if (Handle(directory, shown, *plan))
        RecordMade(journal, numbers[static_cast<std::size_t>(plan - first)]);
    }
    WriteJournal(journal, s);
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

  // The entries of one listing that the run takes: each cleaned into a
  // plan, and the plans carried out a batch at a time, so that the run's
  // memory grows with the listing alone.  False when the listing holds
  // nothing the run takes.
  bool RunListing(const platform::Listing& listing, const std::string& shown) {
    std::vector<Plan> plans;
    plans.reserve(kBatch);
    bool matched = false;
    for (const platform::Entry& entry : listing.entries) {
      if (!IsSelected(entry, options.selection)) continue;
      if (options.dry_run &&
          RenamedAway(dry_run, listing.directory, entry.name))
        continue;
      matched = true;
      rules::CleanedName cleaned = rules::CleanName(
          entry.name, rules, entry.kind == platform::EntryKind::kDirectory);
      if (cleaned.name.empty() || cleaned.name == entry.name) continue;
      plans.push_back(
          Plan{&entry, std::move(cleaned.name), ConfirmDue(options, cleaned)});
      if (plans.size() == kBatch) {
        RunBatch(listing.directory, shown, plans.data(),
                 plans.data() + plans.size());
        plans.clear();
      }
    }
    RunBatch(listing.directory, shown, plans.data(), plans.data() + plans.size());
    return matched;
  }

  // With /s: the folders below first, deepest first, each folder's entries
  // before the folder itself can be renamed; links and hidden folders are
  // not entered.  Lines show paths from the folder the run started in.
  // `matching` is the folder's listing of the pattern when one was made
  // already (the operand's own, at the top).  A listing is read again only
  // where something below may have changed since: a folder is read once
  // when it holds no folder to enter and the pattern takes every name.
  bool RunTree(const std::string& folder, const std::string& pattern,
               std::optional<platform::Listing> matching) {
    const bool every_name = pattern == "*";
    std::optional<platform::Listing> all;
    if (every_name && matching) {
      all = std::move(*matching);
      matching.reset();
    }
    if (!all) all = s.list(folder + "*");
    if (!all->failure.ok()) {
      Fail(folder + " [FAILED: " + FailureWords(all->failure, s) + "]\n");
      return false;
    }
    bool matched = false, entered = false;
    for (const platform::Entry& entry : all->entries) {
      if (entry.kind != platform::EntryKind::kDirectory || entry.hidden ||
          entry.link)
        continue;
      const std::string below = folder + entry.name + s.folder_separator;
      matched = RunTree(below, pattern, std::nullopt) || matched;
      entered = true;
    }
    if (every_name && !entered) return RunListing(*all, folder) || matched;
    if (!matching || entered) matching = s.list(folder + pattern);
    return RunListing(*matching, folder) || matched;
  }

  bool RunOperand(const std::string& operand) {
    platform::Listing listing = s.list(operand);
    if (!options.recursive) return RunListing(listing, "");
    // The pattern is what follows the operand's folder part.
    const std::string folder = listing.directory;
    const std::string pattern =
        operand.substr(std::min(folder.size(), operand.size()));
    return RunTree(folder, pattern, std::move(listing));
  }
};

}  // namespace

int RunRename(const RunOptions& options,
              const std::vector<std::string>& operands, int highest_year,
              const rules::UserTerms* user_terms, RunServices& s) {
  Run run{options, s, {}, {}, OpenJournal(s, options.keep_history && !options.dry_run),
          false, {}};
  run.rules.from_upper = options.from_upper;
  run.rules.from_lower = options.from_lower;
  run.rules.year_rule = options.year_rule;
  run.rules.episode_rule = options.episode_rule;
  run.rules.term_rule = options.term_rule;
  run.rules.user_terms = user_terms;
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
