#include "platform/posix/selection.h"

namespace platform::posix {

int EntryAttributes(std::string_view name, EntryKind kind) {
  int attributes = 0;
  if (!name.empty() && name[0] == '.') attributes |= kHiddenBit;
  if (kind == EntryKind::kSystem) attributes |= kSystemBit;
  if (kind == EntryKind::kDirectory) attributes |= kDirectoryBit;
  return attributes;
}

int EffectiveMask(int attribute_code) {
  int mask = attribute_code & ~(0x01 | 0x20 | 0x40);
  if ((mask & kOnlyBit) &&
      !(mask & (kHiddenBit | kSystemBit | kDirectoryBit))) {
    mask &= ~kOnlyBit;
  }
  return mask;
}

bool IsSelected(std::string_view name, int attributes, int mask) {
  if ((attributes & kHiddenBit) && !(mask & kHiddenBit)) return false;
  if ((attributes & kSystemBit) && !(mask & kSystemBit)) return false;
  if ((attributes & kDirectoryBit) && !(mask & kDirectoryBit)) return false;
  if ((mask & kOnlyBit) &&
      !(attributes & mask & (kHiddenBit | kSystemBit | kDirectoryBit))) {
    return false;
  }
  return name != "." && name != "..";
}

}  // namespace platform::posix
