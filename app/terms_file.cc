#include "app/terms_file.h"

#include <algorithm>

namespace app {
namespace {

// A terms file is a short list typed by hand: one far larger is no such list
// (or a device in its place), and is refused before it fills the memory.
constexpr std::size_t kLongestTermsFile = 1 << 20;
constexpr std::size_t kLongestTermsLine = 4096;

}  // namespace

std::optional<rules::UserTerms> LoadTermsFile(const std::string& named,
                                              platform::UserFiles& files,
                                              platform::Console& console) {
  const std::string path =
      named.empty() ? files.UserFilePath(platform::UserFile::kTerms) : named;
  if (path.empty()) return rules::UserTerms{};
  std::string text;
  bool too_long = false;
  const platform::FileText file =
      files.ScanFile(path, [&](std::string_view piece) {
        if (too_long) return;
        text.append(piece.substr(
            0, std::min(piece.size(), kLongestTermsFile + 1 - text.size())));
        too_long = text.size() > kLongestTermsFile;
      });
  if (!file.exists && named.empty()) return rules::UserTerms{};
  too_long = too_long || file.too_big;
  if (!file.read && !too_long) {
    console.PrintError("namewisp: " + path +
                       ": the terms file cannot be read (it must be a "
                       "regular file)");
    return std::nullopt;
  }
  std::size_t line = 1, line_start = 0;
  for (std::size_t i = 0; i <= text.size() && !too_long; ++i) {
    if (i == text.size() || text[i] == '\n') {
      if (i - line_start > kLongestTermsLine) {
        console.PrintError("namewisp: " + path + ":" + std::to_string(line) +
                           ": a line longer than 4096 bytes");
        return std::nullopt;
      }
      ++line;
      line_start = i + 1;
    }
  }
  if (too_long) {
    console.PrintError("namewisp: " + path +
                       ": the terms file is larger than 1 MiB");
    return std::nullopt;
  }
  rules::TermsFile terms = rules::ParseTermsFile(text);
  for (const rules::TermsFileError& error : terms.errors) {
    console.PrintError("namewisp: " + path + ":" + std::to_string(error.line) +
                  ": " + error.problem);
  }
  if (!terms.ok()) return std::nullopt;
  return std::move(terms.terms);
}

}  // namespace app
