#include "rules/download_in_progress.h"

#include "rules/ascii.h"

namespace rules {
namespace {

constexpr std::string_view kExtensions[] = {
    ".part", ".partial", ".crdownload", ".download", ".opdownload",
    ".!qb",  ".!ut",     ".!bt",        ".bc!",      ".az!",
    ".bt!",  ".fb!",     ".dctmp",      ".aria2",
};
// Of those, the control file written beside its download.
constexpr std::string_view kBeside = kExtensions[13];
static_assert(kBeside == ".aria2");

}  // namespace

std::span<const std::string_view> DownloadInProgressExtensions() {
  return kExtensions;
}

bool IsDownloadInProgress(std::string_view name) {
  for (std::string_view extension : kExtensions) {
    if (name.size() >= extension.size() &&
        ascii::EqualsFolded(name.substr(name.size() - extension.size()),
                            extension)) {
      return true;
    }
  }
  return false;
}

std::string_view ControlFileExtension() { return kBeside; }

std::string_view ControlledDownload(std::string_view name) {
  if (name.size() <= kBeside.size() ||
      !ascii::EqualsFolded(name.substr(name.size() - kBeside.size()), kBeside))
    return {};
  return name.substr(0, name.size() - kBeside.size());
}

}  // namespace rules
