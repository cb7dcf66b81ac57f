#include "rules/term_removal.h"

#include <bitset>
#include <cstring>
#include <vector>

#include "rules/term_table.h"
#include "rules/tidy_spaces.h"
#include "text/case.h"
#include "text/fields.h"
#include "text/replace.h"

namespace rules {
namespace {

struct SearchTerm {
  std::string text;  // " term " for a whole word, " prefix" for a prefix term
  bool prefix = false;
};

// Read back from the term list once: the same for every name.
std::vector<SearchTerm> BuildSearchTerms() {
  std::string list = BuildTermList();
  std::vector<SearchTerm> terms;
  for (std::string_view field : text::CommaFields(list)) {
    std::string padded(1, ' ');
    padded.append(field);
    padded.push_back(' ');
    padded = text::ReplaceAll(padded, "_", " ");
    SearchTerm term;
    term.prefix = padded.ends_with("* ");
    term.text = term.prefix ? padded.substr(0, padded.size() - 2) : padded;
    terms.push_back(std::move(term));
  }
  return terms;
}

const std::vector<SearchTerm>& SearchTerms() {
  static const std::vector<SearchTerm> terms = BuildSearchTerms();
  return terms;
}

using TermSet = std::bitset<kTermCount>;

// Which terms can match a stem at all.  A match begins at a space and runs
// on with the term's first word, and removals only ever cut words out: so a
// term can match at its turn only when its first word is already one of the
// stem's words (after the first), or begins one for a prefix term.  One pass
// over the words then spares the full search for every other term.
struct FirstWords {
  struct Word {
    std::string text;  // ASCII, lower case
    bool prefix;
    std::size_t term;
  };
  std::vector<Word> by_byte[128];  // by the word's first byte
  TermSet always;                  // terms whose first word is not ASCII
};

FirstWords BuildFirstWords() {
  FirstWords f;
  const std::vector<SearchTerm>& terms = SearchTerms();
  for (std::size_t t = 0; t < terms.size(); ++t) {
    std::string_view text = std::string_view(terms[t].text).substr(1);
    std::size_t space = text.find(' ');
    bool prefix = terms[t].prefix && space == std::string_view::npos;
    std::string word(text.substr(0, space));
    bool ascii = !word.empty();
    for (char c : word) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii || (terms[t].prefix && !prefix)) {
      f.always.set(t);
      continue;
    }
    unsigned char first = static_cast<unsigned char>(word[0]);
    f.by_byte[first].push_back({std::move(word), prefix, t});
  }
  return f;
}

const FirstWords& TermFirstWords() {
  static const FirstWords words = BuildFirstWords();
  return words;
}

// The word equals (or, for a prefix, begins with) the lower-case ASCII text.
// Comparing ASCII-folded bytes is the same as comparing the lower-case form:
// no other character's lower case is ASCII, as the case forms keep lengths.
bool WordMatches(std::string_view word, const FirstWords::Word& w) {
  if (w.prefix ? word.size() < w.text.size() : word.size() != w.text.size())
    return false;
  for (std::size_t i = 0; i < w.text.size(); ++i) {
    if (text::AsciiLower(word[i]) != w.text[i]) return false;
  }
  return true;
}

void MarkCandidates(std::string_view word, const FirstWords& f,
                    TermSet& candidates) {
  if (word.empty()) return;
  unsigned char first = static_cast<unsigned char>(text::AsciiLower(word[0]));
  if (first >= 128) return;
  for (const FirstWords::Word& w : f.by_byte[first]) {
    if (WordMatches(word, w)) candidates.set(w.term);
  }
}

TermSet CandidateTerms(std::string_view stem) {
  const FirstWords& f = TermFirstWords();
  TermSet candidates = f.always;
  // Every word after the first: the pieces behind each space.
  std::size_t start = std::string_view::npos;  // of the current word
  for (std::size_t i = 0; i < stem.size(); ++i) {
    if (stem[i] != ' ') continue;
    if (start != std::string_view::npos)
      MarkCandidates(stem.substr(start, i - start), f, candidates);
    start = i + 1;
  }
  if (start != std::string_view::npos)
    MarkCandidates(stem.substr(start), f, candidates);
  return candidates;
}

// Whether every term is ASCII, so that the lower-case form need not be
// formed: at a given byte, text and its lower-case form hold the same ASCII
// letter up to case, and a byte that is not ASCII stays so.
bool AllTermsAscii() {
  static const bool ascii = [] {
    for (const SearchTerm& term : SearchTerms()) {
      for (char c : term.text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
      }
    }
    return true;
  }();
  return ascii;
}

// The first occurrence of the lower-case ASCII pattern in the lower-case
// form of text, as find on that form gives it (npos if none).
std::size_t FindFolded(std::string_view text, std::string_view pattern) {
  constexpr std::size_t kNone = std::string_view::npos;
  if (text.size() < pattern.size()) return kNone;
  const std::size_t last = text.size() - pattern.size();
  // Every term begins with a space, which has no case: memchr finds each
  // place where a match can begin.
  const char first = pattern[0];
  const bool caseless_first = first < 'a' || first > 'z';
  for (std::size_t at = 0; at <= last; ++at) {
    if (caseless_first) {
      const void* hit = std::memchr(text.data() + at, first, last - at + 1);
      if (!hit) return kNone;
      at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    } else if (text::AsciiLower(text[at]) != first) {
      continue;
    }
    std::size_t i = 1;
    while (i < pattern.size() && text::AsciiLower(text[at + i]) == pattern[i]) ++i;
    if (i == pattern.size()) return at;
  }
  return kNone;
}

}  // namespace

TermResult ApplyTermRemoval(std::string stem) {
  const TermSet candidates = CandidateTerms(stem);
  if (candidates.none() && IsTidy(stem)) return {std::move(stem), false};
  std::string working = stem;
  working.push_back(' ');
  // Cuts are made at spaces, so the lower-case form can be cut alongside the
  // stem instead of being formed again after every removal.
  const bool folded = AllTermsAscii();
  std::string lower = folded ? std::string() : text::AsciiLowerForm(working);
  const std::vector<SearchTerm>& terms = SearchTerms();
  for (std::size_t t = 0; t < terms.size(); ++t) {
    if (!candidates.test(t)) continue;
    const SearchTerm& term = terms[t];
    const std::size_t at = folded ? FindFolded(working, term.text)
                                  : lower.find(term.text);
    if (at == std::string::npos) continue;
    // Keep the space in front of the match and the one behind it.
    const std::size_t p = at + 1;  // the match's first byte after its space
    std::size_t cut_end;           // the space behind the match
    if (term.prefix) {
      cut_end = working.find(' ', p);
    } else {
      cut_end = p + term.text.size() - 2;
    }
    working.erase(p, cut_end - p);
    if (!folded) lower.erase(p, cut_end - p);
  }
  Tidy(working);
  bool changed = working != stem;
  return {changed ? std::move(working) : std::move(stem), changed};
}

}  // namespace rules
