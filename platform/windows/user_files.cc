// The user's own files: where they live by the Windows custom, and reading,
// appending and replacing them.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/read_pieces.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace windows {
namespace {

std::u16string Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return u"";
  return std::u16string(reinterpret_cast<const char16_t*>(value), length);
}

// Makes every missing folder of the path's folder part.
void MakeFolders(const std::u16string& path) {
  for (std::size_t at = path.find_first_of(u"\\/", 3);
       at != std::u16string::npos; at = path.find_first_of(u"\\/", at + 1)) {
    CreateDirectoryW(Wide(path.substr(0, at)), nullptr);
  }
}

}  // namespace

std::string WindowsUserFiles::UserFilePath(UserFile file) {
  const bool state = file != UserFile::kTerms;
  const std::u16string folder =
      Environment(state ? L"LOCALAPPDATA" : L"APPDATA");
  if (folder.empty()) return "";
  return ToUtf8(folder).text +
         (file == UserFile::kHistory ? "\\namewisp\\history"
          : file == UserFile::kRuns  ? "\\namewisp\\runs\\"
                                     : "\\namewisp\\terms.txt");
}

FileText WindowsUserFiles::ScanFile(
    std::string_view path,
    const std::function<void(std::string_view piece)>& each,
    std::uint64_t tail) {
  FileText file;
  const std::u16string name = ToWide(path);
  HANDLE handle = CreateFileW(
      Wide(name), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    file.exists = code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
    return file;
  }
  file.exists = true;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) {
    CloseHandle(handle);
    return file;
  }
  const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
  if (tail == 0 && bytes > SizeCap()) {
    file.too_big = true;
    CloseHandle(handle);
    return file;
  }
  if (tail > 0 && bytes > tail) {
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart - static_cast<LONGLONG>(tail);
    if (!SetFilePointerEx(handle, from, nullptr, FILE_BEGIN)) {
      CloseHandle(handle);
      return file;
    }
  }
  const ReadEnd end = ReadPieces(
      [&](char* buffer, std::size_t n) -> long long {
        DWORD got = 0;
        if (!ReadFile(handle, buffer, static_cast<DWORD>(n), &got, nullptr))
          return -1;
        return got;
      },
      each, SizeCap());
  file.read = end == ReadEnd::kWhole;
  file.too_big = end == ReadEnd::kTooBig;
  CloseHandle(handle);
  return file;
}

namespace {

// The lock is on a byte far past the end of any journal, so that it never
// keeps a reader out.
OVERLAPPED LockPlace() {
  OVERLAPPED place{};
  place.Offset = 0xFFFFFFF0u;
  place.OffsetHigh = 0x7FFFFFFFu;
  return place;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsJournal final : public JournalFile {
 public:
  WindowsJournal(HANDLE handle, std::u16string path)
      : handle_(handle), path_(std::move(path)) {}
  ~WindowsJournal() override {
    OVERLAPPED place = LockPlace();
    UnlockFileEx(handle_, 0, 1, 0, &place);
    CloseHandle(handle_);
  }
  // Each write at the end of the file, wherever another handle wrote.
  bool Append(std::string_view text) override {
    while (!text.empty()) {
      OVERLAPPED at_end{};
      at_end.Offset = 0xFFFFFFFFu;
      at_end.OffsetHigh = 0xFFFFFFFFu;
      DWORD written = 0;
      const DWORD count =
          text.size() > (1u << 30) ? (1u << 30) : DWORD(text.size());
      if (!WriteFile(handle_, text.data(), count, &written, &at_end) ||
          written == 0)
        return false;
      text.remove_prefix(written);
    }
    return true;
  }
  // A journal removed or replaced since it was opened (it is shared for
  // deletion, so that readers never keep a run out) holds what it holds for
  // nobody: the run stops as it would on a full disk.
  bool Sync() override { return FlushFileBuffers(handle_) != 0 && StillAtPath(); }

 private:
  bool StillAtPath() const {
    // Removed while open, its name stays until the last handle is closed.
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle_, FileStandardInfo, &standard,
                                      sizeof standard) ||
        standard.DeletePending)
      return false;
    HANDLE now = CreateFileW(Wide(path_), 0, kShareAll, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (now == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION own{}, there{};
    const bool same = GetFileInformationByHandle(handle_, &own) &&
                      GetFileInformationByHandle(now, &there) &&
                      own.dwVolumeSerialNumber == there.dwVolumeSerialNumber &&
                      own.nFileIndexHigh == there.nFileIndexHigh &&
                      own.nFileIndexLow == there.nFileIndexLow;
    CloseHandle(now);
    return same;
  }

  HANDLE handle_;
  std::u16string path_;
};

OpenedJournal Locked(HANDLE handle, std::u16string path) {
  OpenedJournal opened;
  OVERLAPPED place = LockPlace();
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                  0, 1, 0, &place)) {
    const DWORD code = GetLastError();
    CloseHandle(handle);
    opened.state = code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING
                       ? JournalState::kLocked
                       : JournalState::kFailed;
    return opened;
  }
  opened.file = std::make_unique<WindowsJournal>(handle, std::move(path));
  opened.state = JournalState::kOpen;
  return opened;
}

}  // namespace

OpenedJournal WindowsUserFiles::CreateJournal(std::string_view path) {
  std::u16string name = ToWide(path);
  auto create = [&] {
    return CreateFileW(Wide(name), GENERIC_WRITE, kShareAll, nullptr,
                       CREATE_NEW, 0, nullptr);
  };
  HANDLE handle = create();
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
    MakeFolders(name);
    handle = create();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    OpenedJournal opened;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
      opened.state = JournalState::kExists;
    return opened;
  }
  return Locked(handle, std::move(name));
}

OpenedJournal WindowsUserFiles::OpenJournal(std::string_view path) {
  std::u16string name = ToWide(path);
  HANDLE handle = CreateFileW(Wide(name), GENERIC_WRITE, kShareAll, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  return Locked(handle, std::move(name));
}

// Marked for deletion under its lock, through a handle of its own.
bool WindowsUserFiles::RemoveJournal(std::string_view path) {
  HANDLE handle = CreateFileW(Wide(ToWide(path)), GENERIC_WRITE | DELETE,
                              kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED place = LockPlace();
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                  0, 1, 0, &place)) {
    CloseHandle(handle);
    return false;
  }
  FILE_DISPOSITION_INFO gone{};
  gone.DeleteFile = TRUE;
  const bool removed = SetFileInformationByHandle(handle, FileDispositionInfo,
                                                  &gone, sizeof gone) != 0;
  UnlockFileEx(handle, 0, 1, 0, &place);
  CloseHandle(handle);
  return removed;
}

bool WindowsUserFiles::ListStored(std::string_view folder,
                                   std::vector<StoredFile>& stored) {
  stored.clear();
  std::u16string pattern = ToWide(folder);
  if (!pattern.empty() && pattern.back() != u'\\') pattern += u'\\';
  pattern += u"*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(pattern), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
  }
  do {
    if (found.dwFileAttributes &
        (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
    if (name.empty() || name[0] == u'.') continue;
    stored.push_back({ToUtf8(name).text,
                      (std::uint64_t{found.nFileSizeHigh} << 32) |
                          found.nFileSizeLow});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

}  // namespace windows

std::string UtcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", now.wYear,
                now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  return text;
}

long ProcessNumber() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace platform
