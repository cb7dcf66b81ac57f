// The undo history as a run keeps it: a journal of the run's own, locked
// while the run goes on, to which each rename is recorded, with the identity
// of the entry it renames, before it is made, in batches (one write for many
// records); the renames made are marked after them, and the journal reaches
// the disk at the end of each batch and of the run.  A history that cannot
// be started is said once on standard error, before any rename, and the run
// goes on without it; a record that cannot be written stops the run before
// its rename.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "app/journal/step.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/user_files.h"

namespace app {

// Runs kept: beyond them whole journals go, the oldest undone first.
constexpr std::size_t kRunsKept = 50;
// Runs not undone go only past these, the oldest first.
constexpr std::size_t kRunsCap = 200;
constexpr std::uint64_t kJournalBytesCap = std::uint64_t{512} << 20;
// A run's journal is named by its id and this ending; the marks of the old
// history's runs that an undo writes, by the undo's id and ".marks".
constexpr std::string_view kRunEnding = ".run";
constexpr std::string_view kMarksEnding = ".marks";

// The file of the journals' folder that keeps the order of the runs: each
// run appends the number it takes, one more than the last, under the
// file's lock.
constexpr std::string_view kSequenceFile = "sequence";

// Whether journal a is of a run older than b's: ids begin with the time a
// run started, and a run whose id was taken adds to it.  Only for journals
// whose runs took no sequence, and to trim.
bool OlderJournal(const platform::StoredFile& a, const platform::StoredFile& b);

// The next run's place in the order of the runs of the journals in folder:
// one more than the last taken, or than the highest of the journals' where
// the sequence file is new or holds none.  A clock that steps back, or runs
// that start in one second, cannot reorder runs taken so.  Where the lock is
// held on (a process stopped holding it) the number is read without it; 0
// where the sequence file cannot be used.
std::size_t TakeSequence(platform::UserFiles& files, const std::string& folder);

// An id no other run has: its start time, its process number and random
// bits, in the characters a file name takes everywhere.
std::string MakeRunId(std::string_view start_time, long process,
                      std::uint32_t random);

// A number of bytes as a user reads it: "1 GiB", "341 MiB", "12 KiB", "900
// bytes" (whole units, rounded down); with tenths, one decimal under ten
// units ("1.6 GiB"), so that a copy's bar is seen to move.
std::string SizeText(std::uint64_t bytes, bool tenths = false);

struct Journal {
  std::string path;  // "" when the run keeps no history
  std::string run_id;
  std::string start_time;  // UTC
  std::string options;     // as typed, for the run's first record
  std::size_t sequence = 0;  // its place in the order of runs, once started
  platform::Console* console = nullptr;
  platform::UserFiles* user_files = nullptr;  // where the journal is
  std::unique_ptr<platform::JournalFile> file;  // once started
  bool broken = false;     // a record could not be written: the run stops
  // What a write that fails means, said after "cannot be written".
  std::string_view unwritten =
      " (is the disk full?): the run stops here, and what it renamed can be "
      "undone";
  bool torn = false;  // its last line was cut short: the next write ends it
  // The journal reached the most a run records: the run stops, closed.
  bool full = false;
  std::uint64_t written = 0;  // bytes appended
  bool Stops() const { return broken || full; }
  std::size_t recorded = 0;  // renames recorded in this run
  std::string pending;       // records not yet written
  // The last folder recorded, its absolute path and identity: asked once a
  // listing.
  std::string folder, absolute_folder;
  platform::EntryId folder_id;
  const platform::FolderHandle* folder_handle = nullptr;
  bool by_name = false;  // its file system keeps no numbers of its entries
  // The same of the last folder moved into.
  std::string to_folder, to_absolute;
  platform::EntryId to_folder_id;
  const platform::FolderHandle* to_handle = nullptr;
  bool to_by_name = false;
  // The same of the last folder a folder was made in.
  std::string parent_folder, parent_absolute;
  platform::EntryId parent_folder_id;
  const platform::FolderHandle* parent_handle = nullptr;
  bool parent_by_name = false;
  // The facts of each folder a move was recorded from, as they were before
  // the first of them (by absolute path): a download folder emptied and
  // removed is recorded with its time before the run.
  std::map<std::string, platform::EntryFacts> folder_facts;
  // The renames made since the last write, as a range of numbers.
  std::size_t made_first = 0, made_count = 0;
};

// Returned by RecordRename for a rename that cannot be recorded: it must not
// be made.
constexpr std::size_t kNotRecorded = static_cast<std::size_t>(-1);

// A journal for a run that renames, started at start_time (UTC) by process
// number process with the options as typed: off without keep_history (a dry
// run, --no-history); its file is made with the first record.
Journal OpenJournal(platform::UserFiles& user_files, platform::Console& console,
                    bool keep_history, const std::string& start_time,
                    long process, std::uint32_t random,
                    std::string options = {});

// Adds a record for the rename of entry of folder (in files) ahead of it;
// returns its number in the run, or kNotRecorded when its folder cannot be
// told, the journal cannot be written, or it would pass the most a run
// records (said once: the run stops).
std::size_t RecordRename(Journal& journal, platform::FileSystem& files,
                         const platform::Folder& folder,
                         const platform::Entry& entry,
                         std::string_view new_name);
// The same for a move of entry from the folder from into the folder to, or
// for its link or copy there (kind).
std::size_t RecordMove(Journal& journal, platform::FileSystem& files,
                       const platform::Folder& from,
                       const platform::Entry& entry, const platform::Folder& to,
                       std::string_view new_name,
                       StepKind kind = StepKind::kMove);
// Adds a record, ahead of it, of the folder name that the run makes in
// parent; numbered as renames are, and marked made once made.
std::size_t RecordFolder(Journal& journal, platform::FileSystem& files,
                         const platform::Folder& parent, std::string_view name);
// Adds the record of a step of move number's copy between two disks
// (app/carry/cross_device_move.h; back: undo's copy back) and writes it to the
// disk ahead of the step; false when it cannot be (the run stops).
// had: the file's facts as its copy begins, recorded with it where known.
bool RecordCopy(Journal& journal, std::size_t number, bool copied,
                platform::EntryId id, bool back, const platform::EntryFacts& had);
// Adds a record, ahead of it, of the removal of folder (open), the entry
// name of parent, with its mode and identity.
std::size_t RecordRemoved(Journal& journal, platform::FileSystem& files,
                          const platform::Folder& parent,
                          const platform::Folder& folder, std::string_view name);
// Notes the folder made (open, its path set) under its name in parent, so
// that the moves into it are recorded without asking the system where it
// is: below its parent, on that file system.
void NoteMadeFolder(Journal& journal, platform::FileSystem& files,
                    const platform::Folder& parent, const platform::Folder& made,
                    std::string_view name);
// Notes that the rename of that number was made.
void RecordMade(Journal& journal, std::size_t number);
// Writes what is pending in one write, and with sync makes it reach the
// disk: the one way records reach a journal, a run's and an undo's marks.
// False when it could not be written, or a journal with records pending has
// no file (said on standard error): the run must stop before its next
// rename.
bool WriteJournal(Journal& journal, bool sync = false);
// Writes what is pending and closes the run.
void CloseJournal(Journal& journal);

// Whether the journal's last record says its run is all undone: read from
// its last bytes alone.
bool JournalUndone(platform::UserFiles& files, const std::string& path);

// Removes whole journals of the folder beyond what is kept: the oldest
// undone first, and past the caps the oldest; never the one named own, nor
// one whose run or undo goes on.
void TrimJournals(platform::UserFiles& files, const std::string& folder,
                  std::string_view own);

}  // namespace app
