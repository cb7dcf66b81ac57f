// The cleaning of one name, on arbitrary bytes and with every combination of
// options: no crash, no sanitizer report, and each stage keeps its promise.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "rules/case_rule.h"
#include "rules/clean_name.h"
#include "rules/stem_cleanup.h"
#include "rules/term_removal.h"
#include "rules/year_rule.h"
#include "text/case.h"
#include "text/unicode_case.h"
#include "text/utf8.h"

namespace {

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

void CheckCleanStem(std::string_view stem) {
  FUZZ_CHECK(stem.empty() || (stem.front() != ' ' && stem.back() != ' '));
  FUZZ_CHECK(!Has(stem, "  "));
  FUZZ_CHECK(stem.find_first_of("._[]") == std::string_view::npos);
}

// Names are the file system's UTF-8 bytes here: a valid name stays valid.
void CheckCaseRule(const std::string& before, const std::string& after) {
  FUZZ_CHECK(after.size() == before.size());
  if (text::IsValidUtf8(before)) FUZZ_CHECK(text::IsValidUtf8(after));
}

void CheckYearRule(const std::string& before, const rules::YearResult& after) {
  FUZZ_CHECK(after.changed == (after.stem != before));
  if (!after.changed) return;
  // The year it bracketed ends the stem: at most one word after its "(".
  const std::size_t bracket = after.stem.rfind('(');
  FUZZ_CHECK(bracket != std::string::npos);
  FUZZ_CHECK(!Has(std::string_view(after.stem).substr(bracket), " "));
  FUZZ_CHECK(after.stem.back() == ')');
}

void CheckTermRemoval(const std::string& before, const rules::TermResult& after) {
  FUZZ_CHECK(after.changed == (after.stem != before));
  FUZZ_CHECK(after.stem.size() <= before.size());
  FUZZ_CHECK(before.empty() || !after.stem.empty());
}

// The stages one by one, as CleanName runs them, then CleanName itself.
void CheckPipeline(std::string_view name, const rules::NameRules& options) {
  const rules::NameSplit split = rules::SplitName(name);
  FUZZ_CHECK(split.stem.size() + split.extension.size() == name.size());
  std::string stem = rules::CleanStem(split.stem);
  CheckCleanStem(stem);
  if (options.from_upper || options.from_lower) {
    std::string cased =
        rules::ApplyCaseRule(stem, options.from_upper, options.from_lower,
                             *options.letter_case);
    CheckCaseRule(stem, cased);
    stem = std::move(cased);
  }
  if (options.year_rule) {
    rules::YearResult year = rules::ApplyYearRule(stem, options.highest_year);
    CheckYearRule(stem, year);
    stem = std::move(year.stem);
  }
  if (options.term_rule) {
    rules::TermResult terms = rules::ApplyTermRemoval(stem);
    CheckTermRemoval(stem, terms);
    stem = std::move(terms.stem);
  }
  const rules::CleanedName cleaned = rules::CleanName(name, options);
  FUZZ_CHECK(cleaned.name == (stem.empty() ? "" : stem + std::string(split.extension)));
  // A listed name never becomes a path: no "/" or NUL appears, and it never
  // becomes "." or "..".
  FUZZ_CHECK(Has(name, "/") || !Has(cleaned.name, "/"));
  FUZZ_CHECK(Has(name, std::string_view("\0", 1)) ||
             !Has(cleaned.name, std::string_view("\0", 1)));
  FUZZ_CHECK(cleaned.name != "." && cleaned.name != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  for (int highest_year : {rules::HighestValidYear(2019), 2100}) {
    for (int bits = 0; bits < 16; ++bits) {
      rules::NameRules options;
      options.from_upper = bits & 1;
      options.from_lower = bits & 2;
      options.year_rule = bits & 4;
      options.term_rule = bits & 8;
      options.highest_year = highest_year;
      options.letter_case = &text::UnicodeCaseMapping();
      CheckPipeline(name, options);
    }
  }
  // The case forms on the raw bytes too, not only on cleaned stems.
  const text::CaseMapping& unicode = text::UnicodeCaseMapping();
  for (auto form : {text::LowerForm, text::UpperForm, text::MixedForm}) {
    CheckCaseRule(std::string(name), form(name, unicode));
  }
  return 0;
}
