// The pure rules of the directory listing: the attribute selection, the
// search pattern and the directory part of a spec.  Internal to the Windows
// layer.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Attribute bits of a listed entry and of an attribute code.
constexpr unsigned kHidden = 0x02;
constexpr unsigned kSystem = 0x04;
constexpr unsigned kDirectory = 0x10;
constexpr unsigned kOnly = 0x80;

// The attribute code with the bits that select nothing cleared; the "only"
// bit alone (0x80) means plain files.
unsigned EffectiveMask(unsigned attribute_code);
// Whether an entry with these attributes and this name is delivered under
// the effective mask.
bool Selected(unsigned mask, unsigned attributes, std::u16string_view name);
// The pattern handed to the system: a spec naming a drive or a directory
// ("D:", "sub\", "sub/") lists everything in it.
std::u16string SearchPattern(std::u16string_view spec);
// The folder part of a spec, separator included: up to the last "\" or "/",
// else a leading drive "D:", else "".
std::u16string_view DirectoryPart(std::u16string_view spec);

}  // namespace platform
