// The long options: whole words of the command tail, cut out before the "/"
// options are looked for.  "--terms" takes the word after it as its file,
// "--into", "--movies" and "--shows" as their folder.
// A word after "--" is never taken as one, and "--" itself goes.  Double
// quotes group a word with the spaces inside them, and a quoted word is
// never an option; the file's quotes are dropped.
#pragma once

#include <string>
#include <string_view>

namespace app {

struct LongOption;

// What the long options of a command line set; option_table.cc says which
// word sets which.
struct LongOptions {
  bool help = false;
  bool version = false;
  bool dry_run = false;
  bool undo = false;
  bool history = false;  // "--history": list the kept runs
  bool no_history = false;
  bool recursive = false;
  bool link = false, copy = false, link_only = false;  // how a library is filed
  bool ids = false;
  std::string terms_file;
  std::string server;  // "--server NAME"
  // "--into LIBRARY", "--movies DIR", "--shows DIR".
  std::string into, movies, shows;
  const LongOption* missing = nullptr;  // one given without its file or folder
  std::string rest;  // the tail without the long options
};

LongOptions CutLongOptions(std::string_view tail);

// The long option that is this word, or null.
const LongOption* FindLongOption(std::string_view word);

// "namewisp: --into needs a folder".
std::string MissingValueError(const LongOption& option);

// Whether the option was given: its flag, or its file or folder.
bool Given(const LongOption& option, const LongOptions& found);

// Whether an option that only a rename run takes was given.
bool RenameOptionGiven(const LongOptions& found);

// The long options a run is recorded with, after its "/" options: those
// that change what it renames, and the library it moves into.
void AddLongOptionWords(const LongOptions& found, std::string& words);

struct Request;
// The long options into the request, but for the help and the version; a
// library means "/v".
void ApplyLongOptions(const LongOptions& found, Request& request);

}  // namespace app
