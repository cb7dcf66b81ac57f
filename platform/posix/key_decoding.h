// How much of the bytes a terminal sends is one key press, and whether that
// key says yes.  A pure function, so that unit tests can drive it.  Internal
// to the POSIX layer.
//
// A key is one character (ASCII or one UTF-8 sequence), or an escape
// sequence that the terminal sends for a cursor, editing or function key, or
// ESC before another key (that key with Alt).  Only "y" and "Y" alone say
// yes: Alt+y is a command, not the letter.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::posix {

struct KeyDecoding {
  enum Status {
    kKey,       // the first `consumed` bytes are one key
    kNeedMore,  // the bytes may be the start of a longer sequence
  };
  Status status = kNeedMore;
  std::size_t consumed = 0;
  bool yes = false;
  char letter = 0;  // 'y', 'a' or 'q' for those letters alone, in either case
};

// Decodes the first key of bytes.  at_pause says that no more bytes came
// within the short wait after the last one, so that a sequence cut short is
// taken as it stands: ESC alone is the Esc key, ESC and a character is Alt
// with that character.  Bytes after the first key (keys typed ahead) are
// left for the next call.
KeyDecoding DecodeKey(std::string_view bytes, bool at_pause);

}  // namespace platform::posix
