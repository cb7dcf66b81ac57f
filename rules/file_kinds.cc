#include "rules/file_kinds.h"

#include <cstdint>
#include <iterator>

#include "rules/ascii.h"

namespace rules {
namespace {

struct KindOf {
  std::string_view extension;  // lower case, with its period
  FileKind kind;
};

constexpr KindOf kExtensions[] = {
    {".mkv", FileKind::kVideo},     {".mp4", FileKind::kVideo},
    {".m4v", FileKind::kVideo},     {".avi", FileKind::kVideo},
    {".mov", FileKind::kVideo},     {".wmv", FileKind::kVideo},
    {".mpg", FileKind::kVideo},     {".mpeg", FileKind::kVideo},
    {".ts", FileKind::kVideo},      {".m2ts", FileKind::kVideo},
    {".webm", FileKind::kVideo},    {".flv", FileKind::kVideo},
    {".ogv", FileKind::kVideo},     {".vob", FileKind::kVideo},
    {".divx", FileKind::kVideo},    {".3gp", FileKind::kVideo},
    {".srt", FileKind::kSubtitle},  {".ass", FileKind::kSubtitle},
    {".ssa", FileKind::kSubtitle},  {".sub", FileKind::kSubtitle},
    {".idx", FileKind::kSubtitle},  {".vtt", FileKind::kSubtitle},
    {".sup", FileKind::kSubtitle},  {".smi", FileKind::kSubtitle},
    {".nfo", FileKind::kSideFile},  {".jpg", FileKind::kSideFile},
    {".png", FileKind::kSideFile},  {".txt", FileKind::kSideFile},
};

// An extension of up to eight bytes folded to lower case in one word, so
// that the table is searched one compare an entry: every name tidied asks.
constexpr std::uint64_t Packed(std::string_view extension) {
  std::uint64_t key = 0;
  for (char c : extension)
    key = key << 8 | static_cast<unsigned char>(ascii::AsciiLower(c));
  return key;
}

struct PackedKinds {
  std::uint64_t key[std::size(kExtensions)];
};

constexpr PackedKinds Pack() {
  PackedKinds p{};
  for (std::size_t i = 0; i < std::size(kExtensions); ++i)
    p.key[i] = Packed(kExtensions[i].extension);
  return p;
}

constexpr PackedKinds kPacked = Pack();

}  // namespace

FileKind KindOfExtension(std::string_view extension) {
  if (extension.size() < 2 || extension.size() > 8) return FileKind::kOther;
  const std::uint64_t key = Packed(extension);
  for (std::size_t i = 0; i < std::size(kExtensions); ++i)
    if (kPacked.key[i] == key) return kExtensions[i].kind;
  return FileKind::kOther;
}

}  // namespace rules
