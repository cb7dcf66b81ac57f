#include "rules/file_kinds.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// The lookup folds case and packs a short extension into one word: a near
// miss in length or a byte must never take a listed extension's kind.
TEST(FileKinds, CaseBlindAndExactInLength) {
  using rules::FileKind;
  const struct {
    std::string extension;
    FileKind kind;
  } cases[] = {
      {".mkv", FileKind::kVideo},      {".MKV", FileKind::kVideo},
      {".MPeg", FileKind::kVideo},     {".3gp", FileKind::kVideo},
      {".Srt", FileKind::kSubtitle},   {".idx", FileKind::kSubtitle},
      {".NFO", FileKind::kSideFile},   {".txt", FileKind::kSideFile},
      {".mk", FileKind::kOther},       {".mkvx", FileKind::kOther},
      {"mkv", FileKind::kOther},       {".mkv.", FileKind::kOther},
      {".", FileKind::kOther},         {"", FileKind::kOther},
      {".mkvmkvmk", FileKind::kOther}, {std::string(".\0mkv", 5), FileKind::kOther},
      {".m\xc3\xa9v", FileKind::kOther},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rules::KindOfExtension(c.extension), c.kind) << c.extension;
}

}  // namespace
