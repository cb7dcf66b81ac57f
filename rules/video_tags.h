// The release tags that "/v" knows: the words release names carry after the
// title (resolutions, sources, codecs, audio, streaming services, editions,
// languages, flags).  Written once, here; doc/terms.example offers the same
// ones to "/k" users.
//
// A tag is one or more words as the stem cleanup leaves them ("WEB-DL",
// "DDP5 1" from "DDP5.1", "Director's Cut"), matched ASCII case-blind, a
// word's round brackets aside ("(1080p)").  Besides the table: a resolution
// written "720p", "1080i", "4k" or "1920x1080", a bit depth "10bit", a CRC
// "(ABCD1234)" (eight hexadecimal digits in brackets), and a tag with a
// release group glued on after a "-" ("x264-GRP").
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace rules {

enum class TagKind : unsigned char {
  kNone,
  kEdition,     // Extended, Director's Cut, Unrated, IMAX, Remastered
  kResolution,  // 720p, 2160p, 4k
  kSource,      // BluRay, WEB-DL, WEBRip, HDTV, Remux
  kCodec,       // x264, HEVC, H 264, 10bit
  kHdr,         // HDR, HDR10+, DV, Dolby Vision
  kAudio,       // AAC, DDP5 1, Atmos
  kService,     // AMZN, NF, DSNP
  kLanguage,    // German, FRENCH, MULTi, DL, Dubbed
  kFlag,        // PROPER, REPACK, iNTERNAL
  kGroup,       // release groups and sites: RARBG, YTS MX, EZTV
};

// The kinds that tell one version of a video from another wherever they
// stand, and so may begin a " - <version tags>" suffix anywhere.
inline bool IsVersionKind(TagKind k) {
  return k == TagKind::kEdition || k == TagKind::kResolution ||
         k == TagKind::kSource;
}

// The version kind (rules/release_name.h's VersionKind) a tag kind fills,
// -1 for none.
inline int VersionSlot(TagKind kind) {
  switch (kind) {
    case TagKind::kEdition: return 0;
    case TagKind::kResolution: return 1;
    case TagKind::kSource: return 2;
    case TagKind::kHdr: return 3;
    case TagKind::kCodec: return 4;
    case TagKind::kAudio: return 5;
    case TagKind::kGroup: return 6;
    default: return -1;
  }
}

struct VideoTag {
  std::string_view term;  // lower case; "_" between words
  TagKind kind;
  // A tag that also makes a title's word ("Web", "Cam", "German") ends a
  // title only when another tag follows it.
  bool weak;
  // An edition's name as the library writes it ("Director's Cut" for
  // "Directors Cut" and "DC"); empty for every other tag, and for a
  // version's word of the edition kind ("IMAX").
  std::string_view edition = {};
};

// The table, in no particular order.
std::span<const VideoTag> VideoTags();

struct TagMatch {
  TagKind kind = TagKind::kNone;
  std::size_t words = 0;  // taken, 0 for none
  bool weak = false;
  // For a tag with a group glued on ("x264-GRP"), the length of the tag in
  // its word; 0 when the word is the tag.
  std::size_t head = 0;
  std::string_view edition = {};  // the tag's VideoTag::edition
};

// The tag that begins at words[at] (words of a cleaned stem).
TagMatch MatchVideoTag(std::span<const std::string_view> words, std::size_t at);

}  // namespace rules
