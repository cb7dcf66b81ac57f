#include "app/command_line.h"

#include <vector>

#include "text/case.h"
#include "text/replace.h"
#include "text/search.h"
#include "text/trim.h"
#include "text/wide.h"

namespace app {
namespace {

struct CaseBlindOption {
  std::string_view lower, upper;
  void (*set)(RunOptions&);
};

// A longer token comes before its prefix ("/ml" before "/m").
constexpr CaseBlindOption kOptions[] = {
    {"/c", "/C", [](RunOptions& o) { o.confirm_all = true; }},
    {"/ml", "/ML", [](RunOptions& o) { o.from_lower = true; }},
    {"/mu", "/MU", [](RunOptions& o) { o.from_upper = true; }},
    {"/m", "/M", [](RunOptions& o) { o.from_lower = o.from_upper = true; }},
    {"/yc", "/YC",
     [](RunOptions& o) { o.year_rule = o.confirm_year = true; }},
    {"/y", "/Y", [](RunOptions& o) { o.year_rule = true; }},
    {"/kc", "/KC",
     [](RunOptions& o) { o.term_rule = o.confirm_terms = true; }},
    {"/k", "/K", [](RunOptions& o) { o.term_rule = true; }},
};

// Cutting a token can join the text on its two sides into another whole token
// ("//cc" less "/c" is "/c").  One pass takes such leftovers out: after each
// byte, a cut token that now ends the output goes.  No token holds a "/"
// after its first byte, so at most one can end there, and the output never
// holds a whole cut token.
std::string CutLeftovers(std::string_view text,
                         const std::vector<std::string_view>& cut) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(c);
    for (std::string_view token : cut) {
      if (std::string_view(out).ends_with(token)) {
        out.resize(out.size() - token.size());
        break;
      }
    }
  }
  return out;
}

}  // namespace

bool IsHelpRequest(std::u16string_view tail) {
  return tail.empty() || text::WideFind(text::WideLowerForm(tail), u"/h") ||
         text::WideFind(tail, u"/?");
}

ParsedTail ParseOptions(std::string_view tail) {
  ParsedTail parsed;
  std::string working(tail);
  std::vector<std::string_view> cut;
  // Found case-blind, but only the all-lower and all-upper tokens are cut:
  // what is left of "/Ml" stays in the spec.
  for (const CaseBlindOption& option : kOptions) {
    if (text::Find(text::LowerForm(working), option.lower) == 0) continue;
    working = text::RemoveAll(working, option.lower);
    working = text::RemoveAll(working, option.upper);
    cut.insert(cut.end(), {option.lower, option.upper});
    option.set(parsed.options);
  }
  if (text::Find(working, "/d")) {
    working = text::RemoveAll(working, "/d");
    cut.push_back("/d");
    parsed.options.selection_mode = 1;
  }
  if (text::Find(working, "/D")) {
    working = text::RemoveAll(working, "/D");
    cut.push_back("/D");
    parsed.options.selection_mode = 2;
  }
  working = CutLeftovers(working, cut);
  parsed.file_spec = std::string(text::TrimSet(working, " \""));
  return parsed;
}

}  // namespace app
