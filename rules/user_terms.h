// The user's own release terms: a plain-text terms file whose terms "/k"
// removes after the built-in ones (doc/terms.example shows the format).
//
// One term a line, as it appears in a release name ("WEB-DL", "DDP5.1",
// "[MULTI]", "x265-*"); "#" starts a comment that runs to the line's end;
// spaces, tabs and a CR at either end of a line are ignored, and so are
// blank lines and a UTF-8 byte order mark at the start of the text.
//  - A final "*" makes a prefix term, which removes the whole word it begins
//    ("x265-*" removes "x265-GRP"); for a term of several words, the last
//    word need only begin with the term's last word.
//  - A term is cleaned as a name's stem is (rules/stem_cleanup.h): its
//    periods and underscores become the spaces between words, so "DDP5.1"
//    and "DDP5_1" both match the words "DDP5 1" that the cleanup makes of
//    "Movie.DDP5.1.mkv"; square brackets become round ones, so "[MULTI]"
//    matches "(MULTI)".  Periods and underscores at a term's ends go, as they
//    go from a name.
//  - The match is case-blind, as for the table; each line removes the first
//    occurrence of its term, lines in file order; the first word of a stem is
//    never removed.
// A line is an error, reported with its number, when its term
//  - is longer than 64 bytes (as written, after the trim),
//  - holds a space or a tab (write "Blu.Ray", not "Blu Ray"),
//  - holds a "*" other than a final one,
//  - is empty once cleaned ("*", "._").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/term_engine.h"
#include "rules/term_removal.h"

namespace rules {

inline constexpr std::size_t kMaxUserTermBytes = 64;

struct UserTerm {
  std::string written;  // the term as the file wrote it, for messages
  std::string search;   // lower case: " term " for a whole term, " prefix"
  bool prefix = false;
};

struct UserTerms {
  std::vector<UserTerm> terms;  // in file order
  TermIndex index;              // the same terms, for the matcher
};

struct TermsFileError {
  int line = 0;  // 1-based
  std::string problem;
};

struct TermsFile {
  UserTerms terms;
  std::vector<TermsFileError> errors;  // every bad line, in order
  bool ok() const { return errors.empty(); }
};

TermsFile ParseTermsFile(std::string_view text);

// Removes the user's terms from a working stem (no leading, trailing or
// doubled space), as the term removal does with the table's rows: changed
// when the stem is shorter.  Never empties a stem, never touches its first
// word.
TermResult RemoveUserTerms(std::string stem, const UserTerms& terms);

}  // namespace rules
