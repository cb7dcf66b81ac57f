// The first bytes of a small file beside a download (its .nfo): by its
// literal path, never through a reparse point, a disk file only.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/windows/failure_kind.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform::windows {

Outcome WindowsFileSystem::ReadStart(const Folder& folder,
                                     std::string_view name, std::size_t most,
                                     std::string& bytes) {
  bytes.clear();
  const LiteralPath path = Join(LiteralFolderOf(folder), name);
  if (path.failure != Failure::kNone) return {path.failure, 0};
  // A folder opens only by other means: it is no file to read.
  const DWORD attributes = GetFileAttributesW(Wide(path.path));
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    return {Failure::kNotAFile, 0};
  SetLastError(0);
  const HANDLE h = CreateFileW(
      Wide(path.path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
  }
  BY_HANDLE_FILE_INFORMATION info{};
  Outcome outcome;
  if (!GetFileInformationByHandle(h, &info) || GetFileType(h) != FILE_TYPE_DISK ||
      (info.dwFileAttributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    outcome = {Failure::kNotAFile, 0};
  } else {
    bytes.resize(most);
    std::size_t got = 0;
    while (got < most) {
      DWORD now = 0;
      const DWORD ask = static_cast<DWORD>(
          std::min<std::size_t>(most - got, DWORD{1} << 20));
      if (!ReadFile(h, bytes.data() + got, ask, &now, nullptr)) {
        const DWORD code = GetLastError();
        outcome = OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
        break;
      }
      if (now == 0) break;
      got += now;
    }
    bytes.resize(got);
  }
  CloseHandle(h);
  return outcome;
}

}  // namespace platform::windows
