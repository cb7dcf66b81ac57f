// The listing.  All matching entries are read when it starts, so that renames
// made during the run never bring an entry back twice.  The system matches
// the wildcards itself, case-blind, long and short names alike.
#include <windows.h>

#include <set>

#include "platform/platform.h"
#include "platform/windows/call_platform.h"
#include "platform/windows/failure_kind.h"
#include "platform/windows/listing.h"
#include "platform/windows/listing_rules.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace {

// Names whose UTF-8 form is not the entry's own name: the system's name holds
// a lone surrogate, so the text denotes another entry, or none.
struct Stand_ins {
  std::string directory;
  std::set<std::string> inexact, exact;
};

Stand_ins stand_ins;

Entry MakeEntry(const WIN32_FIND_DATAW& record, std::string name) {
  const DWORD attributes = record.dwFileAttributes;
  Entry entry;
  entry.name = std::move(name);
  entry.kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::kDirectory
                                                     : EntryKind::kFile;
  entry.hidden =
      attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  entry.link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  return entry;
}

}  // namespace

Listing List(std::string_view operand) {
  Listing listing;
  stand_ins = Stand_ins{};
  std::u16string wide = ToWide(operand);
  if (wide.size() > 256) wide.resize(256);
  if (wide.empty()) return listing;
  listing.directory = ToUtf8(DirectoryPart(wide)).text;
  stand_ins.directory = listing.directory;

  const std::u16string pattern = SearchPattern(wide);
  WIN32_FIND_DATAW record{};
  DWORD code = 0;
  HANDLE search = CallPlatform(
      [&] {
        return FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()),
                              &record);
      },
      code);
  if (search == INVALID_HANDLE_VALUE) {
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
        code != ERROR_NO_MORE_FILES && code != 0)
      listing.failure = OutcomeOf(code);
    return listing;
  }
  do {
    std::u16string_view name(
        reinterpret_cast<const char16_t*>(record.cFileName));
    if (name == u"." || name == u"..") continue;
    Utf8Text utf8 = ToUtf8(name);
    (utf8.exact ? stand_ins.exact : stand_ins.inexact).insert(utf8.text);
    listing.entries.push_back(MakeEntry(record, std::move(utf8.text)));
  } while (CallPlatform([&] { return FindNextFileW(search, &record); }, code));
  CallPlatform([&] { return FindClose(search); }, code);
  return listing;
}

bool ListedInexactly(std::string_view directory, std::string_view name) {
  if (directory != stand_ins.directory) return false;
  std::string key(name);
  return stand_ins.inexact.count(key) && !stand_ins.exact.count(key);
}

}  // namespace platform
