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
static_assert([] {
  for (std::string_view extension : kExtensions)
    if (extension.rfind('.') != 0) return false;
  return true;
}(), "IsDownloadInProgress reads the name's last period alone");

}  // namespace

std::span<const std::string_view> DownloadInProgressExtensions() {
  return kExtensions;
}

bool IsDownloadInProgress(std::string_view name) {
  // Each extension is a period and what follows it, none with another
  // period: only the name's last one can begin it (a run asks this of every
  // name it lists).
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view tail = name.substr(dot);
  if (tail.size() < 2) return false;
  // The byte after the period first: most names' extensions differ there.
  const char second = ascii::AsciiLower(tail[1]);
  for (std::string_view extension : kExtensions)
    if (tail.size() == extension.size() && second == extension[1] &&
        ascii::EqualsFolded(tail, extension))
      return true;
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
