#include "app/undo/undo_run.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/carry/carry_out.h"
#include "app/failure_words.h"
#include "app/journal/history.h"
#include "app/journal/volume_identity.h"
#include "app/journal/history_format.h"
#include "app/reporter.h"
#include "app/carry/safe_rename.h"
#include "app/journal/whole_file.h"
#include "app/carry/cross_device_move.h"

namespace app {
namespace {

// Damaged lines said one each, up to this many; the rest summed up.
constexpr std::size_t kProblemsShown = 5;
// Undone marks go to the journal this many at a time.
constexpr std::size_t kMarkBatch = 256;

struct History {
  std::vector<HistoryRun> runs;  // the old history's, then the journals'
  std::string runs_folder;
  bool damaged = false;  // a line before the last could not be read
  std::set<std::string> torn;  // journals whose last line was cut short
  std::map<std::string, std::size_t> bytes;  // each journal's, as read
  std::size_t problems = 0;
  std::size_t cut_unshown = 0;  // of the problems not shown, lines cut short
};

// A line cut short is the last a killed run began: not damage.
void Report(platform::Console& console, History& history,
            const std::string& path, const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) {
    const bool cut = problem.ends_with(": cut short");
    history.damaged = history.damaged || !cut;
    if (history.problems++ < kProblemsShown) {
      console.PrintError("namewisp: " + path + ": " + problem);
    } else if (cut) {
      ++history.cut_unshown;
    }
  }
}

// A history file larger than namewisp reads (made by an older one, say):
// said, and the history counts as damaged.
void TooBig(platform::UserFiles& files, platform::Console& console,
            History& history, const std::string& path) {
  console.PrintError("namewisp: the undo history " + path + " is larger than " +
                     SizeText(files.SizeCap()) +
                     ", the most namewisp reads: its runs cannot be undone");
  history.damaged = true;
}

// A journal's one run; false when it holds none.
bool ReadJournal(platform::UserFiles& files, platform::Console& console,
                 History& history, const std::string& path, HistoryRun& run) {
  const platform::FileText file = ReadWholeFile(files, path);
  if (file.too_big) TooBig(files, console, history, path);
  if (!file.read) return false;
  // Appended to only: of the same length, it holds what was read before.
  const auto before = history.bytes.find(path);
  if (before != history.bytes.end() && before->second == file.text.size())
    return false;
  history.bytes[path] = file.text.size();
  HistoryRead read = ReadHistory(file.text);
  Report(console, history, path, read.problems);
  if (!file.text.empty() && file.text.back() != '\n') history.torn.insert(path);
  if (read.runs.empty()) return false;
  run = std::move(read.runs.front());
  run.journal = path;
  return true;
}

// The old history file with the marks undo wrote of its runs, then each
// journal, oldest first; their damage said.  Nothing when there is no
// history to be had (said on standard error).
std::optional<History> LoadHistory(platform::UserFiles& files,
                                   platform::Console& console,
                                   bool undone_too = true) {
  History history;
  const std::string old_path = files.UserFilePath(platform::UserFile::kHistory);
  history.runs_folder = files.UserFilePath(platform::UserFile::kRuns);
  if (history.runs_folder.empty()) {
    console.PrintError("namewisp: there is no undo history (no home folder)");
    return std::nullopt;
  }
  const platform::FileText file = ReadWholeFile(files, old_path);
  HistoryRead old;
  if (file.too_big) {
    TooBig(files, console, history, old_path);
  } else if (file.exists && !file.read) {
    console.PrintError("namewisp: the undo history " + old_path +
                       " cannot be read (it must be a regular file of your "
                       "own, in a folder of your own)");
    history.damaged = true;
  } else if (file.read) {
    old = ReadHistory(file.text);
    Report(console, history, old_path, old.problems);
    if (!file.text.empty() && !old.known_format) old.runs.clear();
  }
  std::vector<platform::StoredFile> stored;
  if (!files.ListStored(history.runs_folder, stored)) {
    console.PrintError("namewisp: the undo history " + history.runs_folder +
                       " cannot be read (it must be a folder of your own)");
    history.damaged = true;
  }
  std::sort(stored.begin(), stored.end(),
            OlderJournal);
  for (const platform::StoredFile& f : stored) {
    if (!f.name.ends_with(kMarksEnding)) continue;
    const std::string path = history.runs_folder + f.name;
    const platform::FileText marks = ReadWholeFile(files, path);
    if (marks.too_big) TooBig(files, console, history, path);
    if (marks.read) Report(console, history, path, ReadMore(old, marks.text));
  }
  history.runs = std::move(old.runs);
  const std::size_t old_runs = history.runs.size();
  for (const platform::StoredFile& f : stored) {
    if (!f.name.ends_with(kRunEnding)) continue;
    HistoryRun run;
    const std::string path = history.runs_folder + f.name;
    // Undo need not read a journal whose last record says all is undone.
    if (!undone_too && JournalUndone(files, path)) {
      run.id = f.name.substr(0, f.name.size() - kRunEnding.size());
      run.undone = true;
      run.journal = path;
      history.runs.push_back(std::move(run));
      continue;
    }
    if (ReadJournal(files, console, history, path, run))
      history.runs.push_back(std::move(run));
  }
  // The runs that took their place in the history's order go by it, after
  // those of earlier namewisps (and those undone that were not read), which
  // stay in the order of their ids.
  std::stable_sort(history.runs.begin() + static_cast<std::ptrdiff_t>(old_runs),
                   history.runs.end(),
                   [](const HistoryRun& a, const HistoryRun& b) {
                     return a.sequence < b.sequence;
                   });
  // Damage is said as damage only where there is some: it fails the undo.
  const std::size_t unshown =
      history.problems - std::min(history.problems, kProblemsShown);
  if (unshown > history.cut_unshown) {
    console.PrintError("namewisp: " +
                       std::to_string(unshown - history.cut_unshown) +
                       " more damaged lines skipped");
  }
  if (history.cut_unshown > 0) {
    console.PrintError("namewisp: " + std::to_string(history.cut_unshown) +
                       " more lines cut short skipped");
  }
  return history;
}

// "2026-12-09T14:02:03Z" as "2026-12-09 14:02 UTC".
std::string When(const std::string& started) {
  if (started.size() < 16 || started[10] != 'T') return started;
  return started.substr(0, 10) + " " + started.substr(11, 5) + " UTC";
}

std::string Folder(const HistoryRun& run) {
  std::string folder = run.folder;
  if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  return folder;
}

// What a run changed, in its own words: a run into a library moves, and a
// run that moves nothing says "0 renames" as it always did.
struct Changes {
  std::size_t renames = 0, moves = 0, links = 0, copies = 0;
  std::size_t& Of(StepKind kind) {
    switch (kind) {
      case StepKind::kMove: return moves;
      case StepKind::kLink: return links;
      case StepKind::kCopy: return copies;
      default: return renames;
    }
  }
};

std::string Count(Changes made) {
  auto said = [](std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + (n == 1 ? one : many);
  };
  std::string words;
  if (made.renames > 0 ||
      made.moves + made.links + made.copies == 0)
    words = said(made.renames, " rename", " renames");
  auto add = [&](std::size_t n, const char* one, const char* many) {
    if (n > 0) words += (words.empty() ? "" : ", ") + said(n, one, many);
  };
  add(made.moves, " move", " moves");
  add(made.links, " link", " links");
  add(made.copies, " copy", " copies");
  return words;
}

// Whether a rename of the run may stand: made, or of a run cut short
// before it could say.  One that failed changed nothing.
bool MayStand(const HistoryRun& run, const HistoryRename& r) {
  return !r.undone && (r.made || !run.ended);
}

// The path of the folder that a step made, as the journal writes folders.
std::string FolderOf(const HistoryRename& r) {
  return r.directory + r.new_name + r.directory.back();
}

// What an undo of the run has to look at: the renames not settled yet.
std::size_t Open(const HistoryRun& run) {
  if (run.undone) return 0;
  std::size_t open = 0;
  for (const HistoryRename& r : run.renames) open += MayStand(run, r);
  return open;
}

// Whether a later run that is not undone renamed an entry of this run again.
bool TouchedLater(const std::vector<HistoryRun>& runs, const HistoryRun* run) {
  std::set<std::pair<std::string_view, std::string_view>> names;
  for (const HistoryRename& r : run->renames)
    if (MayStand(*run, r) && r.kind != StepKind::kMakeFolder &&
        r.kind != StepKind::kRemoveFolder)
      names.insert({r.NewDirectory(), r.new_name});
  for (const HistoryRun* later = run + 1; later < runs.data() + runs.size();
       ++later) {
    if (RunUndone(*later)) continue;
    for (const HistoryRename& r : later->renames)
      if (MayStand(*later, r) && r.kind != StepKind::kMakeFolder &&
          r.kind != StepKind::kRemoveFolder &&
          (names.count({r.directory, r.old_name}) ||
           names.count({r.NewDirectory(), r.new_name})))
        return true;
  }
  return false;
}

// Where a rename of the run stands now.
enum class State {
  kSettled,  // never made, or put back before
  kPutBack,  // the entry stands under `from`: it can go back
  kPending,  // not now: its folder out of reach, or its name taken
  kGone,     // its folder was reached and it is not there: for good
  kClear,    // a move between two disks cut short: its copy goes
  kRemove,   // a link or a copy the run made, its file where it was: it goes
  kLeave,    // it stays, for good, and why says why
};

struct Look {
  State state = State::kSettled;
  std::string from;  // kPutBack: the name it has now
  std::string why;   // kPending, kLeave
  bool by_name = false;
  // A move between two disks: what its copies left to clear away, the
  // run's at the new name and under its temporary name, and undo's own
  // temporary where the entry came from.
  bool clear_copy = false, clear_temporary = false, clear_back = false;
  // A kill came while the file, or undo's library copy, was aside to be
  // removed: the one goes back under its name, the other goes.
  bool from_aside = false, clear_back_aside = false;
  // kPutBack: known by a size and time it no longer has (below).
  bool changed = false;
};

// Looks at the renames of one run, each folder opened once.
struct Looker {
  platform::FileSystem& files;
  const HistoryRun& run;
  // A folder held open: the record's own, and a move's other one.
  struct Slot {
    std::string path;
    std::optional<platform::Folder> folder;  // none: out of reach
  };
  Slot open, other;
  // Folders the run removed that undo made again: their identity then and
  // now, so that what was in them goes back into them.
  std::vector<std::pair<platform::EntryId, platform::EntryId>> remade = {};

