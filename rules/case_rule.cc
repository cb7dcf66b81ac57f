#include "rules/case_rule.h"

#include "text/case.h"

namespace rules {

std::string ApplyCaseRule(std::string stem, bool from_upper, bool from_lower) {
  if (from_upper && stem == text::UpperForm(stem)) stem = text::MixedForm(stem);
  if (from_lower && stem == text::LowerForm(stem)) stem = text::MixedForm(stem);
  return stem;
}

}  // namespace rules
