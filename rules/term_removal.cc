#include "rules/term_removal.h"

#include "rules/term_engine.h"
#include "rules/term_table.h"

namespace rules {
namespace {

// Built once from the table's rows: the same for every name.
const TermIndex& TableIndex() {
  static const TermIndex index = [] {
    std::vector<Term> terms;
    terms.reserve(kTermRows.size());
    for (std::string_view row : kTermRows) terms.push_back(TermFromRow(row));
    return IndexTerms(std::move(terms));
  }();
  return index;
}

}  // namespace

TermResult ApplyTermRemoval(std::string stem) {
  return RemoveTerms(std::move(stem), TableIndex());
}

}  // namespace rules
