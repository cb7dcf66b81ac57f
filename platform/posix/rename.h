// The rename that never replaces an entry.  Internal to the POSIX layer; the
// pieces are declared here so that unit tests can drive them one by one.
#pragma once

namespace platform::posix {

// The longest name the kernel takes, in bytes.
inline constexpr unsigned kLongestName = 255;

// Renames old_name to new_name inside the directory dir_fd, failing with
// EEXIST when new_name exists.  Returns 0 or the errno of the failure.
int RenameNoReplace(int dir_fd, const char* old_name, const char* new_name);
// The same without renameat2's RENAME_NOREPLACE, for file systems that lack
// it: link and unlink for entries that are not directories, else a check
// that the target is absent just before a plain rename.
int RenameNoReplaceFallback(int dir_fd, const char* old_name,
                            const char* new_name);

}  // namespace platform::posix
