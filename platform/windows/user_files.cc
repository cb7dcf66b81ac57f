// The user's own files: where they live by the Windows custom, and reading,
// appending and replacing them.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform {
namespace windows {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

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

bool WriteWhole(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD count = text.size() > MAXDWORD ? MAXDWORD : DWORD(text.size());
    const BOOL ok = WriteFile(file, text.data(), count, &written, nullptr);
    if (!ok || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::string WindowsFileSystem::UserFilePath(UserFile file) {
  const bool history = file == UserFile::kHistory;
  const std::u16string folder =
      Environment(history ? L"LOCALAPPDATA" : L"APPDATA");
  if (folder.empty()) return "";
  return ToUtf8(folder).text +
         (history ? "\\namewisp\\history" : "\\namewisp\\terms.txt");
}

FileText WindowsFileSystem::ScanFile(
    std::string_view path,
    const std::function<void(std::string_view piece)>& each) {
  FileText file;
  const std::u16string name = ToWide(path);
  HANDLE handle = CreateFileW(Wide(name), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    file.exists = code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
    return file;
  }
  file.exists = true;
  std::string buffer(1 << 17, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                  nullptr))
      break;
    if (got == 0) {
      file.read = true;
      break;
    }
    each(std::string_view(buffer.data(), got));
  }
  CloseHandle(handle);
  return file;
}

namespace {

// The file appended to last, kept open: a run appends to its history a batch
// at a time, and would otherwise open it (and make its folders) for each.
struct AppendedFile {
  std::u16string path;
  HANDLE handle = INVALID_HANDLE_VALUE;
};

AppendedFile appended;

void ForgetAppendedFile() {
  if (appended.handle != INVALID_HANDLE_VALUE) CloseHandle(appended.handle);
  appended = AppendedFile{};
}

HANDLE OpenForAppending(const std::u16string& name) {
  if (appended.handle != INVALID_HANDLE_VALUE && appended.path == name)
    return appended.handle;
  ForgetAppendedFile();
  auto open_it = [&] {
    return CreateFileW(Wide(name), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, 0, nullptr);
  };
  HANDLE handle = open_it();
  if (handle == INVALID_HANDLE_VALUE) {
    MakeFolders(name);
    handle = open_it();
  }
  if (handle != INVALID_HANDLE_VALUE) appended = {name, handle};
  return handle;
}

}  // namespace

void CloseUserFiles() { ForgetAppendedFile(); }

// A handle opened for appending only writes each piece at the end as one
// step.
bool WindowsFileSystem::AppendFile(std::string_view path,
                                   std::string_view text) {
  const HANDLE handle = OpenForAppending(ToWide(path));
  return handle != INVALID_HANDLE_VALUE && WriteWhole(handle, text);
}

bool WindowsFileSystem::EditFile(
    std::string_view path,
    const std::function<std::string(std::string_view text)>& edit) {
  std::string old_text;
  const FileText file = ScanFile(
      path, [&](std::string_view piece) { old_text.append(piece); });
  if (!file.read) return false;
  const std::string text = edit(old_text);
  const std::u16string name = ToWide(path);
  // The file kept open for appending is about to be another one.
  if (appended.path == name) ForgetAppendedFile();
  MakeFolders(name);
  const std::u16string temporary = name + u".new";
  HANDLE handle = CreateFileW(Wide(temporary), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteWhole(handle, text) && FlushFileBuffers(handle);
  if (!CloseHandle(handle) || !written ||
      !MoveFileExW(Wide(temporary), Wide(name),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(Wide(temporary));
    return false;
  }
  return true;
}

bool WindowsFileSystem::ProcessRunning(long process) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                              static_cast<DWORD>(process));
  if (!handle) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running =
      GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
  CloseHandle(handle);
  return running;
}

// The literal path without its "\\?\" mark: every name in it as it is, so
// that undo finds a folder whose name ends in a period or a space.
std::string WindowsFileSystem::AbsolutePath(const Folder& directory) {
  const LiteralPath literal = LiteralFolderOf(directory);
  if (literal.failure != Failure::kNone) return "";
  std::u16string_view path = literal.path;
  std::u16string shown;
  if (path.starts_with(u"\\\\?\\UNC\\")) {
    shown = u"\\\\" + std::u16string(path.substr(8));
  } else if (path.starts_with(u"\\\\?\\")) {
    shown = std::u16string(path.substr(4));
  } else {
    shown = std::u16string(path);
  }
  return ToUtf8(shown).text;
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
