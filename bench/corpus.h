// A deterministic corpus of messy download names for the benchmarks and the
// pipeline's results test: the same count always gives the same names.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// count distinct names, none hidden, none with a slash, tab or line break:
// titles of several words joined by periods, underscores or spaces, in
// mixed, upper or lower case, some in UTF-8; years in and out of range,
// resolutions, sources, codecs, audio tags, release groups after "-",
// bracketed tags and extensions.  About one in twenty is clean already.
std::vector<std::string> MessyNames(std::size_t count);

}  // namespace bench
