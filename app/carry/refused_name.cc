#include "app/carry/refused_name.h"

#include <cstring>

namespace app {

const char* RefusalOf(std::string_view name) {
  if (name.empty() || name == "." || name == "..")
    return "name refused: it is empty";
  // Checked for every rename: memchr looks at many bytes at a time.
  auto holds = [name](char c) {
    return std::memchr(name.data(), c, name.size()) != nullptr;
  };
  if (holds('/') || holds('\0')) return "name refused: it contains /";
  return nullptr;
}

const char* RefusalOf(std::string_view old_name, std::string_view new_name) {
  const char* refusal = RefusalOf(new_name);
  return refusal ? refusal : RefusalOf(old_name);
}

}  // namespace app
