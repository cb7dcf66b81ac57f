#include "rules/term_removal.h"

#include <vector>

#include "rules/term_table.h"
#include "text/case.h"
#include "text/fields.h"
#include "text/replace.h"
#include "text/search.h"
#include "text/trim.h"

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
  std::size_t n = text::FieldCount(list, "");
  for (std::size_t i = 1; i <= n; ++i) {
    std::string padded(1, ' ');
    padded.append(text::FieldAt(list, "", i));
    padded.push_back(' ');
    padded = text::ReplaceAll(padded, "_", " ");
    SearchTerm term;
    term.prefix = text::RightPart(padded, 2) == "* ";
    term.text = term.prefix ? padded.substr(0, padded.size() - 2) : padded;
    terms.push_back(std::move(term));
  }
  return terms;
}

const std::vector<SearchTerm>& SearchTerms() {
  static const std::vector<SearchTerm> terms = BuildSearchTerms();
  return terms;
}

}  // namespace

TermResult ApplyTermRemoval(std::string stem) {
  std::string working = stem + " ";
  // Cuts are made at spaces, so the lower-case form can be cut alongside the
  // stem instead of being formed again after every removal.
  std::string lower = text::LowerForm(working);
  for (const SearchTerm& term : SearchTerms()) {
    std::size_t p = text::Find(lower, term.text);
    if (p == 0) continue;
    // Keep the space in front of the match and the one behind it.
    std::size_t cut_end;  // 0-based index of the space behind the match
    if (term.prefix) {
      cut_end = working.find(' ', p);
    } else {
      cut_end = p + term.text.size() - 2;
    }
    working.erase(p, cut_end - p);
    lower.erase(p, cut_end - p);
  }
  std::string result = text::CollapseSpaces(text::TrimSpaces(working));
  bool changed = result != stem;
  return {changed ? std::move(result) : std::move(stem), changed};
}

}  // namespace rules
