// The command tail on arbitrary bytes, through the same steps as the program:
// wide text, long options, the help test, then the "/" options.  No crash, and
// the file spec never keeps a whole option token that the parser cut.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/long_options.h"
#include "fuzz/check.h"
#include "platform/platform.h"
#include "text/case.h"

namespace {

// The tokens behind each option, in the parser's order; whether the parsed
// options show that the parser found it; and the letters that, following it,
// make a longer token the parser looks for first ("/m" in "/ml").
struct Token {
  std::string_view lower, upper;
  bool (*found)(const app::RunOptions&);
  std::string_view longer;
};

constexpr Token kTokens[] = {
    {"/c", "/C", [](const app::RunOptions& o) { return o.confirm_all; }, ""},
    {"/ml", "/ML", [](const app::RunOptions& o) { return o.from_lower; }, ""},
    {"/mu", "/MU", [](const app::RunOptions& o) { return o.from_upper; }, ""},
    {"/m", "/M",
     [](const app::RunOptions& o) { return o.from_lower || o.from_upper; },
     "lu"},
    {"/yc", "/YC", [](const app::RunOptions& o) { return o.confirm_year; }, ""},
    {"/y", "/Y", [](const app::RunOptions& o) { return o.year_rule; }, "c"},
    {"/kc", "/KC", [](const app::RunOptions& o) { return o.confirm_terms; }, ""},
    {"/k", "/K", [](const app::RunOptions& o) { return o.term_rule; }, "c"},
    {"/d", "/d", [](const app::RunOptions& o) { return o.selection_mode != 0; }, ""},
    {"/D", "/D", [](const app::RunOptions& o) { return o.selection_mode == 2; }, ""},
};

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Whether text holds the token other than as the start of a longer one.  A
// cut never destroys such an occurrence (no token ends in the "/" another
// begins with), so the parser surely finds it when its turn comes.
bool HasOwnOccurrence(std::string_view text, const Token& token) {
  for (std::size_t at = text.find(token.lower); at != std::string_view::npos;
       at = text.find(token.lower, at + 1)) {
    const std::size_t next = at + token.lower.size();
    if (next == text.size() || token.longer.find(text[next]) == std::string_view::npos)
      return true;
  }
  return false;
}

void CheckParse(std::string_view tail) {
  const app::ParsedTail parsed = app::ParseOptions(tail);
  const std::string& spec = parsed.file_spec;
  FUZZ_CHECK(spec.size() <= tail.size());
  // "/d" and "/D" are matched as written; the other tokens case-blind.
  const std::string lower_tail = text::LowerForm(tail);
  for (const Token& token : kTokens) {
    const bool exact = token.lower == token.upper;
    const std::string_view searched = exact ? tail : std::string_view(lower_tail);
    if (!token.found(parsed.options)) {
      // An option not reported was never in the tail.
      FUZZ_CHECK(!Has(searched, token.lower));
    } else if (HasOwnOccurrence(searched, token)) {
      // It was cut: no whole token of it is left in the spec.
      FUZZ_CHECK(!Has(spec, token.lower));
      FUZZ_CHECK(!Has(spec, token.upper));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckParse(bytes);

  // The program's own path: the tail arrives as wide text.
  const std::u16string wide = platform::ToWide(bytes);
  FUZZ_CHECK(platform::ToAnsi(wide) == bytes);
  const app::LongOptions long_options = app::CutLongOptions(wide);
  FUZZ_CHECK(long_options.rest.size() <= wide.size());
  if (!app::IsHelpRequest(long_options.rest)) {
    CheckParse(platform::ToAnsi(long_options.rest));
  }
  return 0;
}
