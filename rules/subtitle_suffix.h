// Subtitle files carry their language and flags as dotted words just before
// the extension ("Movie.en.srt", "Show.S01E01.eng.forced.srt"): a media
// player reads them there, and a subtitle in another language beside it
// differs only in them.  They belong to the extension and are kept as
// written.
//  - Subtitle extensions: those of rules/file_kinds.h.
//  - Languages: the two-letter ISO 639-1 codes, optionally with a region or
//    script ("pt-BR", "es-419", "zh-Hans"); the three-letter codes of the
//    languages subtitles are commonly made in ("eng", "ger", "deu"); their
//    English names ("English").  Flags: "forced", "sdh", "cc", "hi",
//    "default".  Any case; no other word counts.
#pragma once

#include <string_view>

#include "rules/file_kinds.h"
#include "rules/stem_cleanup.h"

namespace rules {

bool IsSubtitleTag(std::string_view word);

// SplitName for a file, with the language and flag words (at most three,
// and never the whole stem) of a subtitle file moved into its extension:
// "The.Matrix.1999.en.srt" -> {"The.Matrix.1999", ".en.srt"}.  A final
// period alone is no extension, and the new name goes without it:
// "Movie.2010.720p." -> {"Movie.2010.720p", ""}, as Windows could not open
// a name that ends in a period.
NameSplit SplitFileName(std::string_view name);

}  // namespace rules
