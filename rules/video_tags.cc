#include "rules/video_tags.h"

#include <cstdint>
#include <vector>

#include "rules/ascii.h"
#include "rules/languages.h"
#include "rules/term_engine.h"

namespace rules {
namespace {

using K = TagKind;

constexpr VideoTag kTags[] = {
    // Editions, with the name the library writes them by; IMAX is a
    // version's word, no edition.
    {"extended", K::kEdition, false, "Extended"},
    {"extended_cut", K::kEdition, false, "Extended Cut"},
    {"extended_edition", K::kEdition, false, "Extended Edition"},
    {"director's_cut", K::kEdition, false, "Director's Cut"},
    {"directors_cut", K::kEdition, false, "Director's Cut"},
    {"unrated", K::kEdition, false, "Unrated"}, {"uncut", K::kEdition, false, "Uncut"},
    {"uncensored", K::kEdition, false, "Uncensored"}, {"imax", K::kEdition, false},
    {"remastered", K::kEdition, false, "Remastered"},
    {"theatrical", K::kEdition, false, "Theatrical"},
    {"theatrical_cut", K::kEdition, false, "Theatrical Cut"},
    {"special_edition", K::kEdition, false, "Special Edition"},
    {"ultimate_edition", K::kEdition, false, "Ultimate Edition"},
    {"collector's_edition", K::kEdition, false, "Collector's Edition"},
    {"criterion", K::kEdition, false, "Criterion"},
    {"anniversary_edition", K::kEdition, false, "Anniversary Edition"},
    {"final_cut", K::kEdition, true, "Final Cut"},
    {"open_matte", K::kEdition, false, "Open Matte"},
    {"dc", K::kEdition, true, "Director's Cut"},
    // Resolutions the pattern does not cover.
    {"uhd", K::kResolution, true}, {"sd", K::kResolution, true},
    // Sources.
    {"bluray", K::kSource, false}, {"blu-ray", K::kSource, false},
    {"blu_ray", K::kSource, false}, {"bdrip", K::kSource, false},
    {"brrip", K::kSource, false}, {"bdremux", K::kSource, false},
    {"bd-remux", K::kSource, false},
    {"remux", K::kSource, false}, {"bd", K::kSource, true},
    {"bd25", K::kSource, false}, {"bd50", K::kSource, false},
    {"web-dl", K::kSource, false}, {"webdl", K::kSource, false},
    {"web_dl", K::kSource, false}, {"webrip", K::kSource, false},
    {"web-rip", K::kSource, false}, {"web", K::kSource, true},
    {"webcap", K::kSource, false}, {"hdtv", K::kSource, false},
    {"hdtvrip", K::kSource, false}, {"pdtv", K::kSource, false},
    {"sdtv", K::kSource, false}, {"dsr", K::kSource, false},
    {"dsrip", K::kSource, false}, {"satrip", K::kSource, false},
    {"tvrip", K::kSource, false}, {"vodrip", K::kSource, false},
    {"dvdrip", K::kSource, false}, {"dvd", K::kSource, true},
    {"dvdr", K::kSource, false}, {"dvd5", K::kSource, false},
    {"dvd9", K::kSource, false}, {"dvdscr", K::kSource, false},
    {"hdrip", K::kSource, false}, {"hddvd", K::kSource, false},
    {"hd-dvd", K::kSource, false}, {"hdcam", K::kSource, false},
    {"cam", K::kSource, true}, {"camrip", K::kSource, false},
    {"hdts", K::kSource, false}, {"telesync", K::kSource, false},
    {"ts", K::kSource, true}, {"telecine", K::kSource, false},
    {"tc", K::kSource, true}, {"r5", K::kSource, true},
    {"screener", K::kSource, false}, {"ppv", K::kSource, false},
    {"vhsrip", K::kSource, false}, {"hd", K::kSource, true},
    // Codecs and picture.
    {"x264", K::kCodec, false}, {"x265", K::kCodec, false},
    {"h264", K::kCodec, false}, {"h265", K::kCodec, false},
    {"h_264", K::kCodec, false}, {"h_265", K::kCodec, false},
    {"h-264", K::kCodec, false}, {"h-265", K::kCodec, false},
    {"hevc", K::kCodec, false}, {"avc", K::kCodec, false},
    {"xvid", K::kCodec, false}, {"divx", K::kCodec, false},
    {"divx5", K::kCodec, false}, {"divx6", K::kCodec, false},
    {"vc-1", K::kCodec, false}, {"vc1", K::kCodec, false},
    {"mpeg2", K::kCodec, false}, {"mpeg-2", K::kCodec, false},
    {"av1", K::kCodec, false}, {"vp9", K::kCodec, false},
    {"hi10p", K::kCodec, false},
    {"3d", K::kCodec, true}, {"sbs", K::kCodec, true},
    // Dynamic range.
    {"hdr", K::kHdr, false}, {"hdr10", K::kHdr, false},
    {"hdr10+", K::kHdr, false}, {"hdr10plus", K::kHdr, false},
    {"dv", K::kHdr, true}, {"dovi", K::kHdr, false},
    {"sdr", K::kHdr, true}, {"hlg", K::kHdr, false},
    {"dolby_vision", K::kHdr, false},
    // Audio.
    {"aac", K::kAudio, false}, {"aac2", K::kAudio, false},
    {"aac5", K::kAudio, false}, {"ac3", K::kAudio, false},
    {"eac3", K::kAudio, false}, {"dts", K::kAudio, false},
    {"dts-hd", K::kAudio, false}, {"dts-x", K::kAudio, false},
    {"dts-hdma", K::kAudio, false}, {"dd", K::kAudio, true},
    {"dd2", K::kAudio, false}, {"dd5", K::kAudio, false},
    {"dd7", K::kAudio, false}, {"ddp", K::kAudio, false},
    {"ddp2", K::kAudio, false}, {"ddp5", K::kAudio, false},
    {"ddp7", K::kAudio, false}, {"dd+", K::kAudio, false},
    {"dd+2", K::kAudio, false}, {"dd+5", K::kAudio, false},
    {"dd+7", K::kAudio, false}, {"e-ac3", K::kAudio, false},
    {"e-ac-3", K::kAudio, false}, {"ac-3", K::kAudio, false},
    {"dts-hd_ma", K::kAudio, false}, {"ma", K::kAudio, true},
    {"truehd", K::kAudio, false}, {"atmos", K::kAudio, false},
    {"flac", K::kAudio, false}, {"mp3", K::kAudio, false},
    {"opus", K::kAudio, false}, {"lpcm", K::kAudio, false},
    {"pcm", K::kAudio, false}, {"2ch", K::kAudio, false},
    {"6ch", K::kAudio, false}, {"8ch", K::kAudio, false},
    // Streaming services.
    {"amzn", K::kService, false}, {"nf", K::kService, true},
    {"dsnp", K::kService, false}, {"hmax", K::kService, false},
    {"atvp", K::kService, false}, {"hulu", K::kService, true},
    {"pcok", K::kService, false}, {"pmtp", K::kService, false},
    {"cr", K::kService, true}, {"funi", K::kService, false},
    {"stan", K::kService, true}, {"crav", K::kService, false},
    {"itunes", K::kService, true}, {"max", K::kService, true},
    // Dubs and subtitles; the languages are rules/languages.cc's.
    {"dl", K::kLanguage, true}, {"dual", K::kLanguage, true},
    {"dual-audio", K::kLanguage, false}, {"dual_audio", K::kLanguage, false}, {"dubbed", K::kLanguage, false},
    {"subbed", K::kLanguage, false}, {"hardsub", K::kLanguage, false},
    {"hc", K::kLanguage, true}, {"subs", K::kLanguage, true},
    // Flags.
    {"proper", K::kFlag, true}, {"repack", K::kFlag, false},
    {"rerip", K::kFlag, false}, {"internal", K::kFlag, true},
    {"limited", K::kFlag, true}, {"readnfo", K::kFlag, false},
    {"nfofix", K::kFlag, false}, {"dirfix", K::kFlag, false},
    {"real", K::kFlag, true}, {"hybrid", K::kFlag, true},
    {"complete", K::kFlag, true},
    // Release groups and sites that name themselves in the name.
    {"rarbg", K::kGroup, false}, {"yify", K::kGroup, false},
    {"yts", K::kGroup, true}, {"yts_mx", K::kGroup, false},
    {"yts_am", K::kGroup, false}, {"yts_lt", K::kGroup, false},
    {"eztv", K::kGroup, false}, {"eztvx", K::kGroup, false},
    {"eztvx_to", K::kGroup, false}, {"eztv_re", K::kGroup, false},
    {"tgx", K::kGroup, false}, {"ettv", K::kGroup, false},
};

// The table with the languages that are release tags.
const std::vector<VideoTag>& AllTags() {
  static const std::vector<VideoTag> tags = [] {
    std::vector<VideoTag> all(std::begin(kTags), std::end(kTags));
    for (const LanguageWord& l : LanguageWords()) {
      if (l.release_tag) all.push_back({l.word, K::kLanguage, !l.only_tag});
    }
    return all;
  }();
  return tags;
}

// The table as the term matcher reads it, in the table's order.
const TermIndex& TagIndex() {
  static const TermIndex index = [] {
    std::vector<Term> terms;
    for (const VideoTag& tag : AllTags()) terms.push_back(TermFromRow(tag.term));
    return IndexTerms(std::move(terms));
  }();
  return index;
}

constexpr std::size_t kLongestWord = 24;

// The word's lower-case form without its round brackets, in buf; false for
// a word too long to be a tag.
bool LowerWord(std::string_view word, char* buf, std::string_view& out) {
  const std::string_view w = ascii::TrimBrackets(word);
  if (w.empty() || w.size() > kLongestWord) return false;
  for (std::size_t i = 0; i < w.size(); ++i) buf[i] = ascii::AsciiLower(w[i]);
  out = std::string_view(buf, w.size());
  return true;
}

bool AllDigits(std::string_view w) {
  if (w.empty()) return false;
  for (char c : w) {
    if (!ascii::IsDigit(c)) return false;
  }
  return true;
}

bool IsHex(char c) {
  return ascii::IsDigit(c) || (c >= 'a' && c <= 'f');
}

// The tags no table holds: "720p", "1080i", "4k", "1920x1080", "10bit",
// "(ABCD1234)".
TagKind PatternKind(std::string_view word, std::string_view lower) {
  const std::size_t n = lower.size();
  if (n >= 4 && n <= 5 && (lower[n - 1] == 'p' || lower[n - 1] == 'i') &&
      AllDigits(lower.substr(0, n - 1)))
    return TagKind::kResolution;
  if ((lower == "4k" || lower == "8k")) return TagKind::kResolution;
  // "720x480" to "3840x2160": only a word of seven to nine bytes is looked
  // through for its "x".
  const std::size_t x = n >= 7 && n <= 9 ? lower.find('x') : std::string_view::npos;
  if (x >= 3 && x <= 4 && AllDigits(lower.substr(0, x)) &&
      AllDigits(lower.substr(x + 1)) && n - x - 1 >= 3 && n - x - 1 <= 4)
    return TagKind::kResolution;
  if ((lower == "10bit" || lower == "8bit" || lower == "10-bit" ||
       lower == "12bit"))
    return TagKind::kCodec;
  if (n == 8 && word.size() == 10 && word.front() == '(' && word.back() == ')') {
    bool hex = true;
    for (char c : lower) hex = hex && IsHex(c);
    if (hex) return TagKind::kFlag;
  }
  return TagKind::kNone;
}

TagMatch MatchWhole(std::span<const std::string_view> words, std::size_t at,
                    std::string_view lower) {
  const TagKind pattern = PatternKind(words[at], lower);
  if (pattern != TagKind::kNone) return {pattern, 1, false};
  const TermHit hit = MatchTermAt(words, at, TagIndex());
  if (hit.words == 0) return {};
  const VideoTag& tag = AllTags()[hit.term];
  TagMatch m{tag.kind, hit.words, tag.weak};
  m.edition = tag.edition;
  return m;
}

// By a word's first letter, the lengths a tag's first word can have (bit
// n for n bytes): the quick refusal of nearly every title word.  CRC codes
// are eight bytes from "a" to "f".
struct FirstLetters {
  std::uint32_t lengths[26] = {};
};

const FirstLetters& TagFirstLetters() {
  static const FirstLetters letters = [] {
    FirstLetters f;
    for (const VideoTag& tag : AllTags()) {
      const std::size_t n = tag.term.find('_');
      const std::size_t length = n == std::string_view::npos ? tag.term.size() : n;
      const char c = tag.term[0];
      if (c >= 'a' && c <= 'z' && length < 32) f.lengths[c - 'a'] |= 1u << length;
    }
    for (char c = 'a'; c <= 'f'; ++c) f.lengths[c - 'a'] |= 1u << 8;
    return f;
  }();
  return letters;
}

// Whether the word may be a tag at all: a word beginning with a letter
// and holding no "-" is one only with a length some tag has.
bool MayBeTag(std::string_view word) {
  const std::string_view w = ascii::TrimBrackets(word);
  if (w.empty() || w.size() > kLongestWord) return false;
  const char c = ascii::AsciiLower(w[0]);
  if (c < 'a' || c > 'z' || w.find('-') != std::string_view::npos) return true;
  return (TagFirstLetters().lengths[c - 'a'] >> w.size()) & 1u;
}

}  // namespace

std::span<const VideoTag> VideoTags() { return AllTags(); }

TagMatch MatchVideoTag(std::span<const std::string_view> words, std::size_t at) {
  if (at >= words.size() || !MayBeTag(words[at])) return {};
  char buf[kLongestWord];
  std::string_view lower;
  if (!LowerWord(words[at], buf, lower)) return {};
  TagMatch m = MatchWhole(words, at, lower);
  if (m.words > 0) return m;
  // A release group glued on: "x264-GRP", "WEB-DL-GRP".
  const std::size_t dash = lower.rfind('-');
  if (dash == std::string_view::npos || dash == 0) return {};
  const std::string_view head = lower.substr(0, dash);
  const std::string_view one[] = {head};
  m = MatchWhole(one, 0, head);
  if (m.words != 1 || m.weak) return {};
  m.head = dash;
  return m;
}

}  // namespace rules
