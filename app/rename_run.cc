#include "app/rename_run.h"

#include <set>
#include <string>
#include <vector>

#include "app/entry_selection.h"
#include "app/failure_words.h"
#include "app/operand.h"
#include "app/pattern.h"
#include "app/reporter.h"
#include "app/safe_rename.h"
#include "rules/clean_name.h"
#include "rules/version_suffix.h"

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
         (o.confirm_terms && cleaned.terms_changed) ||
         (o.confirm_video && cleaned.video_changed);
}

struct Run {
  const RunOptions& options;
  platform::FileSystem& files;
  platform::Console& console;
  Journal& journal;
  Reporter reporter{console, {}};
  bool any_failed = false;

  // Ask, apply, report; true when the rename was made.  The renames made so
  // far are on record before the run waits for a key, and an interrupt
  // waits while the run is not waiting for one, so that the history and the
  // output never miss a rename that was made.
  bool Handle(const platform::Folder& folder, const std::string& shown,
              const Plan& plan, std::size_t number) {
    if (plan.confirm) {
      const bool written = WriteJournal(journal, files, console);
      files.ReleaseInterrupts();
      if (!written) {
        files.HoldInterrupts();
        return false;
      }
    }
    const bool go = ShowRename(reporter, shown, plan.entry->name,
                               plan.new_name, plan.confirm);
    if (plan.confirm) files.HoldInterrupts();
    if (!go) return false;
    const std::string failure =
        number != kNotRecorded
            ? SafeRename(files, folder, plan.entry->name, plan.new_name,
                         journal.run_id + "-" + std::to_string(number))
            : "its folder cannot be recorded for undo";
    ShowOutcome(reporter, plan.confirm, failure);
    if (!failure.empty()) any_failed = true;
    return failure.empty();
  }

  // A batch: its records go to the history in one write ahead of its
  // renames, and the renames made are marked after them.  A record that
  // cannot be written stops the run before its rename.
  void RunBatch(const platform::Folder& folder, const std::string& shown,
                const std::vector<Plan>& plans) {
    if (plans.empty() || journal.broken) return;
    files.HoldInterrupts();
    std::vector<std::size_t> numbers;
    numbers.reserve(plans.size());
    for (const Plan& plan : plans) {
      numbers.push_back(
          RecordRename(journal, files, folder, *plan.entry, plan.new_name));
    }
    if (WriteJournal(journal, files, console)) {
      for (std::size_t i = 0; i < plans.size() && !journal.broken; ++i) {
        if (Handle(folder, shown, plans[i], numbers[i]))
          RecordMade(journal, numbers[i]);
      }
    }
    WriteJournal(journal, files, console, true);
    if (journal.broken) any_failed = true;
    files.ReleaseInterrupts();
  }

  // The entries of one listing that the pattern and the selection take:
  // each cleaned into a plan (the rules make the new names), and the plans
  // carried out a batch at a time, so that the run's memory grows with the
  // listing alone.  False when the listing holds nothing the run takes.
  // With explain, an entry left alone by design says why: always where the
  // operand names it (explain_all), else where nothing else was taken.
  bool RunListing(const platform::Listing& listing, std::string_view pattern,
                  const std::string& shown, bool explain = false,
                  bool explain_all = false) {
    if (journal.broken) return true;  // the run stops
    std::vector<Plan> plans;
    plans.reserve(kBatch);
    bool matched = false;
    std::string reasons;
    std::vector<const platform::Entry*> videos;  // with /v: cleaned together
    for (const platform::Entry& entry : listing.entries) {
      if (!Takes(pattern, entry.name)) continue;
      if (const char* why = WhyLeftAlone(entry, options.selection)) {
        if (explain && (explain_all || !entry.hidden)) {
          reasons += ForScreen(console, shown + entry.name);
          if (entry.kind == platform::EntryKind::kDirectory && !entry.link)
            reasons += '/';
          reasons.append(": ").append(why).append("\n");
        }
        continue;
      }
      matched = true;
      if (options.rules.video_rule) {
        videos.push_back(&entry);
        continue;
      }
      rules::CleanedName cleaned =
          rules::CleanName(entry.name, options.rules,
                           entry.kind == platform::EntryKind::kDirectory);
      AddPlan(listing, shown, plans, entry, cleaned);
    }
    AddVideoPlans(listing, shown, plans, videos);
    RunBatch(listing.folder, shown, plans);
    if (!reasons.empty() && (explain_all || !matched)) {
      console.Print(reasons);
      return true;
    }
    return matched;
  }

  void AddPlan(const platform::Listing& listing, const std::string& shown,
               std::vector<Plan>& plans, const platform::Entry& entry,
               rules::CleanedName& cleaned) {
    if (cleaned.name.empty() || cleaned.name == entry.name) return;
    plans.push_back(
        Plan{&entry, std::move(cleaned.name), ConfirmDue(options, cleaned)});
    if (plans.size() == kBatch) {
      RunBatch(listing.folder, shown, plans);
      plans.clear();
    }
  }

