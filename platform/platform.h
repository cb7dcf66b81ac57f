// The services namewisp takes from the operating system: the process and its
// console, the command tail, the directory listing and the rename.  One header,
// one implementation per platform (posix/ and windows/); nothing above this
// folder includes a system header.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where a service records the failure of a call it made for its caller.  A
// failed call leaves the caller running; only the caller decides whether the
// failure is shown.
struct ErrorSlot {
  int code = 0;             // the platform's own error number; 0 = no failure
  const char* reason = "";  // short, plain words for a user, e.g. "not found"
};

// --- process --------------------------------------------------------------

// Prepares the console (keyboard in single-key mode, ...).  May end the
// process with exit code 255 when the platform cannot run the program.
void StartProgram(int argc, char** argv);
// Restores what StartProgram changed and ends the process.
[[noreturn]] void EndProgram(int exit_code);

// True where the shell expands wildcards before the program sees them.
bool ShellExpandsPatterns();

// The command line after the program's own name, as UTF-16 text.
std::u16string CommandTail();
// Conversions between 8-bit text (the platform's byte encoding of names) and
// UTF-16 text.  ToAnsi(ToWide(x)) == x for every x on POSIX.
std::u16string ToWide(std::string_view text);
std::string ToAnsi(std::u16string_view text);

// --- console --------------------------------------------------------------

// Writes the bytes unchanged, in one go, to standard output.
void PrintText(std::string_view text, ErrorSlot& slot);
// Writes CR LF.
void PrintLineEnd(ErrorSlot& slot);
// The 1-based column of the cursor, and the width of the window in columns.
int CursorColumn();
int ScreenWidth();
// The column CursorColumn would give after PrintText(text), without printing
// it; 0 where only printing it would tell.  Lets a caller decide a line
// break first and then write the line in one go.
int CursorColumnAfter(std::string_view text);
// How many columns the text takes on the screen; never more than its bytes.
int DisplayColumns(std::string_view text);
// Waits for one key press and returns its answer key.  Without a keyboard it
// answers at once with a key other than "y".
std::u16string WaitKey();

// --- Unicode case of one code point, by the platform's rules ----------------

char32_t CodePointLower(char32_t c);
char32_t CodePointUpper(char32_t c);
// True for a letter that has case: an upper- or lower-case letter, or one with
// a case counterpart.
bool CodePointIsCased(char32_t c);

// --- listing and rename ---------------------------------------------------

// Starts a listing of the entries matching spec that pass the selection of
// attribute_code (0x80 files, 0x10 files and directories, 0x90 directories)
// and returns the first name, or "" when there is none.  The matching names
// are all read when the listing starts.
std::string ListFirst(std::string_view spec, int attribute_code);
// The next name of the listing, or "" at its end.
std::string ListNext();
// The directory part of the listing's spec, with its trailing separator ("" for
// the current directory): the folder in which the listed names live.
std::string ListDirectory();
// Renames directory+old_name to directory+new_name without ever replacing an
// existing entry.  Returns false and fills slot when the rename failed.
bool RenameEntry(std::string_view directory, std::string_view old_name,
                 std::string_view new_name, ErrorSlot& slot);

}  // namespace platform
