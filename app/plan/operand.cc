#include "app/plan/operand.h"

#include <algorithm>

#include "app/plan/pattern.h"

namespace app {

OperandParts SplitOperand(std::string_view operand, platform::PathStyle style) {
  OperandParts parts;
  if (style == platform::PathStyle::kWindows) {
    const std::size_t separator = operand.find_last_of("\\/");
    std::size_t cut = 0;
    if (separator != std::string_view::npos) {
      cut = separator + 1;
    } else if (operand.size() >= 2 && operand[1] == ':') {
      cut = 2;
    }
    parts.folder = std::string(operand.substr(0, cut));
    parts.name = std::string(operand.substr(cut));
    if (cut > 0 && parts.name.empty()) parts.name = "*";
    return parts;
  }
  while (operand.size() > 1 && operand.back() == '/') operand.remove_suffix(1);
  if (operand == "/") return parts;
  const std::size_t slash = operand.rfind('/');
  if (slash != std::string_view::npos) {
    parts.folder = std::string(operand.substr(0, slash + 1));
    operand.remove_prefix(slash + 1);
  }
  parts.name = std::string(operand);
  return parts;
}

bool Takes(std::string_view name_or_pattern, std::string_view name) {
  if (!HasWildcard(name_or_pattern)) return name == name_or_pattern;
  return name_or_pattern == "*" || name_or_pattern == "*.*" ||
         WildcardMatch(name_or_pattern, name);
}

platform::Listing ListOperand(platform::FileSystem& files,
                              std::string_view operand,
                              platform::PathStyle style) {
  const OperandParts parts = SplitOperand(operand, style);
  if (parts.name.empty() || parts.name == "." || parts.name == "..") {
    platform::Listing nothing;
    nothing.folder.path = parts.folder;
    return nothing;
  }
  if (!HasWildcard(parts.name))
    return files.ListFolder(parts.folder, parts.name);
  platform::Listing listing =
      files.ListFolder(parts.folder, platform::kEveryEntry);
  std::erase_if(listing.entries, [&](const platform::Entry& entry) {
    return !Takes(parts.name, entry.name);
  });
  return listing;
}

}  // namespace app
