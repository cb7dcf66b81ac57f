// The undo history's text: the records a run appends before it renames, and
// reading them back so that `namewisp --undo` can put the names back.
//
// The history is one text file. Its first line is "namewisp history 1"; each
// other line is one record of fields separated by tabs, whose last field is
// its check: 8 hex digits of the 32-bit FNV-1a hash of the line's bytes before
// the tab that precedes it. "run <id> <started>" opens a run; "rename <run id>
// <folder> <old name> <new name>" records one rename of that run, written
// before the rename is made, with the folder's absolute path; "made <run id>
// <n>" or "made <run id> <n>-<m>" says that the run's renames number n (to
// m), counted from 0, were made; "undone <run
// id>" marks that run as undone. Undo puts back only the renames that were
// made. In the fields a backslash is written "\\", a
// tab "\t", a line feed "\n", a carriage return "\r", and every other byte
// below 0x20, 0x7F and each byte that is not part of valid UTF-8 as "\xHH"; all
// other bytes stand as they are, so that a name keeps its exact bytes and the
// file stays valid UTF-8. Lines end in a line feed (a carriage return before
// it is ignored) and empty lines are skipped. A line that fails its check, or
// has a wrong number of fields, a bad escape or an empty id, folder or name,
// is reported by its number and never followed, as is a rename whose run id
// is not that of the run last opened; no other line depends on it. The file
// keeps the last 50 runs: when a new run would make more, the older ones are
// dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// Runs kept in the history, the new one included.
constexpr std::size_t kHistoryRunsKept = 50;

struct HistoryRename {
  std::string directory;  // absolute
  std::string old_name;
  std::string new_name;
  bool made = false;  // a "made" record says the rename was made
};

struct HistoryRun {
  std::string id;
  std::string started;
  bool undone = false;
  std::vector<HistoryRename> renames;  // in the order they were recorded
};

struct HistoryRead {
  // The text begins with this format's first line. When it does not, the
  // file is another program's or a newer namewisp's (or empty): it must be
  // neither appended to nor rewritten, but an empty one may be started.
  bool known_format = false;
  std::vector<HistoryRun> runs;       // oldest first
  std::vector<std::string> problems;  // "line 7: ...", in line order
};

// The first line of a new history, with its line end.
std::string HistoryHeader();

// One record each, with its line end, to append. A caller whose file does not
// end in a line feed (a write cut short) appends one first, so that the torn
// line stays a line of its own.
std::string FormatRunStart(std::string_view id, std::string_view started);
std::string FormatRename(std::string_view run_id, const HistoryRename& rename);
// The same record appended to out, without a copy of the names.
void AppendRename(std::string& out, std::string_view run_id,
                  std::string_view directory, std::string_view old_name,
                  std::string_view new_name);
// The renames numbered first to last (from 0) of the run were made.
std::string FormatMade(std::string_view run_id, std::size_t first,
                       std::size_t last);
std::string FormatUndone(std::string_view run_id);

// Every sound record; every other line is reported and skipped.
HistoryRead ReadHistory(std::string_view text);

// The history with only its last `n` runs (and their undone marks), written
// afresh: lines that could not be read are dropped. A text that is not in this
// format comes back unchanged.
std::string KeepLastRuns(std::string_view text, std::size_t n);

// The run `namewisp --undo` puts back, or null when every run is undone.
const HistoryRun* LastRunNotUndone(const HistoryRead& history);

}  // namespace app
