#ifndef NAMEWISP_RULES_NAME_SHAPE_H_
#define NAMEWISP_RULES_NAME_SHAPE_H_

#include <string_view>

namespace rules {

// Whether a name is outside the shapes release names take: a control byte,
// bytes that are no UTF-8, or a bracket left open or never opened.
bool IsOddlyShaped(std::string_view name);

}  // namespace rules

#endif  // NAMEWISP_RULES_NAME_SHAPE_H_
