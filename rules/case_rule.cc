#include "rules/case_rule.h"

#include "text/case.h"

namespace rules {

std::string ApplyCaseRule(std::string stem, bool from_upper, bool from_lower,
                          const text::CaseMapping& m) {
  if (from_upper && text::IsUpperForm(stem, m)) stem = text::MixedForm(stem, m);
  if (from_lower && text::IsLowerForm(stem, m)) stem = text::MixedForm(stem, m);
  return stem;
}

}  // namespace rules