  bool Matches(const platform::EntryId& now, const platform::EntryId& recorded) {
    if (now == recorded) return true;
    for (const auto& [then, again] : remade)
      if (then == recorded && again == now) return true;
    return false;
  }

  // The folder at path as it is now; none when it cannot be reached, or
  // another folder stands under its path (a link, say, or a disk not
  // mounted there).
  const platform::Folder* Reach(Slot& slot, const std::string& path,
                                const std::string& name,
                                const platform::EntryId& id) {
    if (slot.path != path || !slot.folder) {
      slot.path = path;
      // A lookup opens the folder without reading it; where it finds no
      // entry to open it by (Windows), the listing does.
      platform::Folder folder = files.ListFolder(path, name).folder;
      if (!folder.handle)
        folder = files.ListFolder(path, platform::kEveryEntry).folder;
      folder.path = path;
      slot.folder.reset();
      if (folder.handle &&
          (!id.known || Matches(files.Stat(folder, ".").id, id)))
        slot.folder = std::move(folder);
    }
    return slot.folder ? &*slot.folder : nullptr;
  }
  // The folder an entry of the record stands in once the step is made.
  const platform::Folder* Reach(const HistoryRename& r) {
    if (IntoOtherFolder(r.kind))
      return Reach(other, r.to_directory, r.new_name, r.to_folder_id);
    return Reach(open, r.directory, r.new_name, r.folder_id);
  }
  // A move's folder it came from.
  const platform::Folder* ReachFrom(const HistoryRename& r) {
    return Reach(open, r.directory, r.old_name, r.folder_id);
  }

