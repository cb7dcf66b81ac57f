// What namewisp asks of the operating system, in the program's own words: the
// command line, the console, the listing of the entries an operand names and
// the rename of one entry.  One header, one implementation per platform
// (posix/ and windows/); nothing above this folder includes a system header,
// and nothing below it decides what the program does.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/case.h"

namespace platform {

// --- process ----------------------------------------------------------------

// Prepares the console and the signals.  May end the process with exit code
// 255 when the platform cannot run the program.
void StartProgram(int argc, char** argv);
// Writes what is still held, restores what StartProgram changed and ends the
// process.
[[noreturn]] void EndProgram(int exit_code);

// The command line as the system hands it over.  Windows gives one text
// after the program's name, which the program reads by its tail rules; a
// POSIX shell has already split it into a list of arguments.
struct CommandLine {
  bool is_tail = false;
  std::string tail;                    // is_tail: the text after the name
  std::vector<std::string> arguments;  // else: the arguments after the name
};
CommandLine ReadCommandLine();

// --- console ----------------------------------------------------------------

// Writes text to standard output; "\n" ends a line and is written as the
// platform's line end.  Text may be held back until its line ends or a
// question is asked, so that a line goes out in one write.  A failed write
// is ignored: the renames matter more than their record.
void Print(std::string_view text);
// Writes one line to standard error, at once.
void PrintError(std::string_view line);
// The 1-based column in which the next printed character would stand.
int CursorColumn();
// The width of the window in columns; a very large number without one.
int ScreenWidth();
// How many columns the text takes on the screen.
int DisplayColumns(std::string_view text);

// The case of letters beyond ASCII, for the case rule: the platform's own
// simple mapping of single code points.
const text::CaseMapping& LetterCase();

enum class Answer { kYes, kNo };
// Prints the prompt and waits for one key press: "y" or "Y" is yes, any
// other key no.  Without a keyboard the answer is no, at once.  Where Ctrl+C
// interrupts (POSIX), it ends the process instead of answering.
Answer Ask(std::string_view prompt);

// --- listing ----------------------------------------------------------------

// Why a listing or a rename failed.
enum class Failure {
  kNone,
  kExists,      // an entry of the new name exists
  kNotFound,    // the entry (or its folder) is gone
  kPermission,
  kTooLong,
  kRefusedName,  // the system cannot take the name as it stands
  kInUse,
  kNoSpace,
  kOther,  // see code
};

struct Outcome {
  Failure failure = Failure::kNone;
  int code = 0;  // the system's own error number, for kOther
  bool ok() const { return failure == Failure::kNone; }
};


enum class EntryKind { kFile, kDirectory, kOther /* device, fifo, socket */ };

struct Entry {
  std::string name;  // without a directory part
  EntryKind kind = EntryKind::kFile;
  bool hidden = false;  // hidden or a system entry by the platform's custom
  bool link = false;    // a symbolic link (or junction): never entered
};

struct Listing {
  // The folder the entries live in, as the operand names it, with its
  // trailing separator; "" for the current folder.
  std::string directory;
  std::vector<Entry> entries;  // a snapshot, in the order to handle them
  // Why the folder could not be read; kNone also when it does not exist.
  Outcome failure;
};

// The entries an operand names: with a wildcard ("*" or "?") in its last
// part, those of its folder whose names match; else the one entry it
// names, when it exists.  "." and ".." are never listed.
Listing List(std::string_view operand);

// --- the user's own files -----------------------------------------------------

enum class UserFile {
  kHistory,  // the undo history: the program's state
  kTerms,    // the user's release terms: configuration
};
// Where the file lives by the platform's custom ("" when that cannot be
// told, as without a home folder).
std::string UserFilePath(UserFile file);

struct FileText {
  bool exists = false;  // false: no such file (no error)
  bool read = false;    // false with exists: it could not be read
  std::string text;
};
// Hands the file's text to `each` a piece at a time, through one buffer: a
// look through a large file without holding it.  The text of the result is
// empty.
FileText ScanFileText(std::string_view path,
                      const std::function<void(std::string_view piece)>& each);
// Appends text in one write, creating the file and its folders as needed.
bool AppendFileText(std::string_view path, std::string_view text);
// Replaces the file's text as one step: a reader sees the old or the new.
bool ReplaceFileText(std::string_view path, std::string_view text);

// The folder's absolute path, with its trailing separator ("" when it
// cannot be told).
std::string AbsoluteFolder(std::string_view directory);
// The separator of folders in a path.
char FolderSeparator();
// The time now, UTC, as "2026-12-08T23:30:00Z".
std::string UtcNow();
// A number that no other running process has.
long ProcessNumber();

// --- rename -----------------------------------------------------------------

// Gives the entry old_name of directory the name new_name, in one step, and
// never replaces an existing entry (kExists).  An interrupt waits until
// HoldInterrupts is released.
Outcome RenameEntry(std::string_view directory, std::string_view old_name,
                    std::string_view new_name);
// What RenameEntry would refuse without asking the file system: a name the
// system cannot take (too long, a character it cannot hold).  kNone when
// both names may be tried.
Outcome CheckNames(std::string_view directory, std::string_view old_name,
                   std::string_view new_name);
// True when name exists in directory (a dangling link included).
bool EntryExists(std::string_view directory, std::string_view name);
// True when both names denote one entry, as a change of letter case does on
// a file system that ignores case.
bool SameEntry(std::string_view directory, std::string_view a,
               std::string_view b);
// The system's own description of an error number, or "".
std::string DescribeError(int code);
// While held, Ctrl+C and other signals that end the process wait, so that
// a change in two steps is never cut between them.
void HoldInterrupts();
void ReleaseInterrupts();

}  // namespace platform
