// A copy of one file onto another volume, for a move that MoveFileExW
// cannot make there: by literal paths, never through a reparse point, into
// a new entry only, with its times and its read-only, hidden and archive
// marks (not its alternate data streams, nor its ACL: the copy has the
// target folder's), flushed before it is called made.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/windows/failure_kind.h"
#include "platform/windows/file_system.h"
#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

constexpr DWORD kPiece = DWORD{1} << 20;

Outcome LastFailure() {
  const DWORD code = GetLastError();
  return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
}

// A handle closed on every way out.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

bool PlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/") == std::string_view::npos;
}

}  // namespace

Outcome WindowsFileSystem::CopyInto(const Folder& from, std::string_view name,
                                    const Folder& to, std::string_view copy,
                                    Copied& copied,
                                    const std::function<void(std::uint64_t)>& progress) {
  copied = {};
  std::uint64_t& bytes = copied.bytes;
  if (!PlainName(name) || !PlainName(copy)) return {Failure::kRefusedName, 0};
  const LiteralPath source = Join(LiteralFolderOf(from), name);
  const LiteralPath target = Join(LiteralFolderOf(to), copy);
  for (const LiteralPath* path : {&source, &target})
    if (path->failure != Failure::kNone) return {path->failure, 0};
  Handle in;
  SetLastError(0);
  in.h = CreateFileW(Wide(source.path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                     OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
                     nullptr);
  if (in.h == INVALID_HANDLE_VALUE) return LastFailure();
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(in.h, &info)) return LastFailure();
  if (GetFileType(in.h) != FILE_TYPE_DISK ||
      (info.dwFileAttributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return {Failure::kNotAFile, 0};
  Handle out;
  SetLastError(0);
  out.h = CreateFileW(Wide(target.path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out.h == INVALID_HANDLE_VALUE) return LastFailure();
  std::vector<char> buffer(kPiece);
  Outcome failed;
  for (;;) {
    DWORD got = 0;
    SetLastError(0);
    if (!ReadFile(in.h, buffer.data(), kPiece, &got, nullptr)) {
      failed = LastFailure();
      break;
    }
    if (got == 0) break;
    DWORD wrote = 0;
    SetLastError(0);
    if (!WriteFile(out.h, buffer.data(), got, &wrote, nullptr) || wrote != got) {
      failed = LastFailure();
      break;
    }
    bytes += got;
    if (progress) progress(bytes);
  }
  SetLastError(0);
  if (failed.ok() && (!SetFileTime(out.h, &info.ftCreationTime, nullptr,
                                   &info.ftLastWriteTime) ||
                      !FlushFileBuffers(out.h)))
    failed = LastFailure();
  CloseHandle(out.h);
  out.h = INVALID_HANDLE_VALUE;
  // Its read-only, hidden and archive marks: a file's mode here.
  const DWORD kept = info.dwFileAttributes &
                     (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                      FILE_ATTRIBUTE_ARCHIVE);
  if (failed.ok() && kept != 0 && !SetFileAttributesW(Wide(target.path), kept))
    failed = LastFailure();
  if (!failed.ok()) {
    SetFileAttributesW(Wide(target.path), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(target.path));
  }
  return failed;
}

// The system tells no owner, mode or times here (EntryFacts): the copy
// keeps the times and attributes itself.
Outcome WindowsFileSystem::SetFacts(const Folder&, std::string_view,
                                    const EntryFacts&) {
  return {};
}

// RemoveDirectoryW removes an empty folder, or a link to one (never what
// the link leads to).  A read-only file is removed too, as a move removes
// it: its mark goes first, and comes back when it cannot be removed.
Outcome WindowsFileSystem::Remove(const Folder& folder, std::string_view name,
                                  EntryKind kind) {
  if (!PlainName(name)) return {Failure::kRefusedName, 0};
  const LiteralPath path = Join(LiteralFolderOf(folder), name);
  if (path.failure != Failure::kNone) return {path.failure, 0};
  if (kind == EntryKind::kDirectory) {
    SetLastError(0);
    if (RemoveDirectoryW(Wide(path.path))) return {};
    const DWORD code = GetLastError();
    if (code == 145) return {Failure::kNotEmpty, 145};  // ERROR_DIR_NOT_EMPTY
    return OutcomeOf(code != 0 ? code : DWORD{kFailedWithoutCode});
  }
  const DWORD attributes = GetFileAttributesW(Wide(path.path));
  const bool read_only = attributes != INVALID_FILE_ATTRIBUTES &&
                         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only)
    SetFileAttributesW(Wide(path.path), attributes & ~FILE_ATTRIBUTE_READONLY);
  SetLastError(0);
  if (DeleteFileW(Wide(path.path))) return {};
  const Outcome failed = LastFailure();
  if (read_only) SetFileAttributesW(Wide(path.path), attributes);
  return failed;
}

// The volume keeps its folders' entries in its own log: a flush of the
// folder is asked where the system takes it, and never fails the move.
Outcome WindowsFileSystem::SyncFolder(const Folder& folder) {
  const LiteralPath path = LiteralFolderOf(folder);
  if (path.failure != Failure::kNone) return {};
  Handle dir;
  dir.h = CreateFileW(Wide(path.path), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                      nullptr);
  if (dir.h != INVALID_HANDLE_VALUE) FlushFileBuffers(dir.h);
  return {};
}

}  // namespace platform::windows