  // The identity of the entry name denotes, in the form the record has.
  platform::EntryId IdNow(const platform::Folder& folder,
                          const std::string& name, const HistoryRename& r) {
    return r.id.by_name ? files.Stat(folder, name).stamp
                        : files.Stat(folder, name).id;
  }

  // Where the file system keeps no numbers of its entries, one is known by
  // its size and time, which a change in place moves (a tag written into a
  // film, say): the entry under the run's new name, its old name free, is
  // the run's, changed since.  A later run that took the name blocks the
  // undo before this is asked.
  Look ChangedSince(const HistoryRename& r, const platform::Folder& to,
                    const platform::Folder& from,
                    const platform::EntryId& recorded) {
    if (!recorded.by_name || !files.Stat(to, r.new_name).exists ||
        files.Stat(from, r.old_name).exists)
      return {State::kPending, "", "another entry has that name now", false};
    Look look{State::kPutBack, r.new_name, "", false};
    look.changed = true;
    return look;
  }

  std::string Tag(const HistoryRename& r) const {
    return run.id + "-" + std::to_string(r.number);
  }

  // The entry under the rename's own temporary name of a change of case: a
  // run cut between its two steps left it there.  Asked before the new
  // name, which may hold another link of the same file.
  std::string OwnDetour(const platform::Folder& folder, const HistoryRename& r) {
    if (!r.id.known || !MayDifferInCaseOnly(r.old_name, r.new_name)) return "";
    const std::string own = CaseDetour(Tag(r));
    return IdNow(folder, own, r) == r.id ? own : "";
  }

  // The same in the old history's runs: the first of the numbered
  // temporary names that earlier namewisps used.
  std::string FindDetour(const platform::Folder& folder,
                         const HistoryRename& r) {
    if (!r.id.known || !MayDifferInCaseOnly(r.old_name, r.new_name)) return "";
    if (!run.journal.empty()) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string detour = CaseDetour(std::to_string(attempt));
      if (IdNow(folder, detour, r) == r.id) return detour;
    }
    return "";
  }

  // The name the entry stands under now, by the system's own lookup (on a
  // file system that ignores case, old and new name find the same entry).
  std::string NameNow(const platform::Folder& folder, const std::string& name) {
    const platform::Listing found = files.ListFolder(folder.path, name);
    return found.entries.empty() ? "" : found.entries[0].name;
  }

  // A move: the entry stands under its new name in the other folder, or
  // back under its old one.
  Look AtMove(const HistoryRename& r) {
    const platform::Folder* to = Reach(r);
    const platform::Folder* from = ReachFrom(r);
    if (!to || !from) {
      // Back where it was, its folder in the library removed since (by an
      // undo cut short after it): nothing is left to do.
      if (from && r.id.known && Home(r, *from)) return {};
      return {State::kPending, "", "its folder cannot be reached now", false};
    }
    if (r.across) return AtCopy(r, *from, *to);
    if (!r.id.known) {
      const bool at_new = files.Stat(*to, r.new_name).exists;
      const bool at_old = files.Stat(*from, r.old_name).exists;
      if (!r.made && !(at_new && !at_old)) return {};
      if (!at_new && at_old) return {};
      if (!at_new) return {State::kGone, "", "", false};
      return {State::kPutBack, r.new_name, "", true};
    }
    const platform::EntryId at_new = IdNow(*to, r.new_name, r);
    if (at_new == r.id || ThroughOtherLetter(at_new, r.id))
      return {State::kPutBack, r.new_name, "", false};
    if (IdNow(*from, r.old_name, r) == r.id) return {};
    if (!r.made) return {};
    if (at_new.known) return ChangedSince(r, *to, *from, r.id);
    return {State::kGone, "", "", false};
  }

  // The file moved, seen through another drive letter of its volume (one
  // that subst made, say), which may tell another volume number: its index
  // on the volume is its own.
  static bool ThroughOtherLetter(const platform::EntryId& now,
                                 const platform::EntryId& recorded) {
    return now.known && recorded.known && !now.by_name && !recorded.by_name &&
           now.index == recorded.index && now.volume != recorded.volume;
  }

  static platform::EntryId IdAs(platform::FileSystem& files,
                                const platform::Folder& folder,
                                const std::string& name,
                                const platform::EntryId& form) {
    return form.by_name ? files.Stat(folder, name).stamp
                        : files.Stat(folder, name).id;
  }

  // Whether a move's entry stands under its old name: the one moved, or
  // the copy that undo brought back from another disk.
  bool Home(const HistoryRename& r, const platform::Folder& from) {
    return IdNow(from, r.old_name, r) == r.id ||
           (r.back_copied &&
            IdAs(files, from, r.old_name, r.back_id) == r.back_id);
  }

  // A move between two disks goes through a copy, and its records tell
  // where each step of it got to.  A cut short copy is cleared away while
  // the file is whole where it was: nothing need be copied again, and
  // nothing the run did not make is touched.
  Look AtCopy(const HistoryRename& r, const platform::Folder& from,
              const platform::Folder& to) {
    const std::string tag = Tag(r);
    Look look;
    look.clear_copy = r.copied && IdAs(files, to, r.new_name, r.copy_id) == r.copy_id;
    look.clear_temporary = files.Stat(to, CopyTemporary(tag)).exists;
    look.clear_back =
        r.back && files.Stat(from, CopyTemporary(tag + "-back")).exists;
    if (Home(r, from)) {
      // Never made, put back before, or cut short: what is left of a copy
      // goes.
      look.clear_back = look.clear_back && !r.back_copied;
      look.clear_back_aside =
          r.back_copied && r.copy_id.known &&
          IdAs(files, to, CopyAside(tag + "-back"), r.copy_id) == r.copy_id;
      look.state = look.clear_copy || look.clear_temporary ||
                           look.clear_back || look.clear_back_aside
                       ? State::kClear
                       : State::kSettled;
      return look;
    }
    look.from_aside = r.copied && r.id.known &&
                      IdAs(files, from, CopyAside(tag), r.id) == r.id;
    if (look.from_aside) {
      look.state = State::kClear;
      return look;
    }
    if (look.clear_copy) {
      look.state = State::kPutBack;
      look.from = r.new_name;
      look.clear_copy = false;
      return look;
    }
    if (!r.made) return {};
    if (files.Stat(to, r.new_name).exists)
      return ChangedSince(r, to, from, r.copy_id);
    return {State::kGone, "", "", false};
  }

