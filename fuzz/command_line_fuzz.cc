// The command line on arbitrary bytes.  As a Windows tail, through the same
// steps as the program: long options, the help test, then the "/" options;
// no crash, and the options found and the file pattern left are those of
// the documented rule (each token cut in one pass, outside double quotes).  As a list of arguments (split at NUL bytes): every
// operand is one of the arguments, whole and in order.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <vector>

#include "app/command_line/argument_parser.h"
#include "app/command_line/long_options.h"
#include "app/command_line/tail_parser.h"
#include "fuzz/check.h"

namespace {

// The option tokens in the order the parser looks for them.
struct Token {
  std::string_view lower, upper;
};

constexpr Token kTokens[] = {
    {"/c", "/C"},   {"/ml", "/ML"}, {"/mu", "/MU"}, {"/m", "/M"},
    {"/yc", "/YC"}, {"/y", "/Y"},   {"/kc", "/KC"}, {"/k", "/K"},
    {"/ec", "/EC"}, {"/e", "/E"},   {"/vc", "/VC"}, {"/v", "/V"},
    {"/s", "/S"},
    {"/d", "/d"},   {"/D", "/D"},  // as written, not case-blind
};
constexpr std::size_t kC = 0, kMl = 1, kMu = 2, kM = 3, kYc = 4, kY = 5,
                      kKc = 6, kK = 7, kEc = 8, kE = 9, kVc = 10, kV = 11,
                      kS = 12, kSmallD = 13, kBigD = 14;
constexpr std::size_t kTokenCount = 15;

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

// What the parser must find and leave, by the rule it documents: in turn,
// each token found (case-blind but "/d" and "/D") in what the earlier cuts
// left outside double quotes has its lower- and upper-case forms cut there,
// each in one pass.
struct ByTheRule {
  std::array<bool, kTokenCount> found{};
  std::string left;
};

ByTheRule Expected(std::string_view tail) {
  ByTheRule rule;
  std::array<bool, kTokenCount>& found = rule.found;
  // The pieces between double quotes: every second one is quoted.
  std::vector<std::string> pieces(1);
  for (char c : tail) {
    if (c == '"') {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(c);
    }
  }
  for (std::size_t i = 0; i < kTokenCount; ++i) {
    const Token& token = kTokens[i];
    const bool exact = token.lower == token.upper;
    for (std::size_t p = 0; p < pieces.size(); p += 2) {
      std::string& working = pieces[p];
      if (!Has(exact ? working : AsciiLower(working), token.lower)) continue;
      found[i] = true;
      CutEach(working, token.lower);
      if (!exact) CutEach(working, token.upper);  // "/d" and "/D" once only
    }
  }
  // Then the quotes go, and the spaces at both ends.
  std::string working;
  for (const std::string& piece : pieces) working += piece;
  const std::size_t first = working.find_first_not_of(' ');
  const std::size_t last = working.find_last_not_of(' ');
  rule.left = first == std::string::npos
                  ? std::string()
                  : working.substr(first, last - first + 1);
  return rule;
}

void CheckParse(std::string_view tail) {
  const app::ParsedTail parsed = app::ParseOptions(tail);
  const std::string& rest = parsed.file_pattern;
  const app::RunOptions& o = parsed.options;
  FUZZ_CHECK(rest.size() <= tail.size());
  const ByTheRule rule = Expected(tail);
  const std::array<bool, kTokenCount>& found = rule.found;
  FUZZ_CHECK(o.confirm_all == found[kC]);
  FUZZ_CHECK(o.rules.from_lower == (found[kMl] || found[kM]));
  FUZZ_CHECK(o.rules.from_upper == (found[kMu] || found[kM]));
  FUZZ_CHECK(o.rules.year_rule == (found[kYc] || found[kY]));
  FUZZ_CHECK(o.confirm_year == found[kYc]);
  FUZZ_CHECK(o.rules.term_rule == (found[kKc] || found[kK]));
  FUZZ_CHECK(o.confirm_terms == found[kKc]);
  FUZZ_CHECK(o.rules.episode_rule == (found[kEc] || found[kE]));
  FUZZ_CHECK(o.confirm_episode == found[kEc]);
  FUZZ_CHECK(o.rules.video_rule == (found[kVc] || found[kV]));
  FUZZ_CHECK(o.confirm_video == found[kVc]);
  FUZZ_CHECK(o.recursive == found[kS]);
  FUZZ_CHECK(static_cast<int>(o.selection) ==
             (found[kBigD] ? 2 : found[kSmallD] ? 1 : 0));
  FUZZ_CHECK(rest == rule.left);
}

void CheckArguments(std::string_view bytes) {
  std::vector<std::string> arguments;
  std::size_t from = 0;
  for (std::size_t at; (at = bytes.find('\0', from)) != std::string_view::npos;
       from = at + 1) {
    arguments.emplace_back(bytes.substr(from, at - from));
  }
  arguments.emplace_back(bytes.substr(from));
  const app::Request request = app::ParseArguments(arguments);
  std::size_t next = 0;
  for (const std::string& operand : request.operands) {
    while (next < arguments.size() && arguments[next] != operand) ++next;
    FUZZ_CHECK(next < arguments.size());
    ++next;
  }
  FUZZ_CHECK(request.operands.size() <= arguments.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckParse(bytes);

  // The program's own path: long options first.
  const app::LongOptions long_options = app::CutLongOptions(bytes);
  FUZZ_CHECK(long_options.rest.size() <= bytes.size());
  if (!app::IsHelpRequest(long_options.rest)) CheckParse(long_options.rest);
  CheckArguments(bytes);
  return 0;
}
