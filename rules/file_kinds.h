// What a file is by its extension, for the rules that treat a video and the
// files that go with it together: one table, read by the subtitle reading
// (rules/subtitle_suffix.h), the copies of a video (rules/version_suffix.h)
// and its side files (rules/side_files.h).  An extension is added there.
//  - Videos: .mkv .mp4 .m4v .avi .mov .wmv .mpg .mpeg .ts .m2ts .webm .flv
//    .ogv .vob .divx .3gp.
//  - Subtitles: .srt .ass .ssa .sub .idx .vtt .sup .smi.
//  - Files a video has beside it for itself: .nfo .jpg .png .txt.
// Extensions are compared ASCII case-blind, each with its period.
#pragma once

#include <string_view>

namespace rules {

enum class FileKind : unsigned char { kOther, kVideo, kSubtitle, kSideFile };

FileKind KindOfExtension(std::string_view extension);

inline bool IsVideoExtension(std::string_view extension) {
  return KindOfExtension(extension) == FileKind::kVideo;
}
inline bool IsSubtitleExtension(std::string_view extension) {
  return KindOfExtension(extension) == FileKind::kSubtitle;
}

}  // namespace rules
