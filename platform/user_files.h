// The user's own files: the undo history's journals, the old history file
// and the terms, in the folders of the program's own by the platform's
// custom.  Only the history and the terms use them; a dry run reads them as
// a run does and has no side of its own.  One side per system (posix/,
// windows/); tests use a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class UserFile {
  kHistory,  // the undo history of earlier namewisps: read, never written
  kRuns,     // the folder of the runs' journals, with its trailing separator
  kTerms,    // the user's release terms: configuration
};

// The most a user file may hold.
constexpr std::uint64_t kUserFileCap = std::uint64_t{1} << 30;

struct FileText {
  bool exists = false;  // false: no such file (no error)
  bool read = false;    // false with exists: it could not be read
  bool too_big = false;  // why not: it holds more than SizeCap()
  std::string text;
};

// A journal of the program's own, open for appending and locked by this
// process for as long as the object lives: a process that ends, however it
// ends, lets the lock go, and a lock that cannot be taken means that the
// journal's run (or its undo) is going on.
class JournalFile {
 public:
  virtual ~JournalFile() = default;
  // Writes text at the end of the file; true once all of it is written.
  virtual bool Append(std::string_view text) = 0;
  // What was appended reaches the disk.
  virtual bool Sync() = 0;
};

enum class JournalState {
  kOpen,
  kLocked,  // another process holds its lock
  kExists,  // creating: a file of that name is there already
  kFailed,  // gone, or not a regular file of the user's own
};

struct OpenedJournal {
  std::unique_ptr<JournalFile> file;  // with kOpen
  JournalState state = JournalState::kFailed;
};

// A file of a folder of the program's own, and its size.
struct StoredFile {
  std::string name;
  std::uint64_t bytes = 0;
};

class UserFiles {
 public:
  virtual ~UserFiles() = default;

  // Where the user's file lives by the platform's custom ("" when that
  // cannot be told, as without a home folder).
  virtual std::string UserFilePath(UserFile file) = 0;
  // Hands the file's text to `each` a piece at a time, through one buffer,
  // from its start or, with tail, from that many bytes before its end.  The
  // text of the result is empty.  Only a regular file is read (anything
  // else, or one past SizeCap() bytes, counts as unreadable), never through
  // a link, and the history and journals only when they are the user's own
  // and closed to others' writes.
  virtual FileText ScanFile(
      std::string_view path,
      const std::function<void(std::string_view piece)>& each,
      std::uint64_t tail = 0) = 0;
  // Creates the journal at path, and its folders as needed, never over an
  // existing file (kExists), and takes its lock.
  virtual OpenedJournal CreateJournal(std::string_view path) = 0;
  // Opens an existing journal for appending and takes its lock without
  // waiting: kLocked when another process holds it.
  virtual OpenedJournal OpenJournal(std::string_view path) = 0;
  // Removes the journal at once when no process holds its lock; false when
  // one does, or it cannot be removed.
  virtual bool RemoveJournal(std::string_view path) = 0;
  // The regular files of a folder of the program's own (none when it does
  // not exist); false when it cannot be read, or is no folder of the user's
  // own.
  virtual bool ListStored(std::string_view folder,
                          std::vector<StoredFile>& files) = 0;
  // The most a user file may hold: a journal stops growing before it.
  virtual std::uint64_t SizeCap() { return kUserFileCap; }
};

}  // namespace platform