  // A link or a copy into the library, the file staying where it was: what
  // the run put there goes where it is still what the run made (the file
  // itself for a link; the copy it recorded, of the size and time of the
  // file, for a copy) and the file is still there, the one it was made of.
  // Where the file is gone, the library's is the only one left and goes
  // back to its place instead.
  Look AtKept(const HistoryRename& r) {
    const platform::Folder* to = Reach(r);
    const platform::Folder* from = ReachFrom(r);
    if (!to || !from)
      return {State::kPending, "", "its folder cannot be reached now", false};
    Look look;
    look.clear_temporary =
        r.across && files.Stat(*to, CopyTemporary(Tag(r))).exists;
    const platform::EntryStat there = files.Stat(*to, r.new_name);
    // A link that could not be made became a copy: its records say so.
    const bool copy = r.kind == StepKind::kCopy || r.across;
    const bool made_here =
        copy ? r.copied && IdAs(files, *to, r.new_name, r.copy_id) == r.copy_id
             : r.id.known && IdNow(*to, r.new_name, r) == r.id;
    if (!there.exists || !made_here) {
      look.state = look.clear_temporary ? State::kClear : State::kSettled;
      if (there.exists && r.made && !look.clear_temporary) {
        look.state = State::kLeave;
        look.why = "another entry has that name now, left";
      }
      return look;
    }
    const platform::EntryStat source = files.Stat(*from, r.old_name);
    look.from = r.new_name;
    if (!source.exists) {
      look.state = State::kPutBack;
      return look;
    }
    look.state = State::kLeave;
    if (!r.id.known || !(IdNow(*from, r.old_name, r) == r.id))
      look.why = "the file it was made of is another one now, so it stays";
    else if (copy && !(there.stamp == source.stamp))
      look.why = "the copy changed since it was made, so it stays";
    else
      look.state = State::kRemove;
    return look;
  }

  Look At(const HistoryRename& r) {
    // A run that ended marked every rename it made.
    if (!r.made && run.ended) return {};
    // A folder the run made is looked at when it is removed, one it removed
    // when it is made again.
    if (r.kind == StepKind::kMakeFolder || r.kind == StepKind::kRemoveFolder)
      return {};
    if (r.kind == StepKind::kMove) return AtMove(r);
    if (KeepsEntry(r.kind)) return AtKept(r);
    const platform::Folder* reached = Reach(r);
    if (!reached)
      return {State::kPending, "", "its folder cannot be reached now", false};
    const platform::Folder& folder = *reached;
    if (!r.id.known) {
      // No identity: by name alone.
      const bool at_new = files.Stat(folder, r.new_name).exists;
      const bool at_old = files.Stat(folder, r.old_name).exists;
      if (!r.made && !(at_new && !at_old)) return {};  // never made
      if (!at_new && at_old) return {};                // put back before
      if (!at_new) return {State::kGone, "", "", false};
      return {State::kPutBack, r.new_name, "", true};
    }
    if (const std::string own = OwnDetour(folder, r); !own.empty())
      return {State::kPutBack, own, "", false};
    const platform::EntryId at_new = IdNow(folder, r.new_name, r);
    if (at_new == r.id) {
      // One entry under both names: a change of case alone.
      if (MayDifferInCaseOnly(r.old_name, r.new_name) &&
          IdNow(folder, r.old_name, r) == r.id) {
        const std::string now = NameNow(folder, r.new_name);
        if (now == r.old_name) return {};  // never made, or put back before
        return {State::kPutBack, now, "", false};
      }
      // Made, marked or not: the entry has its new name.
      return {State::kPutBack, r.new_name, "", false};
    }
    const platform::EntryId at_old = IdNow(folder, r.old_name, r);
    if (at_old == r.id) return {};  // never made, or put back before
    const std::string detour = FindDetour(folder, r);
    if (!detour.empty() && !at_old.known)
      return {State::kPutBack, detour, "", false};
    if (!r.made) return {};  // the run never got to it
    if (at_new.known) return ChangedSince(r, folder, folder, r.id);
    return {State::kGone, "", "", false};
  }

  // The renames the run made (with undone, those undone since too): those
  // marked, and of a run cut short those whose entry stands under the new
  // name.
  Changes Made(bool undone) {
    Changes made;
    for (const HistoryRename& r : run.renames) {
      if (!undone && (r.undone || run.undone)) continue;
      if (r.kind == StepKind::kMakeFolder || r.kind == StepKind::kRemoveFolder)
        continue;
      std::size_t& count = made.Of(r.kind);
      if (r.made) {
        ++count;
      } else if (!run.ended && !r.undone && !run.undone) {
        const State state = At(r).state;
        count += state == State::kPutBack || state == State::kRemove;
      }
    }
    return made;
  }

  // Whether some rename not settled can go back now, or none is pending.
  bool AnyToDo() {
    bool pending = false;
    for (auto r = run.renames.rbegin(); r != run.renames.rend(); ++r) {
      if (r->undone || (!r->made && run.ended)) continue;
      // A folder the run removed is made again, and what it held goes back.
      if (r->kind == StepKind::kRemoveFolder) return true;
      const State state = At(*r).state;
      if (state == State::kPutBack || state == State::kClear ||
          state == State::kRemove)
        return true;
      pending = pending || state == State::kPending;
    }
    return !pending;
  }
};

struct Undo {
  Undo(platform::FileSystem& f, platform::Interrupts& i, platform::UserFiles& u,
       platform::Console& c, const HistoryRun& r)
      : files(f), interrupts(i), user_files(u), console(c), run(r),
        looker{f, r, {}, {}} {}

