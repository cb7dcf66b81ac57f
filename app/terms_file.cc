#include "app/terms_file.h"

namespace app {

std::optional<rules::UserTerms> LoadTermsFile(const std::string& named,
                                              RunServices& s) {
  const std::string path =
      named.empty() && s.user_file_path
          ? s.user_file_path(platform::UserFile::kTerms)
          : named;
  if (path.empty() || !s.read_file) return rules::UserTerms{};
  const platform::FileText file = s.read_file(path);
  if (!file.exists && named.empty()) return rules::UserTerms{};
  if (!file.read) {
    s.print_error("namewisp: " + path + ": the terms file cannot be read");
    return std::nullopt;
  }
  rules::TermsFile terms = rules::ParseTermsFile(file.text);
  for (const rules::TermsFileError& error : terms.errors) {
    s.print_error("namewisp: " + path + ":" + std::to_string(error.line) +
                  ": " + error.problem);
  }
  if (!terms.ok()) return std::nullopt;
  return std::move(terms.terms);
}

}  // namespace app
