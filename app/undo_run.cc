#include "app/undo_run.h"

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/history_format.h"
#include "app/reporter.h"
#include "app/safe_rename.h"
#include "app/whole_file.h"

namespace app {
namespace {

// Damaged lines said one each, up to this many; the rest summed up.
constexpr std::size_t kProblemsShown = 5;
// Undone marks go to the history this many at a time.
constexpr std::size_t kMarkBatch = 256;

struct History {
  std::string path;
  HistoryRead read;
  bool torn = false;  // its last line was cut short
  bool damaged = false;  // a line before it could not be read
};

// The history read whole and its damage said; nothing when it cannot be
// used (said on standard error).
std::optional<History> ReadKept(platform::FileSystem& files,
                                platform::Console& console) {
  History history;
  history.path = files.UserFilePath(platform::UserFile::kHistory);
  if (history.path.empty()) {
    console.PrintError("namewisp: there is no undo history (no home folder)");
    return std::nullopt;
  }
  const platform::FileText file = ReadWholeFile(files, history.path);
  if (file.exists && !file.read) {
    console.PrintError("namewisp: the undo history " + history.path +
                       " cannot be read (it must be a regular file of your "
                       "own, in a folder of your own)");
    return std::nullopt;
  }
  history.read = ReadHistory(file.text);
  history.torn = !file.text.empty() && file.text.back() != '\n';
  const std::vector<std::string>& problems = history.read.problems;
  for (const std::string& problem : problems)
    history.damaged = history.damaged || !problem.ends_with(": cut short");
  for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
    console.PrintError("namewisp: " + history.path + ": " + problems[i]);
  if (problems.size() > kProblemsShown) {
    console.PrintError("namewisp: " + history.path + ": " +
                       std::to_string(problems.size() - kProblemsShown) +
                       " more damaged lines skipped");
  }
  if (file.exists && !file.text.empty() && !history.read.known_format)
    return std::nullopt;
  return history;
}

// "2026-12-09T14:02:03Z" as "2026-12-09 14:02 UTC".
std::string When(const std::string& started) {
  if (started.size() < 16 || started[10] != 'T') return started;
  return started.substr(0, 10) + " " + started.substr(11, 5) + " UTC";
}

long ProcessOf(const std::string& run_id) {
  const std::size_t dash = run_id.rfind('-');
  if (dash == std::string::npos) return 0;
  return std::strtol(run_id.c_str() + dash + 1, nullptr, 10);
}

std::string Folder(const HistoryRun& run) {
  std::string folder = run.folder;
  if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  return folder;
}

std::string Count(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " rename" : " renames");
}

// What an undo of the run has to look at: the renames not settled yet.
std::size_t Open(const HistoryRun& run) {
  if (run.undone) return 0;
  std::size_t open = 0;
  for (const HistoryRename& r : run.renames)
    open += !r.undone && (r.made || !run.ended);
  return open;
}

// Whether a later run that is not undone renamed an entry of this run again.
bool TouchedLater(const HistoryRead& read, const HistoryRun* run) {
  std::set<std::pair<std::string_view, std::string_view>> names;
  for (const HistoryRename& r : run->renames)
    if (!r.undone) names.insert({r.directory, r.new_name});
  for (const HistoryRun* later = run + 1; later < read.runs.data() + read.runs.size();
       ++later) {
    if (RunUndone(*later)) continue;
    for (const HistoryRename& r : later->renames)
      if (!r.undone && (names.count({r.directory, r.old_name}) ||
                        names.count({r.directory, r.new_name})))
        return true;
  }
  return false;
}

struct Undo {
  platform::FileSystem& files;
  platform::Console& console;
  const HistoryRun& run;
  const std::string& path;
  Reporter reporter{console, {}};
  std::string here;  // the current folder, whose names are shown bare
  RunEnd end{true, false};
  std::vector<std::size_t> settled;  // numbers, to mark undone
  bool torn = false;  // the history's last line was cut short
  bool by_name_said = false;
  // The folder of the last rename, opened once for all of its renames.
  std::string open_path;
  platform::Folder open_folder;
  bool marks_lost = false;

