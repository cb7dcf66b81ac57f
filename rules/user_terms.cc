#include "rules/user_terms.h"

#include "rules/ascii.h"
#include "rules/stem_cleanup.h"
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
  const Term made = MakeTerm(text::AsciiLowerForm(cleaned), term.prefix);
  term.search = made.search;
  return {};
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
  std::vector<Term> terms;
  terms.reserve(file.terms.terms.size());
  for (const UserTerm& term : file.terms.terms)
    terms.push_back({term.search, term.prefix});
  file.terms.index = IndexTerms(std::move(terms));
  return file;
}

TermResult RemoveUserTerms(std::string stem, const UserTerms& terms) {
  return RemoveTerms(std::move(stem), terms.index);
}

}  // namespace rules
