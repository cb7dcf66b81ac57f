#include "app/refused_name.h"

#include <cstring>

namespace app {

const char* RefusalOf(std::string_view name) {
  if (name.empty() || name == "." || name == "..")
    return "name refused: it is empty";
  // Checked for every rename: memchr looks at many bytes at a time.
  auto holds = [name](char c) {
    return std::memchr(name.data(), c, name.size()) != nullptr;
  };
  if (holds('?') || holds('*')) return "name refused: it contains ? or *";
  if (holds('/') || holds('\0')) return "name refused: it contains /";
  return nullptr;
}

}  // namespace app
