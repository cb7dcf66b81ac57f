// The undo history's text: the records a run appends to its journal before
// it renames, and reading them back so that `namewisp --undo` can put the
// names back.
//
// Each run writes a journal of its own; earlier namewisps wrote every run to
// one history file, which is still read.  Its first line is "namewisp
// history 4" (or 3, 2 or 1, written by an earlier namewisp and read alike);
// each other line is one record of fields separated by tabs, whose last
// field is its check: 8 hex digits of the 32-bit FNV-1a hash of the line's
// bytes before the tab that precedes it. The records:
//
//   run <id> <started> <folder> <options> <sequence>
//                                           a run begins (in the folder, with
//                                           the options as typed), the
//                                           sequence-th of the history's runs
//                                           (0: none could be taken)
//   rename <run id> <n> <folder> <old> <new> <entry> <folder entry>
//                                           the run's rename number n (from
//                                           0), written before it is made
//   move <run id> <n> <folder> <old> <to folder> <new> <entry> <folder
//        entry> <to folder entry>
//                                           the run's rename number n, into
//                                           another folder
//   link ..., copy ...                      as move, the file staying where
//                                           it is: the other folder gets a
//                                           hard link to it (or, where none
//                                           can be made, a copy, its records
//                                           as a move's), or a copy
//   folder <run id> <n> <parent> <name> <parent entry>
//                                           the run's step n makes the
//                                           folder name in parent (marked
//                                           made once made)
//   across <run id> <n> <way>               move n goes between two disks:
//                                           its copy (way "to"; undo's copy
//                                           back, "back") begins
//   copied <run id> <n> <way> <entry>       that copy is whole, with that
//                                           identity, and takes its name
//   removed <run id> <n> <parent> <name> <mode> <parent entry> <entry>
//                                           the run's step n removes the
//                                           download folder name of parent,
//                                           emptied by its moves (mode in
//                                           octal), written before
//   facts <run id> <n> <owner> <group> <mode> <accessed> <modified>
//                                           what the file of move n (or
//                                           the folder removed by step n)
//                                           has besides its name, written
//                                           with its step (a move's, by an
//                                           earlier namewisp) or with its
//                                           copy's "across": owner and group
//                                           ids, mode in octal (set-user-id
//                                           and the like too), times in ns
//                                           since 1970; undo gives them back
//                                           to what comes back through a
//                                           copy, and to a folder made again
//   made <run id> <n>[-<m>]                 renames n (to m) were made
//   undone <run id> <n>[-<m>]               renames n (to m) are put back, or
//                                           gone for good
//   undone <run id>                         every rename of the run is
//   end <run id> <count>                    the run ended with count renames
//
// <entry> is the identity of the entry renamed ("<volume>:<index>" in hex;
// "=<size>:<modification time in ns>" where the file system does not keep
// its entries' numbers), or "-" where it tells none, and <folder entry> that
// of its folder ("-" there too where numbers are not kept): undo takes an
// unmarked rename as made when the new name holds that entry and the old
// name is free, so a run killed between a record and its mark loses
// nothing, and an entry is gone only from the folder that was the run's. The earlier records "run <id> <started>", a run without its
// sequence, "rename <run id> <folder> <old> <new>" (numbered by their order)
// and a rename without its folder's identity are read too.
//
// Records are joined to their run by its id. In the fields a backslash is
// written "\\", a tab "\t", a line feed "\n", a carriage return "\r", and
// every other byte below 0x20, 0x7F and each byte that is not part of valid
// UTF-8 as "\xHH"; all other bytes stand as they are. Lines end in a line
// feed (a carriage return before it is ignored) and empty lines are skipped.
// A line that fails its check, has a wrong number of fields, a bad escape,
// an empty id or name, a folder that is not absolute, or "." or ".." or a
// name with a "/" is reported by its number and skipped alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal/step.h"
#include "platform/file_system.h"

