// Reading one UTF-8 sequence strictly: the conversions, the display width and
// the key decoding share it.  Internal to the POSIX layer.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::posix {

struct Utf8Step {
  enum Kind {
    kValid,       // a complete, well-formed sequence
    kInvalid,     // the first byte starts no well-formed sequence
    kIncomplete,  // a well-formed start that the text cuts short
  };
  Kind kind = kInvalid;
  char32_t value = 0;      // the code point when kValid
  std::size_t length = 1;  // bytes of the sequence when kValid, else 1
};

// Reads the sequence at text[at] (at < text.size()).  Overlong forms,
// surrogates (ED A0 80 and the like) and values past U+10FFFF are invalid.
Utf8Step ScanUtf8(std::string_view text, std::size_t at);

}  // namespace platform::posix
