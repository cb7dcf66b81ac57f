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

struct LongOptions {
  bool help = false;
  bool version = false;
  bool dry_run = false;
  bool undo = false;
  bool history = false;  // "--history": list the kept runs
  bool no_history = false;
  bool recursive = false;
  bool terms_given = false;
  std::string terms_file;
  // "--into LIBRARY", "--movies DIR", "--shows DIR".
  std::string into, movies, shows;
  std::string missing;  // an option of these given without its folder
  std::string rest;  // the tail without the long options
};

LongOptions CutLongOptions(std::string_view tail);

// The long options a run is recorded with, after its "/" options: those
// that change what it renames, and the library it moves into.
void AddLongOptionWords(const LongOptions& found, std::string& words);

// Sets the flag of a long option that takes no value; false for a word that
// is none ("--terms" included).
bool SetLongOption(std::string_view word, LongOptions& found);

// The folder a long option takes ("--into"), or null for a word that is
// none of those.
std::string* FolderOption(std::string_view word, LongOptions& found);

// Whether a request with these long options moves into a library.
bool IntoLibrary(const LongOptions& found);

struct Request;
// The library's folders into the request's options; a library means "/v".
void SetLibrary(const LongOptions& found, Request& request);

}  // namespace app