namespace app {

// A step as its journal records it, and what later records say of it.
struct HistoryRename : Step {
  bool made = false;     // a "made" record says the step was made
  platform::EntryId id;  // the entry renamed, where known
  std::size_t number = 0;
  bool undone = false;  // put back, or gone for good
  platform::EntryId folder_id;  // its folder, where known
  platform::EntryId to_folder_id;  // a move's folder's
  // A move between two disks: its copy began (across), was whole and took
  // its name (copied, as copy_id); and the same of undo's copy back.
  bool across = false, copied = false, back = false, back_copied = false;
  platform::EntryId copy_id, back_id;
  std::uint32_t mode = 0;  // a removed folder's
  platform::EntryFacts facts;  // a move's file's, a removed folder's
};

struct HistoryRun {
  std::string id;
  std::string started;
  bool undone = false;  // the earlier whole-run mark
  std::vector<HistoryRename> renames;  // in the order of their numbers
  std::string folder;   // where the run started ("" when not recorded)
  std::string options;  // as typed
  bool ended = false;   // an "end" record closes it
  std::string journal;  // its own journal ("" in the history of old)
  // Its place in the order of the history's runs, taken as its journal
  // began; 0 for a run of an earlier namewisp, ordered by its id.
  std::size_t sequence = 0;
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

// The kinds of record; each is a row of one table (history_format.cc) that
// both writes and reads it, with the older shapes of its fields that are
// still read.
enum class RecordKind : unsigned char {
  kRun,        // run
  kRename,     // rename
  kMove,       // move
  kLink,       // link
  kCopy,       // copy
  kFolder,     // folder: a made folder
  kRemoved,    // removed: a removed folder
  kAcross,     // across
  kCopied,     // copied
  kFacts,      // facts
  kMade,       // made
  kUndone,     // undone, with a range
  kRunUndone,  // undone, of the whole run
  kEnd,        // end
};

// One record's values: each kind has its own of them, as the table says.
// Its texts are views, of the caller's when written and of the line's
// fields when read.
struct Record {
  RecordKind kind = RecordKind::kRun;
  std::string_view run_id{};
  std::string_view started{}, folder{}, options{};  // a run's start
  std::size_t sequence = 0;                          // and its place
  // A step's number; the first of the range a mark names; an end's count.
  std::size_t number = 0;
  std::size_t last = 0;  // the last of a mark's range
  // A step's folders and names, as Step has them.
  std::string_view directory{}, old_name{}, to_directory{}, new_name{};
  platform::EntryId id{};  // the entry's; of "copied", the copy's
  platform::EntryId folder_id{}, to_folder_id{};
  std::uint32_t mode = 0;  // a removed folder's
  bool back = false;       // a copy's way: undo's copy back
  platform::EntryFacts facts{};  // of "facts"
  bool operator==(const Record&) const = default;
};

// What a write appends to a line that a write before it cut short, ahead of
// its own records: no record ends so (its last field is its check), and the
// line is read as cut short, not as damage.
inline constexpr std::string_view kTornEnd = "\t~";

// The record with its line end, appended to out (a run writes many at a
// time, without copies of the names). A caller whose file does not end in
// a line feed (a write cut short) appends one first, so that the torn line
// stays a line of its own.
void AppendRecord(std::string& out, const Record& record);
// The same with its check left open, to be written by SealRecords: a run
// appends a batch's records so and seals them together before they are
// written, the checks of four lines side by side.  An open line is no
// record; no line of a journal is written open.
void AppendUnsealed(std::string& out, const Record& record);
// Writes the check of every open line of text.
void SealRecords(std::string& text);
std::string FormatRecord(const Record& record);
// Reads one record line (without its line end) into record, its texts
// views of texts; returns what is wrong with it, or "".
std::string ParseRecord(std::string_view line, Record& record,
                        std::vector<std::string>& texts);

// The records that are written whole, in short.
std::string FormatRunStart(std::string_view id, std::string_view started,
                           std::string_view folder = {},
                           std::string_view options = {},
                           std::size_t sequence = 0);
// The renames numbered first to last (from 0) of the run were made.
std::string FormatMade(std::string_view run_id, std::size_t first,
                       std::size_t last);
// The renames numbered first to last are undone (put back or gone).
std::string FormatUndone(std::string_view run_id, std::size_t first,
                         std::size_t last);
std::string FormatEnd(std::string_view run_id, std::size_t count);
// Every rename of the run is undone: the last record of its journal.
std::string FormatRunUndone(std::string_view run_id);

// Every sound record; every other line is reported and skipped.
HistoryRead ReadHistory(std::string_view text);
// Reads the records of another file (its marks of the runs read, say) into
// read; returns that file's problems.
std::vector<std::string> ReadMore(HistoryRead& read, std::string_view text);

// Whether the last record of a journal's text (its last bytes, say) marks
// the whole run undone.
bool EndsUndone(std::string_view text);

// Whether every rename of the run that was made (or may have been) is undone.
bool RunUndone(const HistoryRun& run);
// Whether some but not all of them are.
bool RunPartlyUndone(const HistoryRun& run);

}  // namespace app
