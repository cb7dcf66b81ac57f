#include "rules/file_kinds.h"

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

}  // namespace

FileKind KindOfExtension(std::string_view extension) {
  for (const KindOf& k : kExtensions)
    if (ascii::EqualsFolded(extension, k.extension)) return k.kind;
  return FileKind::kOther;
}

}  // namespace rules
