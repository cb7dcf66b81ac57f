#include "rules/user_terms.h"

#include <algorithm>

#include "rules/ascii.h"
#include "rules/stem_cleanup.h"
#include "rules/tidy_spaces.h"
#include "text/case.h"

namespace rules {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The term of one line, or the problem with it; an empty search text with
// no problem means the line holds no term.
std::string ReadTerm(std::string_view line, UserTerm& term) {
  line = line.substr(0, line.find('#'));
  line = TrimBlanks(line);
  if (line.empty()) return {};
  if (line.size() > kMaxUserTermBytes)
    return "term longer than " + std::to_string(kMaxUserTermBytes) + " bytes";
  if (line.find_first_of(" \t") != std::string_view::npos) {
    return "term with a space or tab (join its words with \".\" or \"_\", "
           "as in a release name)";
  }
  term.prefix = line.back() == '*';
  std::string_view body = term.prefix ? line.substr(0, line.size() - 1) : line;
  if (body.find('*') != std::string_view::npos)
    return "\"*\" inside a term (only a final \"*\", for a prefix term)";
  std::string cleaned = CleanStem(body);
  if (cleaned.empty()) return "empty term";
  term.written = std::string(line);
  // Appended piece by piece: GCC 12 warns falsely about " " + string.
  term.search.reserve(cleaned.size() + 2);
  term.search.push_back(' ');
  term.search.append(text::AsciiLowerForm(cleaned));
  if (!term.prefix) term.search.push_back(' ');
  return {};
}

void Index(UserTerms& terms, std::uint32_t t) {
  const UserTerm& term = terms.terms[t];
  const std::string_view search = term.search;
  const std::size_t space = search.find(' ', 1);
  const std::string_view first = search.substr(1, space - 1);
  if (!IsAscii(search)) terms.ascii = false;
  if (!IsAscii(first)) {
    terms.always.push_back(t);
    return;
  }
  const bool prefix = term.prefix && space == std::string_view::npos;
  terms.by_first_byte[static_cast<unsigned char>(first[0])].push_back(
      {std::string(first), prefix, t});
}

// Whether the stem's word can begin a match of the term: it is the term's
// first word, or begins with it for a one-word prefix term.
bool FirstWordMatches(std::string_view word, const UserTerms::FirstWord& first) {
  if (first.prefix ? word.size() < first.word.size()
                   : word.size() != first.word.size()) {
    return false;
  }
  return ascii::EqualsFolded(word.substr(0, first.word.size()), first.word);
}

// The terms that can match: those whose first word is one of the stem's
// words after the first (removals only ever cut words out, so no other term
// can match later).  At most kMost of them are listed; past that, all.
constexpr std::size_t kMost = 64;

struct Candidates {
  std::uint32_t list[kMost];
  std::size_t count = 0;
  bool all = false;
  void Add(std::uint32_t t) {
    if (count < kMost) {
      list[count++] = t;
    } else {
      all = true;
    }
  }
};

void MarkWord(std::string_view word, const UserTerms& terms, Candidates& c) {
  if (word.empty()) return;
  const unsigned char first = static_cast<unsigned char>(ascii::AsciiLower(word[0]));
  if (first >= 128) return;
  for (const UserTerms::FirstWord& w : terms.by_first_byte[first]) {
    if (FirstWordMatches(word, w)) c.Add(w.term);
  }
}

void FindCandidates(std::string_view stem, const UserTerms& terms,
                    Candidates& c) {
  for (std::uint32_t t : terms.always) c.Add(t);
  // Every word after the first: the pieces behind each space.
  std::size_t start = std::string_view::npos;
  for (std::size_t i = 0; i < stem.size(); ++i) {
    if (stem[i] != ' ') continue;
    if (start != std::string_view::npos)
      MarkWord(stem.substr(start, i - start), terms, c);
    start = i + 1;
  }
  if (start != std::string_view::npos) MarkWord(stem.substr(start), terms, c);
  if (c.count < 2) return;
  std::sort(c.list, c.list + c.count);
  c.count = static_cast<std::size_t>(std::unique(c.list, c.list + c.count) - c.list);
}

// The first place where the lower-case ASCII pattern, which begins with a
// space, matches the text up to the case of its letters; npos if none.
std::size_t FindFolded(std::string_view text, std::string_view pattern) {
  if (text.size() < pattern.size()) return std::string_view::npos;
  const std::size_t last = text.size() - pattern.size();
  for (std::size_t at = text.find(' '); at != std::string_view::npos && at <= last;
       at = text.find(' ', at + 1)) {
    std::size_t i = 1;
    while (i < pattern.size() && ascii::AsciiLower(text[at + i]) == pattern[i]) ++i;
    if (i == pattern.size()) return at;
  }
  return std::string_view::npos;
}

}  // namespace

TermsFile ParseTermsFile(std::string_view text) {
  TermsFile file;
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  int number = 0;
  for (std::size_t from = 0; from <= text.size(); ++number) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    UserTerm term;
    std::string problem = ReadTerm(text.substr(from, end - from), term);
    if (!problem.empty()) {
      file.errors.push_back({number + 1, std::move(problem)});
    } else if (!term.search.empty()) {
      file.terms.terms.push_back(std::move(term));
    }
    from = end + 1;
  }
  for (std::uint32_t t = 0; t < file.terms.terms.size(); ++t) Index(file.terms, t);
  return file;
}

TermResult RemoveUserTerms(std::string stem, const UserTerms& terms) {
  Candidates candidates;
  FindCandidates(stem, terms, candidates);
  if (candidates.count == 0 && !candidates.all && IsTidy(stem))
    return {std::move(stem), false};
  std::string working = stem;
  working.push_back(' ');
  // Cuts are made at spaces, so a lower-case form is cut alongside.
  std::string lower = terms.ascii ? std::string() : text::AsciiLowerForm(working);
  auto apply = [&](const UserTerm& term) {
    const std::size_t at = terms.ascii ? FindFolded(working, term.search)
                                       : lower.find(term.search);
    if (at == std::string::npos) return;
    // Keep the space in front of the match and the one behind it; a prefix
    // runs on to the end of the word it ends in.
    const std::size_t from = at + 1;
    const std::size_t to = term.prefix
                               ? working.find(' ', at + term.search.size())
                               : at + term.search.size() - 1;
    working.erase(from, to - from);
    if (!terms.ascii) lower.erase(from, to - from);
  };
  if (candidates.all) {
    for (const UserTerm& term : terms.terms) apply(term);
  } else {
    for (std::size_t i = 0; i < candidates.count; ++i)
      apply(terms.terms[candidates.list[i]]);
  }
  Tidy(working);
  const bool changed = working != stem;
  return {changed ? std::move(working) : std::move(stem), changed};
}

}  // namespace rules
