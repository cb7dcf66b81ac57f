// Which listed entries are delivered: the attributes that stand for the
// Windows ones, and the selection by attribute code.  Pure functions that
// unit tests can drive.  Internal to the POSIX layer.
#pragma once

#include <string_view>

namespace platform::posix {

inline constexpr int kHiddenBit = 0x02;
inline constexpr int kSystemBit = 0x04;
inline constexpr int kDirectoryBit = 0x10;
inline constexpr int kOnlyBit = 0x80;

// What an entry is, as far as the selection cares.  A symbolic link is
// classified by what it points to: a directory, or else (also when dangling)
// a file.
enum class EntryKind { kFile, kDirectory, kSystem /* fifo, socket, device */ };

// The attribute bits of an entry: hidden when its name begins with ".",
// system for EntryKind::kSystem, directory for EntryKind::kDirectory.
int EntryAttributes(std::string_view name, EntryKind kind);

// The attribute code after normalisation: bits 0x01, 0x20 and 0x40 cleared,
// and the only bit cleared when none of hidden, system and directory is set
// (0x80 -> 0, 0x10 -> 0x10, 0x90 -> 0x90).
int EffectiveMask(int attribute_code);

// The selection loop's test for one entry under the effective mask.  "." and
// ".." are never selected.
bool IsSelected(std::string_view name, int attributes, int mask);

}  // namespace platform::posix
