// The one place that decides which encoding the case forms use.
#include "text/case.h"

namespace text {

#if NAMEWISP_BYTES_CASE
namespace chosen = bytes_case;
#else
namespace chosen = utf8_case;
#endif

std::string LowerForm(std::string_view text) { return chosen::Lower(text); }
std::string UpperForm(std::string_view text) { return chosen::Upper(text); }
std::string MixedForm(std::string_view text) { return chosen::Mixed(text); }
bool IsUpperForm(std::string_view text) { return chosen::IsUpper(text); }
bool IsLowerForm(std::string_view text) { return chosen::IsLower(text); }

}  // namespace text