  platform::FileSystem& files;
  platform::Interrupts& interrupts;
  platform::UserFiles& user_files;
  platform::Console& console;
  const HistoryRun& run;
  Looker looker;
  // Where the marks go: the run's own journal, locked; for a run of the old
  // history, a file of this undo's own, made with the first marks.
  Journal journal;
  std::string marks_path;  // for a run of the old history
  // Each step back is made and reported as the run makes its steps.
  Loop loop{files, interrupts, console, journal};
  std::string here;  // the current folder, whose names are shown bare
  RunEnd end{true, false};
  std::vector<std::size_t> settled;  // numbers, to mark undone
  std::set<std::size_t> done;        // numbers settled by this undo
  bool by_name_said = false;
  bool stamps_said = false;
  bool preview = false;  // UndoOptions::preview
  bool moves_pending = false;  // a move could not go back in this undo
  std::string removed, remade;  // the folders, one a line
  // The download folders made again, held, with what they had: their times
  // are given back once what they held is back in them.
  std::vector<std::pair<platform::Folder, platform::EntryFacts>> remade_facts;

  // The line of a step back, shown ahead of it as the run shows its own.
  void ShowLine(const HistoryRename& r, const std::string& from) {
    auto shown = [&](const std::string& d) { return d == here ? std::string() : d; };
    ShowMove(loop.reporter, shown(r.NewDirectory()), from, shown(r.directory),
             r.old_name, false);
  }
  void Show(const HistoryRename& r, const std::string& from,
            const std::string& failure) {
    ShowLine(r, from);
    loop.Report(false, failure);
  }

  // One rename of the run; true when it is settled (put back, found back
  // or never made, or gone for good).
  // A folder the run made goes once it is empty again; one that holds what
  // the run did not put there stays (said), unless entries of the run are
  // still to go back into their folders: then a later undo tries again.
  bool RemoveMade(const HistoryRename& r) {
    // A run that ended marked every folder it made; one cut short may have
    // made it and not marked it yet: an empty one goes too.
    if (!r.made && run.ended) return true;
    const platform::Folder* parent =
        looker.Reach(looker.open, r.directory, r.new_name, r.folder_id);
    if (!parent)
      return !files.Stat(platform::Folder{r.directory, {}, {}}, r.new_name)
                  .exists;
    const Made outcome = loop.Make({.kind = StepKind::kRemoveFolder,
                                    .folder = parent,
                                    .new_name = r.new_name});
    if (outcome.words.empty()) removed += ForScreen(console, ShownFolder(r)) + "\n";
    if (outcome.words.empty() || outcome.failure == platform::Failure::kNotFound)
      return true;
    if (outcome.failure == platform::Failure::kNotEmpty && !r.made)
      return true;  // not known to be the run's: left as it is
    if (outcome.failure == platform::Failure::kNotEmpty) {
      if (moves_pending) return false;
      console.Print(ForScreen(console, ShownFolder(r)) +
                    ": made by the run, but holds entries the run did not "
                    "put there: left\n");
      return true;
    }
    // A folder that cannot go (a link in its place above, a folder made
    // read-only) is said and left: it never holds the run back, unless
    // entries are still to go back through it.
    if (moves_pending) return false;
    console.Print(ForScreen(console, ShownFolder(r)) + " [FAILED: " +
                  outcome.words + "; left]\n");
    end.failed = true;
    return true;
  }

  std::string ShownFolder(const HistoryRename& r) const {
    return (r.directory == here ? std::string() : r.directory) + r.new_name +
           (r.directory.find('\\') != std::string::npos ? "\\" : "/");
  }

  // A download folder the run emptied and removed: made again with its
  // mode, before the files go back into it.  One there already (never
  // removed, or made again since) takes them.
  bool MakeAgain(const HistoryRename& r) {
    if (!r.made && run.ended) return true;  // never removed
    const platform::Folder* parent =
        looker.Reach(looker.open, r.directory, r.new_name, r.folder_id);
    if (!parent) {
      console.Print(ForScreen(console, ShownFolder(r)) +
                    " [FAILED: its folder cannot be reached now; a later undo "
                    "tries again]\n");
      end.failed = true;
      return false;
    }
    if (files.Stat(*parent, r.new_name).exists) {
      const platform::EntryId now = files.Stat(*parent, r.new_name).id;
      if (now.known && r.id.known && !(now == r.id))
        looker.remade.push_back({r.id, now});
      return true;
    }
    platform::Folder made;
    const Made outcome = loop.Make({.kind = StepKind::kMakeFolder,
                                    .folder = parent,
                                    .new_name = r.new_name,
                                    .mode = r.mode,
                                    .made = &made});
    if (!outcome.words.empty()) {
      console.Print(ForScreen(console, ShownFolder(r)) + " [FAILED: " +
                    outcome.words + "]\n");
      end.failed = true;
      return false;
    }
    remade += ForScreen(console, ShownFolder(r)) + "\n";
    const platform::EntryId now = files.Stat(made, ".").id;
    if (now.known && r.id.known) looker.remade.push_back({r.id, now});
    // Its owner's again, not this process's: a folder undo made as root
    // that its owner could not enter.
    if (r.facts.known) {
      GiveFacts(made, ".", r.facts, ShownFolder(r));
      remade_facts.push_back({std::move(made), r.facts});
    }
    return true;
  }

  // What the entry had when the run recorded it, given back; a note where
  // it cannot all be (another's owner, given back by a user not root).
  void GiveFacts(const platform::Folder& folder, const std::string& name,
                 const platform::EntryFacts& facts, const std::string& shown) {
    const platform::Outcome outcome = files.SetFacts(folder, name, facts);
    if (!outcome.ok())
      console.Print(ForScreen(console, shown) +
                    "  [its owner, mode and times not all given back: " +
                    FailureWords(outcome) + "]\n");
  }

  bool Settle(const HistoryRename& r) {
    if (r.kind == StepKind::kMakeFolder) return RemoveMade(r);
    if (r.kind == StepKind::kRemoveFolder) return MakeAgain(r);
    const bool settled = SettleEntry(r);
    if (!settled && IntoOtherFolder(r.kind)) moves_pending = true;
    return settled;
  }

