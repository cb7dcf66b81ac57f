// The one matcher of release terms, over data: the built-in table that "/k"
// removes (rules/term_table.h), the user's terms file (rules/user_terms.h)
// and the release tags of "/v" (rules/video_tags.h) are each a TermIndex
// built from their rows, and matched by the code here alone.
//
// A term is one or more words, lower case, joined by single spaces; a
// prefix term's last word need only begin a word of the stem ("x264-" for
// "x264-*" matches "x264-GRP").  Stems are cleaned stems: words between
// single spaces.  Matching is case-blind for ASCII letters; a term with
// other bytes is matched on the stem's ASCII lower-case form, byte for byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule_result.h"

namespace rules {

struct Term {
  std::string search;  // " words " for a whole term, " words" for a prefix
  bool prefix = false;
};

// A term from its lower-case words (single spaces between them).
Term MakeTerm(std::string_view words, bool prefix);

// A row as the tables write it: lower case, "_" between words, a final "*"
// for a prefix term.
Term TermFromRow(std::string_view row);

struct TermIndex {
  std::vector<Term> terms;  // in the order they are applied
  // Whether every search text is ASCII (matched by folding the stem's
  // letters, without forming its lower-case form).
  bool ascii = true;
  // The terms' first words by their first byte: the quick test of which
  // terms can match a stem at all.
  struct FirstWord {
    std::string word;  // lower case ASCII
    bool prefix;       // the whole term is this one word, a prefix
    std::uint32_t term;
  };
  std::array<std::vector<FirstWord>, 128> by_first_byte;
  std::vector<std::uint32_t> always;  // first word not ASCII
};

TermIndex IndexTerms(std::vector<Term> terms);

// Each term in order removes its first occurrence from the stem (keeping
// the spaces around it; the first word is never removed, as every match
// begins after a space); the spaces are tidied.  Changed when the stem
// changed.
RuleResult RemoveTerms(std::string stem, const TermIndex& index);

struct TermHit {
  std::uint32_t term = 0;
  std::size_t words = 0;  // 0 for no match
};

// The longest term whose words are those at words[at] on, each word read
// without the round brackets at its ends ("(1080p)").
TermHit MatchTermAt(std::span<const std::string_view> words, std::size_t at,
                    const TermIndex& index);

}  // namespace rules