  void Show(const HistoryRename& r, const std::string& from,
            const std::string& failure) {
    ShowRename(reporter, r.directory == here ? "" : r.directory, from,
               r.old_name, false);
    ShowOutcome(reporter, false, failure);
    if (!failure.empty()) end.failed = true;
  }

  std::string PutBack(const platform::Folder& folder, const std::string& from,
                      const std::string& to) {
    files.HoldInterrupts();
    const std::string failure = SafeRename(files, folder, from, to, NewName::kGivenBack);
    files.ReleaseInterrupts();
    return failure;
  }

  // The entry hidden under a case change's temporary name by a run cut
  // between its two steps.
  std::string FindDetour(const platform::Folder& folder,
                         const HistoryRename& r) {
    if (!r.id.known || !MayDifferInCaseOnly(r.old_name, r.new_name)) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string detour =
          ".namewisp-case-" + std::to_string(attempt) + ".tmp";
      if (files.Identify(folder, detour) == r.id) return detour;
    }
    return "";
  }

  // The name the entry stands under now, by the system's own lookup (on a
  // file system that ignores case, old and new name find the same entry).
  std::string NameNow(const platform::Folder& folder, const std::string& name) {
    const platform::Listing found = files.LookUp(folder.path, name);
    return found.entries.empty() ? "" : found.entries[0].name;
  }

  // The folder of a record, opened once for the renames in it.
  const platform::Folder& FolderOf(const std::string& directory) {
    if (open_path != directory || !open_folder.handle) {
      open_path = directory;
      open_folder = files.ListFolder(directory).folder;
      open_folder.path = directory;
    }
    return open_folder;
  }

  // One rename of the run; true when it is settled (put back, found back
  // or never made, or gone for good).
  bool Settle(const HistoryRename& r) {
    // A run that ended marked every rename it made.
    if (!r.made && run.ended) return true;
    const platform::Folder& folder = FolderOf(r.directory);
    if (!r.id.known) {
      // No identity: by name alone.
      const bool at_new = files.Exists(folder, r.new_name);
      const bool at_old = files.Exists(folder, r.old_name);
      if (!r.made && !(at_new && !at_old)) return true;  // never made
      if (!r.made && !by_name_said) {
        console.PrintError(
            "namewisp: the file system tells no identity of its entries: "
            "undo goes by their names");
        by_name_said = true;
      }
      if (!at_new && at_old) return true;  // put back before
      const std::string failure = PutBack(folder, r.new_name, r.old_name);
      Show(r, r.new_name, failure);
      return failure.empty() || !at_new;
    }
    const platform::EntryId at_new = files.Identify(folder, r.new_name);
    if (at_new == r.id) {
      // One entry under both names: a change of case alone.
      if (MayDifferInCaseOnly(r.old_name, r.new_name) &&
          files.Identify(folder, r.old_name) == r.id) {
        const std::string now = NameNow(folder, r.new_name);
        if (now == r.old_name) return true;  // never made, or put back before
        const std::string failure = PutBack(folder, now, r.old_name);
        Show(r, now, failure);
        return failure.empty();
      }
      // Made, marked or not: the entry has its new name.
      const std::string failure = PutBack(folder, r.new_name, r.old_name);
      Show(r, r.new_name, failure);
      return failure.empty();  // a name taken since: pending
    }
    const platform::EntryId at_old = files.Identify(folder, r.old_name);
    if (at_old == r.id) return true;  // never made, or put back before
    const std::string detour = FindDetour(folder, r);
    if (!detour.empty() && !at_old.known) {
      const std::string failure = PutBack(folder, detour, r.old_name);
      Show(r, detour, failure);
      return failure.empty();
    }
    if (!r.made) return true;  // the run never got to it
    if (at_new.known) {
      Show(r, r.new_name, "another entry has that name now");
      return false;
    }
    Show(r, r.new_name, "it is gone");
    return true;  // one lost file never pins a run
  }