  bool SettleEntry(const HistoryRename& r) {
    const Look look = looker.At(r);
    switch (look.state) {
      case State::kSettled:
        return true;
      case State::kGone:
        Show(r, r.new_name, "it is gone");
        return true;  // one lost file never pins a run
      case State::kPending:
        Show(r, r.new_name, look.why + "; a later undo tries again");
        return false;
      case State::kClear:
        return Clear(r, look);
      case State::kLeave:
        console.Print(ForScreen(console, Shown(r.to_directory) + r.new_name) +
                      ": " + look.why + "\n");
        return true;
      case State::kRemove:
        return RemoveKept(r);
      case State::kPutBack:
        break;
    }
    const platform::Folder& folder = *looker.Reach(r);
    if (r.id.by_name && !stamps_said) {
      // A move's is the library's file system, or else the downloads'.
      const bool there =
          IntoOtherFolder(r.kind) &&
          !KeepsEntryNumbers(files.DescribeFolder(folder).volume_type);
      console.PrintError(
          "namewisp: the file system of " +
          ForScreen(console, there ? r.to_directory : r.directory) +
          " does not keep the numbers of its entries: undo knows them there "
          "by name, size and modification time");
      stamps_said = true;
    }
    if (look.by_name && !by_name_said) {
      console.PrintError(
          "namewisp: the file system tells no identity of its entries: "
          "undo goes by their names");
      by_name_said = true;
    }
    // A link or a copy whose file is gone goes back as a move.
    const bool move = IntoOtherFolder(r.kind);
    // What a copy back cut short left goes first.
    if (look.clear_back)
      files.Remove(*looker.ReachFrom(r), CopyTemporary(looker.Tag(r) + "-back"),
                   platform::EntryKind::kFile);
    ShowLine(r, look.from);
    // Changed since the run, it keeps the times of its change.
    platform::EntryFacts facts = move ? r.facts : platform::EntryFacts{};
    if (look.changed && facts.known) {
      const platform::EntryFacts now = files.Stat(folder, look.from).facts;
      if (now.known) {
        facts.accessed = now.accessed;
        facts.modified = now.modified;
      }
    }
    // Between two disks the entry goes back through a copy too, each step
    // recorded in the run's journal ahead of it.
    const Made made = loop.Make({.kind = move ? StepKind::kMove : r.kind,
                                 .folder = &folder,
                                 .old_name = look.from,
                                 .to = move ? looker.ReachFrom(r) : nullptr,
                                 .new_name = r.old_name,
                                 .source = NewName::kGivenBack,
                                 .number = r.number,
                                 .back = true,
                                 .tag = looker.Tag(r) + (move ? "-back" : ""),
                                 // Back through a copy, the file has what
                                 // it had before the run, not what the
                                 // library's copy kept (a volume of no
                                 // modes keeps 0777 and cuts times to the
                                 // second; set-user-id is never copied).
                                 .facts = facts});
    if (look.changed && made.words.empty())
      loop.note = "changed since the run" +
                  (loop.note.empty() ? "" : "; " + loop.note);
    return loop.Report(false, made.words);  // a name taken since: pending
  }

  std::string Shown(const std::string& directory) const {
    return directory == here ? std::string() : directory;
  }

  // What a link or a copy put into the library goes; the file it was made
  // of stays where it is.
  bool RemoveKept(const HistoryRename& r) {
    const platform::Folder& to = *looker.Reach(r);
    if (r.across)
      files.Remove(to, CopyTemporary(looker.Tag(r)), platform::EntryKind::kFile);
    console.Print(ForScreen(console, Shown(r.to_directory) + r.new_name) +
                  ": taken out of the library (" +
                  ForScreen(console, Shown(r.directory) + r.old_name) +
                  " stays)\n");
    const Made made = loop.Make({.kind = StepKind::kRemoveFolder,
                                 .folder = &to,
                                 .new_name = r.new_name,
                                 .removes = platform::EntryKind::kFile});
    return loop.Report(false, made.words);
  }

  // What a move between two disks cut short left: the file is where it
  // was, and the copies of this run go.
  bool Clear(const HistoryRename& r, const Look& look) {
    const platform::Folder& to = *looker.Reach(r);
    const platform::Folder& from = *looker.ReachFrom(r);
    const std::string tag = looker.Tag(r);
    std::string failure;
    auto remove = [&](const platform::Folder& folder, const std::string& name) {
      const platform::Outcome outcome =
          files.Remove(folder, name, platform::EntryKind::kFile);
      if (!outcome.ok() && outcome.failure != platform::Failure::kNotFound &&
          failure.empty())
        failure = FailureWords(outcome);
    };
    if (look.from_aside) {
      // Back under its name first; its copy goes only once it is there.
      const platform::Outcome back =
          files.Move(from, CopyAside(tag), from, r.old_name);
      if (!back.ok()) failure = FailureWords(back);
    }
    if (look.clear_copy && failure.empty()) remove(to, r.new_name);
    if (look.clear_back_aside) remove(to, CopyAside(tag + "-back"));
    if (look.clear_temporary) remove(to, CopyTemporary(tag));
    if (look.clear_back) remove(from, CopyTemporary(tag + "-back"));
    auto shown = [&](const std::string& d) { return d == here ? std::string() : d; };
    // A move made that left the file where it was too (it had other hard
    // links) is said as such, not as one cut short.
    const std::string to_shown = ForScreen(console, shown(r.to_directory));
    console.Print(ForScreen(console, shown(r.directory) + r.old_name) +
                  (r.made ? ": it stayed where it was, and its copy in " +
                                to_shown + (preview ? " would be" : " is") +
                                " removed"
                          : ": its move to " + to_shown +
                                " was cut short: the copy " +
                                (preview ? "would be" : "is") +
                                " removed, the file stays") +
                  (failure.empty() ? "" : " [FAILED: " + failure + "]") + "\n");
    if (!failure.empty()) end.failed = true;
    return failure.empty();
  }

  void Write(const std::string& marks) {
    if (!journal.file && !marks_path.empty() && !journal.broken) {
      journal.file = user_files.CreateJournal(marks_path).file;
      journal.pending = HistoryHeader();
    }
    journal.pending += marks;
    if (!WriteJournal(journal)) end.failed = true;
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
    Write(marks);
  }

