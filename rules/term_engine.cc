#include "rules/term_engine.h"

#include <algorithm>
#include <cstring>

#include "rules/ascii.h"
#include "rules/tidy_spaces.h"
#include "text/case.h"

namespace rules {
namespace {

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Whether the stem's word can begin a match of the term: it is the term's
// first word, or begins with it for a one-word prefix term.
bool FirstWordMatches(std::string_view word, const TermIndex::FirstWord& first) {
  const std::string_view want = first.word;
  if (first.prefix ? word.size() < want.size() : word.size() != want.size()) {
    return false;
  }
  // The first byte chose the list the word was looked up in.
  return ascii::EqualsFolded(word.substr(1, want.size() - 1), want.substr(1));
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

template <class Each>
void ForFirstWords(std::string_view word, const TermIndex& index, Each each) {
  if (word.empty()) return;
  const unsigned char first =
      static_cast<unsigned char>(ascii::AsciiLower(word[0]));
  if (first >= 128) return;
  for (const TermIndex::FirstWord& w : index.by_first_byte[first]) {
    if (FirstWordMatches(word, w)) each(w.term);
  }
}

void FindCandidates(std::string_view stem, const TermIndex& index,
                    Candidates& c) {
  for (std::uint32_t t : index.always) c.Add(t);
  auto add = [&c](std::uint32_t t) { c.Add(t); };
  // Every word after the first: the pieces behind each space.
  const char* const data = stem.data();
  const char* space = static_cast<const char*>(std::memchr(data, ' ', stem.size()));
  while (space) {
    const std::size_t from = static_cast<std::size_t>(space - data) + 1;
    space = static_cast<const char*>(std::memchr(data + from, ' ', stem.size() - from));
    const std::size_t end = space ? static_cast<std::size_t>(space - data) : stem.size();
    ForFirstWords(stem.substr(from, end - from), index, add);
  }
  if (c.count < 2) return;
  std::sort(c.list, c.list + c.count);
  c.count = static_cast<std::size_t>(std::unique(c.list, c.list + c.count) - c.list);
}

// The first place where the lower-case ASCII pattern, which begins with a
// space, matches the text up to the case of its letters; npos if none.
std::size_t FindFolded(std::string_view text, std::string_view pattern) {
  if (text.size() < pattern.size()) return std::string_view::npos;
  const std::size_t last = text.size() - pattern.size();
  const char* const data = text.data();
  for (std::size_t at = 0; at <= last;) {
    const void* hit = std::memchr(data + at, ' ', last - at + 1);
    if (!hit) return std::string_view::npos;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    std::size_t i = 1;
    while (i < pattern.size() && ascii::AsciiLower(text[at + i]) == pattern[i]) ++i;
    if (i == pattern.size()) return at;
    ++at;
  }
  return std::string_view::npos;
}

}  // namespace

Term MakeTerm(std::string_view words, bool prefix) {
  Term term;
  term.prefix = prefix;
  // Appended piece by piece: GCC 12 warns falsely about " " + string.
  term.search.reserve(words.size() + 2);
  term.search.push_back(' ');
  term.search.append(words);
  if (!prefix) term.search.push_back(' ');
  return term;
}

Term TermFromRow(std::string_view row) {
  const bool prefix = !row.empty() && row.back() == '*';
  std::string words(prefix ? row.substr(0, row.size() - 1) : row);
  std::replace(words.begin(), words.end(), '_', ' ');
  return MakeTerm(text::AsciiLowerForm(words), prefix);
}

TermIndex IndexTerms(std::vector<Term> terms) {
  TermIndex index;
  index.terms = std::move(terms);
  for (std::uint32_t t = 0; t < index.terms.size(); ++t) {
    const Term& term = index.terms[t];
    const std::string_view search = term.search;
    const std::size_t space = search.find(' ', 1);
    const std::string_view first = search.substr(1, space - 1);
    if (!IsAscii(search)) index.ascii = false;
    if (first.empty() || !IsAscii(first)) {
      index.always.push_back(t);
      continue;
    }
    const bool prefix = term.prefix && space == std::string_view::npos;
    index.by_first_byte[static_cast<unsigned char>(first[0])].push_back(
        {std::string(first), prefix, t});
  }
  return index;
}

RuleResult RemoveTerms(std::string stem, const TermIndex& index) {
  Candidates candidates;
  // Without terms (no terms file, the usual case) only the tidying is left.
  if (!index.terms.empty()) FindCandidates(stem, index, candidates);
  if (candidates.count == 0 && !candidates.all && IsTidy(stem))
    return {std::move(stem), false};
  std::string working;
  working.reserve(stem.size() + 1);  // one allocation, the space included
  working.append(stem).push_back(' ');
  // Cuts are made at spaces, so a lower-case form is cut alongside.
  std::string lower = index.ascii ? std::string() : text::AsciiLowerForm(working);
  auto apply = [&](const Term& term) {
    const std::size_t at = index.ascii ? FindFolded(working, term.search)
                                       : lower.find(term.search);
    if (at == std::string::npos) return;
    // Keep the space in front of the match and the one behind it; a prefix
    // runs on to the end of the word it ends in.
    const std::size_t from = at + 1;
    const std::size_t to = term.prefix
                               ? working.find(' ', at + term.search.size())
                               : at + term.search.size() - 1;
    working.erase(from, to - from);
    if (!index.ascii) lower.erase(from, to - from);
  };
  if (candidates.all) {
    for (const Term& term : index.terms) apply(term);
  } else {
    for (std::size_t i = 0; i < candidates.count; ++i)
      apply(index.terms[candidates.list[i]]);
  }
  Tidy(working);
  const bool changed = working != stem;
  return {changed ? std::move(working) : std::move(stem), changed};
}

TermHit MatchTermAt(std::span<const std::string_view> words, std::size_t at,
                    const TermIndex& index) {
  TermHit best;
  if (at >= words.size()) return best;
  auto try_term = [&](std::uint32_t t) {
    const Term& term = index.terms[t];
    std::string_view rest = std::string_view(term.search).substr(1);
    if (!term.prefix) rest.remove_suffix(1);
    std::size_t taken = 0;
    while (!rest.empty()) {
      if (at + taken >= words.size()) return;
      const std::size_t space = rest.find(' ');
      const std::string_view want = rest.substr(0, space);
      const std::string_view word = ascii::TrimBrackets(words[at + taken]);
      const bool last = space == std::string_view::npos;
      const bool ok = term.prefix && last
                          ? ascii::StartsFolded(word, want)
                          : ascii::EqualsFolded(word, want);
      if (!ok) return;
      ++taken;
      rest = last ? std::string_view() : rest.substr(space + 1);
    }
    if (taken > best.words) best = {t, taken};
  };
  ForFirstWords(ascii::TrimBrackets(words[at]), index, try_term);
  for (std::uint32_t t : index.always) try_term(t);
  return best;
}

}  // namespace rules
