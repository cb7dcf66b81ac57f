#include "rules/case_rule.h"

#include "text/case.h"

namespace rules {

std::string ApplyCaseRule(std::string stem, bool from_upper, bool from_lower) {
  if (from_upper && text::IsUpperForm(stem)) stem = text::MixedForm(stem);
  if (from_lower && text::IsLowerForm(stem)) stem = text::MixedForm(stem);
  return stem;
}

}  // namespace rules