  void Go() {
    here = files.DescribeFolder(platform::Folder{}).absolute;
    bool whole = true;
    for (auto r = run.renames.rbegin(); r != run.renames.rend(); ++r) {
      if (r->undone) continue;
      if (Settle(*r)) {
        settled.push_back(r->number);
        done.insert(r->number);
      } else {
        whole = false;
      }
      if (settled.size() == kMarkBatch) WriteMarks();
    }
    WriteMarks();
    // The folders' times, now that what they held is back in them.
    for (const auto& [folder, facts] : remade_facts)
      files.SetFacts(folder, ".", facts);
    // The last record says the whole run is undone: the trim reads no more.
    if (whole && !run.journal.empty()) Write(FormatRunUndone(run.id));
    if (journal.file && !journal.broken && !journal.file->Sync()) {
      console.PrintError("namewisp: the undo history " + journal.path +
                         " cannot be written to the disk");
      end.failed = true;
    }
    end.failed = end.failed || loop.any_failed;
  }

  // A dry undo's lists of the folders it would make again and remove.
  void ShowFolders() {
    if (preview && !remade.empty())
      console.Print("Folders to make again:\n" + remade);
    if (preview && !removed.empty())
      console.Print("Folders to remove:\n" + removed);
  }

  // Whether step r of run x is settled: undone before, or by this undo.
  bool Settled(const HistoryRun& x, const HistoryRename& r) const {
    return x.undone || r.undone || (&x == &run && done.count(r.number) > 0);
  }

  // The library folders that entries of the run went back out of, and the
  // parents of those it removed, where they are empty now: each may be a
  // folder that another run made and left for this one's entries.
  std::vector<std::string> Emptied() {
    std::set<std::string> paths, gone;
    for (const HistoryRename& r : run.renames) {
      if (!done.count(r.number)) continue;
      if (IntoOtherFolder(r.kind)) paths.insert(r.to_directory);
      if (r.kind == StepKind::kMakeFolder) {
        paths.insert(r.directory);
        gone.insert(FolderOf(r));  // removed, or left not empty
      }
    }
    std::vector<std::string> emptied;
    for (const std::string& path : paths) {
      if (gone.count(path)) continue;
      const platform::Listing now = files.ListFolder(path, platform::kEveryEntry);
      if (now.folder.handle && now.entries.empty()) emptied.push_back(path);
    }
    return emptied;
  }

  // Empty folders that a run made, once no run that is not undone uses
  // them, go as undo removes the folders of its own run: only when empty,
  // never through a link, below a parent that is still the one recorded;
  // and then their parents, alike.  Each one's record is marked undone
  // already: it was left, as it held what another run put there.
  void Tidy(const std::vector<HistoryRun>& runs, std::vector<std::string> paths) {
    // The settled steps that made each folder, and the folders that steps
    // still standing are in, or go into, or made.
    std::map<std::string, const HistoryRename*> makers;
    std::set<std::string> standing;
    for (const HistoryRun& x : runs) {
      for (const HistoryRename& r : x.renames) {
        const bool made = r.kind == StepKind::kMakeFolder;
        if (Settled(x, r)) {
          if (made && (r.made || !x.ended)) makers[FolderOf(r)] = &r;
        } else if (MayStand(x, r)) {
          standing.insert({r.directory, r.NewDirectory()});
          if (made) standing.insert(FolderOf(r));
        }
      }
    }
    // Whether a standing step uses the folder at path or one below it.
    auto used = [&](const std::string& path) {
      const auto below = standing.lower_bound(path);
      return below != standing.end() && below->starts_with(path);
    };
    while (!paths.empty()) {
      // The deepest first: a folder goes before its parent.
      auto deepest = std::max_element(
          paths.begin(), paths.end(),
          [](const std::string& a, const std::string& b) {
            return a.size() < b.size();
          });
      const std::string path = std::move(*deepest);
      paths.erase(deepest);
      const auto found = makers.find(path);
      if (found == makers.end() || used(path)) continue;
      const HistoryRename* maker = found->second;
      const platform::Folder* parent = looker.Reach(
          looker.open, maker->directory, maker->new_name, maker->folder_id);
      if (!parent) continue;
      const Made outcome = loop.Make({.kind = StepKind::kRemoveFolder,
                                      .folder = parent,
                                      .new_name = maker->new_name});
      if (outcome.words.empty()) {
        removed += ForScreen(console, ShownFolder(*maker)) + "\n";
        paths.push_back(maker->directory);
      } else if (outcome.failure != platform::Failure::kNotEmpty &&
                 outcome.failure != platform::Failure::kNotFound) {
        console.Print(ForScreen(console, ShownFolder(*maker)) + " [FAILED: " +
                      outcome.words + "; left]\n");
        end.failed = true;
      }
    }
  }
};

// The journal's lock, taken for an undo of its run, and the run read again
// under it; a run of the old history needs none.  Says why when it cannot
// be had.
struct Held {
  platform::JournalState state = platform::JournalState::kOpen;
  std::unique_ptr<platform::JournalFile> file;
};

Held Hold(platform::UserFiles& files, platform::Console& console,
          History& history, HistoryRun& run, bool keep_lock) {
  Held held;
  if (run.journal.empty()) return held;
  platform::OpenedJournal opened = files.OpenJournal(run.journal);
  held.state = opened.state;
  held.file = std::move(opened.file);
  if (held.state != platform::JournalState::kOpen) return held;
  // What another undo marked before the lock was ours; its damage is said.
  HistoryRun again;
  History scratch;
  scratch.problems = kProblemsShown;
  scratch.bytes = history.bytes;
  if (ReadJournal(files, console, scratch, run.journal, again) &&
      again.id == run.id)
    run = std::move(again);
  // Damage said or not, a record not read may be of a step not put back.
  history.damaged = history.damaged || scratch.damaged;
  if (scratch.bytes[run.journal] != history.bytes[run.journal] &&
      scratch.torn.empty())
    history.torn.erase(run.journal);
  // An undo that keeps no marks only looks: the lock goes at once.
  if (!keep_lock) held.file.reset();
  return held;
}

// Whether a run other than own may be going on: it could still move into a
// folder that looks unused.
bool AnyLive(platform::UserFiles& files, const std::vector<HistoryRun>& runs,
             const HistoryRun& own) {
  for (const HistoryRun& x : runs)
    if (&x != &own && !x.ended && !x.undone && !x.journal.empty() &&
        files.OpenJournal(x.journal).state == platform::JournalState::kLocked)
      return true;
  return false;
}