  // With /v the listing's entries are cleaned together before the first
  // batch: names of different entries that came out the same are told apart
  // by their versions (rules/version_suffix.h).
  void AddVideoPlans(const platform::Listing& listing, const std::string& shown,
                     std::vector<Plan>& plans,
                     const std::vector<const platform::Entry*>& entries) {
    std::vector<rules::CleanedName> cleaned;
    std::vector<rules::VersionEntry> versions;
    for (const platform::Entry* entry : entries) {
      const bool directory = entry->kind == platform::EntryKind::kDirectory;
      cleaned.push_back(rules::CleanName(entry->name, options.rules, directory));
      versions.push_back({entry->name, directory, cleaned.back().name});
    }
    rules::SeparateVersions(versions, options.rules.highest_year);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      cleaned[i].name = std::move(versions[i].name);
      AddPlan(listing, shown, plans, *entries[i], cleaned[i]);
    }
  }

  // With /s: the folders below first, deepest first, each folder's entries
  // before the folder itself can be renamed; links and hidden folders are
  // not entered.  Each folder is listed once, relative to the folder above
  // it, and stays open while the walk is below it.  Lines show paths from
  // the folder the run started in.
  bool RunTree(const platform::Listing& listing, const std::string& pattern) {
    if (!listing.failure.ok()) {
      // A folder gone, or another one (a link, say) in its place since it
      // was listed: its entries are left alone.
      const std::string words =
          listing.failure.failure == platform::Failure::kNotFound
              ? "no longer the folder that was listed; its entries are left alone"
              : FailureWords(listing.failure, files);
      console.Print(ForScreen(console, listing.folder.path) + " [FAILED: " +
                    words + "]\n");
      any_failed = true;
      return false;
    }
    bool matched = false;
    for (const platform::Entry& entry : listing.entries) {
      if (entry.kind != platform::EntryKind::kDirectory || entry.hidden ||
          entry.link)
        continue;
      matched = RunTree(files.ListBelow(listing.folder, entry), pattern) ||
                matched;
    }
    return RunListing(listing, pattern, listing.folder.path) || matched;
  }

  bool RunOperand(const std::string& operand, platform::PathStyle style,
                  bool show_folder) {
    const OperandParts parts = SplitOperand(operand, style);
    const bool pattern = HasWildcard(parts.name);
    if (options.recursive && (pattern || parts.name.empty())) {
      if (parts.name.empty()) return false;
      return RunTree(files.ListFolder(parts.folder), parts.name);
    }
    platform::Listing listing = ListOperand(files, operand, style);
    if (!listing.failure.ok()) {
      // The failure is the operand's answer: no "No matches" after it.
      console.Print(ForScreen(console, operand) + " [FAILED: " +
                    FailureWords(listing.failure, files) + "]\n");
      any_failed = true;
      return true;
    }
    // "f.avi/" names a folder: a file of that name is not one.
    if (!pattern && style == platform::PathStyle::kPosix &&
        operand.ends_with("/") && listing.entries.size() == 1 &&
        listing.entries[0].kind != platform::EntryKind::kDirectory) {
      console.Print(ForScreen(console, operand) + ": not a folder\n");
      any_failed = true;
      return true;
    }
    // With /s a folder named walks that folder; a file named is renamed.
    if (options.recursive && listing.entries.size() == 1 &&
        listing.entries[0].kind == platform::EntryKind::kDirectory &&
        !listing.entries[0].link) {
      return RunTree(
          files.ListFolder(parts.folder + listing.entries[0].name + "/"), "*");
    }
    return RunListing(listing, "*", show_folder ? parts.folder : "", true,
                      !pattern);
  }
};

}  // namespace

RunEnd RunRename(const RunOptions& options,
                 const std::vector<std::string>& operands,
                 platform::PathStyle style, platform::FileSystem& files,
                 platform::Console& console, Journal& journal) {
  Run run{options, files, console, journal};
  // Operands in several folders: each line says which.
  std::set<std::string> folders;
  for (const std::string& operand : operands)
    folders.insert(SplitOperand(operand, style).folder);
  const bool show_folder = folders.size() > 1;
  bool any_matched = false;
  for (const std::string& operand : operands) {
    if (journal.broken) break;  // said: the run stops
    if (run.RunOperand(operand, style, show_folder)) {
      any_matched = true;
    } else if (!journal.broken) {
      console.Print("Error: No matches to \"" + ForScreen(console, operand) +
                    "\"\n\n");
    }
  }
  CloseJournal(journal, files, console);
  if (journal.broken) return {false, true};
  return {any_matched, run.any_failed};
}

}  // namespace app
