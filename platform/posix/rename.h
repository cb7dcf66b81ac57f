// The rename that never replaces an entry.  Internal to the POSIX layer; the
// pieces are declared here so that unit tests can drive them one by one.
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// The longest name RenameEntry accepts, in bytes.
inline constexpr std::size_t kLongestName = 256;

// 0 when name may be given to the file system, else the code of the refusal
// (kNameEmpty, kNameHasWildcard, kNameHasSlash, kNameTooLong of
// error_reason.h).  A NUL byte counts as a "/": no name can hold either.
int CheckName(std::string_view name);

// Renames old_name to new_name inside the directory dir_fd, failing with
// EEXIST when new_name exists.  Returns 0 or the errno of the failure.
int RenameNoReplace(int dir_fd, const char* old_name,
                    const char* new_name);
// The same without renameat2's RENAME_NOREPLACE, for file systems that lack
// it: link and unlink for entries that are not directories, else a check
// that the target is absent just before a plain rename.
int RenameNoReplaceFallback(int dir_fd, const char* old_name,
                            const char* new_name);
// A rename to a name that the file system takes for the old one (a change of
// letter case on a case-insensitive file system): through a unique temporary
// name in the same directory.  When the second step fails the entry goes back
// to its old name.  Returns 0 or the errno of the failure.
int RenameThroughTemporary(int dir_fd, const char* old_name,
                           const char* new_name);

}  // namespace platform::posix