// The runs all undone whose journals were not read (their last record said
// so): read now, quietly, for the folders they made.
void ReadUndone(platform::UserFiles& files, platform::Console& console,
                std::vector<HistoryRun>& runs) {
  for (HistoryRun& x : runs) {
    if (!x.undone || !x.renames.empty() || x.journal.empty()) continue;
    History scratch;
    scratch.problems = kProblemsShown;
    HistoryRun read;
    if (ReadJournal(files, console, scratch, x.journal, read)) {
      read.journal = x.journal;
      read.undone = true;
      x = std::move(read);
    }
  }
}

std::string Live(platform::Console& console, const HistoryRun& run) {
  return "namewisp: the run " + ForScreen(console, run.id) +
         " is still going on, or being undone: left alone";
}

}  // namespace

RunEnd RunUndo(platform::FileSystem& files, platform::Interrupts& interrupts,
               platform::UserFiles& user_files, platform::Console& console,
               const UndoOptions& options) {
  const std::string& run_id = options.run_id;
  std::optional<History> history = LoadHistory(user_files, console, false);
  if (!history) return {false, true};
  std::vector<HistoryRun>& runs = history->runs;
  HistoryRun* run = nullptr;
  Held held;
  bool skipped = false;  // a run with nothing that can go back now
  if (!run_id.empty()) {
    for (auto r = runs.rbegin(); r != runs.rend() && !run; ++r)
      if (r->id == run_id) run = &*r;
    if (!run) {
      console.PrintError("namewisp: no run " + ForScreen(console, run_id) +
                         " in the undo history (namewisp --history lists "
                         "them)");
      return {false, true};
    }
    held = Hold(user_files, console, *history, *run, options.keep_history);
    if (held.state == platform::JournalState::kLocked) {
      console.PrintError(Live(console, *run) + "; try again when it ends");
      return {false, true};
    }
    if (RunUndone(*run)) {
      console.Print("That run is undone already.\n");
      return {false, history->damaged};
    }
  } else {
    for (auto r = runs.rbegin(); r != runs.rend() && !run; ++r) {
      if (RunUndone(*r) || Open(*r) == 0) continue;  // nothing made is left
      Held candidate =
          Hold(user_files, console, *history, *r, options.keep_history);
      if (candidate.state == platform::JournalState::kLocked) {
        console.PrintError(Live(console, *r));
        continue;
      }
      if (RunUndone(*r) || Open(*r) == 0) continue;
      Looker looker{files, *r, {}, {}};
      if (!looker.AnyToDo()) {
        console.PrintError("namewisp: the run " + ForScreen(console, r->id) +
                           " has nothing that can be put back now (its names "
                           "are held by other entries or out of reach): "
                           "left for a later undo");
        skipped = true;
        continue;
      }
      run = &*r;
      held = std::move(candidate);
    }
    if (!run) {
      console.Print("Nothing to undo.\n");
      return {false, skipped || history->damaged};
    }
  }
  if (held.state == platform::JournalState::kFailed) {
    console.PrintError("namewisp: the undo history " + run->journal +
                       " cannot be written: left alone");
    return {false, true};
  }
  if (TouchedLater(runs, run)) {
    console.PrintError("namewisp: a later run renamed the same entries: "
                       "undo that run first");
    return {false, true};
  }

  Undo undo(files, interrupts, user_files, console, *run);
  undo.preview = options.preview;
  // Without a history kept, a journal that writes nowhere.
  Journal& journal = undo.journal;
  if (options.keep_history) {
    journal.file = std::move(held.file);
    journal.path = run->journal;
    if (run->journal.empty()) {
      undo.marks_path =
          history->runs_folder + options.own_id + std::string(kMarksEnding);
      journal.path = undo.marks_path;
    }
  }
  journal.run_id = run->id;
  journal.console = &console;
  journal.unwritten = ": what was put back is not marked as undone";
  journal.torn = history->torn.count(run->journal) > 0;
  std::string first = "Undoing the run of " + When(run->started);
  if (!run->folder.empty()) first += " in " + Folder(*run);
  if (!run->options.empty()) first += " (" + run->options + ")";
  console.Print(ForScreen(console, first) + ": " + Count(undo.looker.Made(false)) +
                "\n");
  undo.Go();
  if (std::vector<std::string> emptied = undo.Emptied(); !emptied.empty() &&
      !AnyLive(user_files, runs, *run)) {
    ReadUndone(user_files, console, runs);
    undo.Tidy(runs, std::move(emptied));
  }
  undo.ShowFolders();
  // A record that could not be read may be of a rename not put back.
  if (history->damaged) undo.end.failed = true;
  return undo.end;
}

RunEnd ListHistory(platform::FileSystem& files, platform::UserFiles& user_files,
                   platform::Console& console) {
  std::optional<History> history = LoadHistory(user_files, console);
  if (!history) return {false, true};
  const std::vector<HistoryRun>& runs = history->runs;
  if (runs.empty()) console.Print("No runs in the undo history.\n");
  for (auto r = runs.rbegin(); r != runs.rend(); ++r) {
    std::string line = r->id + "  " + When(r->started);
    if (!r->folder.empty()) line += "  " + Folder(*r);
    if (!r->options.empty()) line += "  (" + r->options + ")";
    Looker looker{files, *r, {}, {}};
    line += "  " + Count(looker.Made(true));
    if (RunUndone(*r)) {
      line += ", undone";
    } else if (RunPartlyUndone(*r)) {
      line += ", partly undone";
    }
    // A run that holds its journal's lock is going on; one that does not
    // and never ended was killed, and what it left is for undo to clear.
    if (!r->ended && !r->journal.empty()) {
      if (user_files.OpenJournal(r->journal).state ==
          platform::JournalState::kLocked) {
        line += ", going on";
      } else if (!RunUndone(*r)) {
        line += ", cut short";
      }
    }
    console.Print(ForScreen(console, line) + "\n");
  }
  return {false, history->damaged};
}

}  // namespace app