  void WriteMarks() {
    if (settled.empty()) return;
    std::string marks;
    for (std::size_t i = 0; i < settled.size();) {
      std::size_t last = i;
      while (last + 1 < settled.size() && settled[last + 1] + 1 == settled[last])
        ++last;
      marks += FormatUndone(run.id, settled[last], settled[i]);
      i = last + 1;
    }
    settled.clear();
    if (torn) marks.insert(0, "\n");  // the torn line stays one of its own
    torn = false;
    if (!files.AppendFile(path, marks) && !marks_lost) {
      console.PrintError("namewisp: the undo history " + path +
                         " cannot be written: what was put back is not "
                         "marked as undone");
      marks_lost = true;
      end.failed = true;
    }
  }

  void Go() {
    here = files.AbsolutePath(platform::Folder{});
    for (auto r = run.renames.rbegin(); r != run.renames.rend(); ++r) {
      if (r->undone) continue;
      if (Settle(*r)) settled.push_back(r->number);
      if (settled.size() == kMarkBatch) WriteMarks();
    }
    WriteMarks();
  }
};

}  // namespace

RunEnd RunUndo(platform::FileSystem& files, platform::Console& console,
               const std::string& run_id, long own_process) {
  const std::optional<History> history = ReadKept(files, console);
  if (!history) return {false, true};
  const std::vector<HistoryRun>& runs = history->read.runs;
  const HistoryRun* run = nullptr;
  if (!run_id.empty()) {
    for (auto r = runs.rbegin(); r != runs.rend() && !run; ++r)
      if (r->id == run_id) run = &*r;
    if (!run) {
      console.PrintError("namewisp: no run " + run_id +
                         " in the undo history (namewisp --history lists "
                         "them)");
      return {false, true};
    }
    if (RunUndone(*run)) {
      console.Print("That run is undone already.\n");
      return {};
    }
  } else {
    for (auto r = runs.rbegin(); r != runs.rend() && !run; ++r) {
      if (RunUndone(*r) || Open(*r) == 0) continue;  // nothing made is left
      const long process = ProcessOf(r->id);
      if (!r->ended && process != own_process &&
          files.ProcessRunning(process)) {
        console.PrintError("namewisp: the run " + r->id +
                           " is still going on: left alone");
        continue;
      }
      run = &*r;
    }
    if (!run) {
      console.Print("Nothing to undo.\n");
      return {};
    }
  }
  if (TouchedLater(history->read, run)) {
    console.PrintError("namewisp: a later run renamed the same entries: "
                       "undo that run first");
    return {false, true};
  }

  std::string first = "Undoing the run of " + When(run->started);
  if (!run->folder.empty()) first += " in " + Folder(*run);
  if (!run->options.empty()) first += " (" + run->options + ")";
  console.Print(first + ": " + Count(Open(*run)) + "\n");
  Undo undo{files, console, *run, history->path, {console, {}}, {}, {true, false}, {}, history->torn, false, {}, {}, false};
  undo.Go();
  // A record that could not be read may be of a rename not put back.
  if (history->damaged) undo.end.failed = true;
  return undo.end;
}

RunEnd ListHistory(platform::FileSystem& files, platform::Console& console) {
  const std::optional<History> history = ReadKept(files, console);
  if (!history) return {false, true};
  const std::vector<HistoryRun>& runs = history->read.runs;
  if (runs.empty()) console.Print("No runs in the undo history.\n");
  for (auto r = runs.rbegin(); r != runs.rend(); ++r) {
    std::string line = r->id + "  " + When(r->started);
    if (!r->folder.empty()) line += "  " + Folder(*r);
    if (!r->options.empty()) line += "  (" + r->options + ")";
    line += "  " + Count(r->renames.size());
    if (RunUndone(*r)) {
      line += ", undone";
    } else if (RunPartlyUndone(*r)) {
      line += ", partly undone";
    }
    console.Print(line + "\n");
  }
  return {};
}

}  // namespace app
