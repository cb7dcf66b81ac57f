// The command tail on arbitrary bytes, through the same steps as the program:
// wide text, long options, the help test, then the "/" options.  No crash, and
// the file pattern left over never keeps a whole option token that the parser
// cut.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/long_options.h"
#include "fuzz/check.h"
#include "platform/platform.h"

namespace {

// The option tokens in the order the parser looks for them.
struct Token {
  std::string_view lower, upper;
};

constexpr Token kTokens[] = {
    {"/c", "/C"},   {"/ml", "/ML"}, {"/mu", "/MU"}, {"/m", "/M"},
    {"/yc", "/YC"}, {"/y", "/Y"},   {"/kc", "/KC"}, {"/k", "/K"},
    {"/d", "/d"},   {"/D", "/D"},  // as written, not case-blind
};
constexpr std::size_t kC = 0, kMl = 1, kMu = 2, kM = 3, kYc = 4, kY = 5,
                      kKc = 6, kK = 7, kSmallD = 8, kBigD = 9;
constexpr std::size_t kTokenCount = 10;

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The tokens are ASCII, and the case forms map ASCII bytes alone to ASCII.
std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

void CutEach(std::string& text, std::string_view token) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(token, from)) != std::string::npos;
       from = at + token.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from);
  text = std::move(out);
}

// Which tokens the parser finds, by the rule it documents: in turn, each
// token found (case-blind but "/d" and "/D") in what the earlier cuts left
// has its lower- and upper-case forms cut.
std::array<bool, kTokenCount> FoundTokens(std::string_view tail) {
  std::array<bool, kTokenCount> found{};
  std::string working(tail);
  for (std::size_t i = 0; i < kTokenCount; ++i) {
    const Token& token = kTokens[i];
    const bool exact = token.lower == token.upper;
    found[i] = Has(exact ? working : AsciiLower(working), token.lower);
    if (!found[i]) continue;
    CutEach(working, token.lower);
    CutEach(working, token.upper);
  }
  return found;
}

void CheckParse(std::string_view tail) {
  const app::ParsedTail parsed = app::ParseOptions(tail);
  const std::string& rest = parsed.file_spec;
  const app::RunOptions& o = parsed.options;
  FUZZ_CHECK(rest.size() <= tail.size());
  const std::array<bool, kTokenCount> found = FoundTokens(tail);
  FUZZ_CHECK(o.confirm_all == found[kC]);
  FUZZ_CHECK(o.from_lower == (found[kMl] || found[kM]));
  FUZZ_CHECK(o.from_upper == (found[kMu] || found[kM]));
  FUZZ_CHECK(o.year_rule == (found[kYc] || found[kY]));
  FUZZ_CHECK(o.confirm_year == found[kYc]);
  FUZZ_CHECK(o.term_rule == (found[kKc] || found[kK]));
  FUZZ_CHECK(o.confirm_terms == found[kKc]);
  FUZZ_CHECK(o.selection_mode == (found[kBigD] ? 2 : found[kSmallD] ? 1 : 0));
  // What is left over holds no whole token that was cut.
  for (std::size_t i = 0; i < kTokenCount; ++i) {
    if (!found[i]) continue;
    FUZZ_CHECK(!Has(rest, kTokens[i].lower));
    FUZZ_CHECK(!Has(rest, kTokens[i].upper));
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
