// The directory listing.  All matching names are read when a listing starts,
// so that renames made during the run never bring an entry back twice.
#include <windows.h>

#include <set>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/listing.h"
#include "platform/windows/listing_rules.h"

namespace platform {
namespace {

struct Listing {
  std::vector<std::string> names;
  std::size_t next = 0;
  std::string directory;
  // Names whose 8-bit form is not the entry's own name: the code page lacks
  // one of its characters, so the text denotes another entry, or none.
  std::set<std::string> inexact;
  std::set<std::string> exact;
};

Listing listing;

std::string Take() {
  if (listing.next >= listing.names.size()) {
    listing.names.clear();
    listing.next = 0;
    return {};
  }
  return listing.names[listing.next++];
}

void ReadAll(const std::u16string& pattern, unsigned mask) {
  WIN32_FIND_DATAW record{};
  DWORD code = 0;
  auto wide = reinterpret_cast<const wchar_t*>(pattern.c_str());
  HANDLE search =
      CallPlatform([&] { return FindFirstFileW(wide, &record); }, code);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::u16string_view name(
        reinterpret_cast<const char16_t*>(record.cFileName));
    if (Selected(mask, record.dwFileAttributes, name)) {
      std::string ansi = ToAnsi(name);
      if (ToWide(ansi) == name)
        listing.exact.insert(ansi);
      else
        listing.inexact.insert(ansi);
      listing.names.push_back(std::move(ansi));
    }
  } while (CallPlatform([&] { return FindNextFileW(search, &record); }, code));
  CallPlatform([&] { return FindClose(search); }, code);
}

}  // namespace

std::string ListFirst(std::string_view spec, int attribute_code) {
  std::u16string wide = ToWide(spec);
  if (wide.size() > 256) wide.resize(256);
  if (wide.empty()) return ListNext();
  listing = Listing{};
  listing.directory = ToAnsi(DirectoryPart(wide));
  ReadAll(SearchPattern(wide),
          EffectiveMask(static_cast<unsigned>(attribute_code)));
  return Take();
}

std::string ListNext() { return Take(); }

std::string ListDirectory() { return listing.directory; }

bool ListedInexactly(std::string_view directory, std::string_view name) {
  if (directory != listing.directory) return false;
  std::string key(name);
  return listing.inexact.count(key) && !listing.exact.count(key);
}

}  // namespace platform
