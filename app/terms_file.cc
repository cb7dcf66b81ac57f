#include "app/terms_file.h"

#include "app/whole_file.h"

namespace app {

std::optional<rules::UserTerms> LoadTermsFile(const std::string& named,
                                              platform::FileSystem& files,
                                              platform::Console& console) {
  const std::string path =
      named.empty() ? files.UserFilePath(platform::UserFile::kTerms) : named;
  if (path.empty()) return rules::UserTerms{};
  const platform::FileText file = ReadWholeFile(files, path);
  if (!file.exists && named.empty()) return rules::UserTerms{};
  if (!file.read) {
    console.PrintError("namewisp: " + path + ": the terms file cannot be read");
    return std::nullopt;
  }
  rules::TermsFile terms = rules::ParseTermsFile(file.text);
  for (const rules::TermsFileError& error : terms.errors) {
    console.PrintError("namewisp: " + path + ":" + std::to_string(error.line) +
                  ": " + error.problem);
  }
  if (!terms.ok()) return std::nullopt;
  return std::move(terms.terms);
}

}  // namespace app
