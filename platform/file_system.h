// The folders as namewisp sees them: listed a snapshot at a time, their
// entries renamed one step at a time and never over another entry.  The run,
// its dry run and undo work through this side alone; the journal's files are
// the user files' side (platform/user_files.h).  One side per system
// (posix/, windows/); the dry run wraps the real side, and tests use a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Why a listing or a rename failed.
enum class Failure {
  kNone,
  kExists,      // an entry of the new name exists
  kNotFound,    // the entry (or its folder) is gone
  kPermission,
  kTooLong,
  kRefusedName,  // the system cannot take the name as it stands
  kWildcardName,  // a new name with "?" or "*", which the system cannot hold
  kNotHeldName,   // a character the folder's file system cannot hold (exFAT)
  kDeviceName,   // a new name the system takes for a device (Windows' NUL)
  kFinalPeriodOrSpace,  // a new name that ordinary paths would cut (Windows)
  kInUse,
  kNoSpace,
  kOtherVolume,  // a move between two file systems, which one step cannot make
  kNotEmpty,     // a folder to remove holds entries
  kNotAFile,     // a copy of anything but a regular file (a link, a device)
  kCannotLink,   // the file system makes no hard link of it (FAT, exFAT)
  kInterrupted,  // a copy stopped for Ctrl+C, which waits on a hold
  kOther,  // see code
};

struct Outcome {
  Failure failure = Failure::kNone;
  int code = 0;  // the system's own error number, for kOther
  bool ok() const { return failure == Failure::kNone; }
};

enum class EntryKind { kFile, kDirectory, kOther /* device, fifo, socket */ };

// Which entry a name denotes: two names with one known identity are one
// entry (as a change of letter case is on a file system that ignores case).
// Device and inode on POSIX, volume and file index on Windows; by_name, the
// entry's size and modification time, where the file system does not keep
// its numbers from one mount to the next (EntryStat's stamp).
struct EntryId {
  std::uint64_t volume = 0, index = 0;
  bool known = false;
  bool by_name = false;  // volume: the size; index: the time, in ns
  bool operator==(const EntryId&) const = default;
};

// What an entry has besides its name and bytes, which a copy onto another
// file system may lose and undo gives back: its owner and group, its mode
// (the permission bits with set-user-id, set-group-id and sticky) and its
// times.  Not known where the system tells none of them (Windows).
struct EntryFacts {
  bool known = false;
  std::uint32_t owner = 0, group = 0, mode = 0;
  std::int64_t accessed = 0, modified = 0;  // ns since 1970 (UTC)
  bool operator==(const EntryFacts&) const = default;
};

// What a name of a folder denotes, never through a link.
struct EntryStat {
  bool exists = false;  // a dangling link included
  EntryId id;           // its numbers; not known when there is none
  EntryId stamp;        // its size and modification time, as by_name
  EntryFacts facts;
  std::uint64_t links = 0;  // its names (hard links), where told
};

// What a copy made: its bytes, and what of its file the copy could not
// keep (the process may not give it, or the target cannot hold it).
struct Copied {
  std::uint64_t bytes = 0;
  bool owner_lost = false, group_lost = false;
  // Extended attributes by name (an ACL is "system.posix_acl_access").
  std::vector<std::string> attributes_lost;
};

struct Entry {
  std::string name;  // without a folder part
  EntryKind kind = EntryKind::kFile;
  bool hidden = false;  // hidden or a system entry by the platform's custom
  bool link = false;    // a symbolic link (or junction): never entered
  EntryId id;           // where the listing can tell it
};

// What a side keeps of a folder it opened (a descriptor, say), so that the
// renames of a listing go to the folder that was listed.
struct FolderHandle {
  virtual ~FolderHandle() = default;
};

struct Folder {
  // As the operand names it, with its trailing separator; "" for the
  // current folder.
  std::string path;
  // The side's own; none for a folder named by its path alone (undo's).
  std::shared_ptr<const FolderHandle> handle;
  // Which folder was listed, where the side can tell it.
  EntryId id = {};
};

struct Listing {
  Folder folder;
  std::vector<Entry> entries;  // a snapshot, in the order to handle them
  // Why the folder could not be read; kNone also when it does not exist.
  Outcome failure;
};

// What the system tells of a folder.
struct FolderFacts {
  // Its absolute path with its trailing separator ("" when it cannot be
  // told).
  std::string absolute;
  // The name of the file system it is on, in lower case as the system calls
  // it ("ext4", "exfat", "fuse", "nfs"; Windows: "ntfs", "fat32", and
  // "network" for a network drive), or "" when it cannot be told.
  std::string volume_type;
  // Its mode, as MakeFolder gives it back: its permission bits on POSIX, its
  // attributes on Windows; 0 where it cannot be told.
  std::uint32_t mode = 0;
};

inline constexpr std::optional<std::string_view> kEveryEntry = std::nullopt;

// What the program must have the system do to its folders; each side does
// all of it.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The folder at path ("" for the current one) with every entry but "."
  // and ".." (kEveryEntry), or with the one entry name when it exists: by
  // the system's own lookup, so that a file system that ignores case finds
  // it whatever the case of name, and lists it by its own name.
  virtual Listing ListFolder(std::string_view path,
                             std::optional<std::string_view> name) = 0;
  // Every entry of a folder that a listing of parent holds, opened relative
  // to parent and never through a link: a folder that is no longer that
  // entry fails as kNotFound.
  virtual Listing ListBelow(const Folder& parent, const Entry& folder) = 0;

  // Lets go of what the side keeps open of a listed folder, where it can
  // open it again with ReopenFolder (a side may keep it).  A deep walk lets
  // go of the folders far above it, so that it holds a bounded number of
  // them open.
  virtual void LetGoFolder(Folder& folder) = 0;
  // Opens again a folder let go, by its path: kNotFound when that path no
  // longer leads to the folder that was listed.  Nothing to do for a folder
  // still held.
  virtual Outcome ReopenFolder(Folder& folder) = 0;

  // Moves the entry old_name of the folder from into the folder to as
  // new_name in one step (a rename, where from and to are one folder),
  // never over an existing entry (kExists); between two file systems it
  // moves nothing (kOtherVolume).
  virtual Outcome Move(const Folder& from, std::string_view old_name,
                       const Folder& to, std::string_view new_name) = 0;
  // Gives the regular file old_name of from a second name, new_name of the
  // folder to: a hard link, never through a link and never over an existing
  // entry (kExists); kNotAFile for anything but a regular file,
  // kOtherVolume between two file systems, kCannotLink where the file
  // system makes none or the file has all the links it may have.
  virtual Outcome Link(const Folder& from, std::string_view old_name,
                       const Folder& to, std::string_view new_name) = 0;
  // Creates the folder name in parent, never over an existing entry
  // (kExists), and opens it as made (relative to parent, never through a
  // link); with a mode (not 0) that DescribeFolder told of a folder, gives
  // it that mode.
  virtual Outcome MakeFolder(const Folder& parent, std::string_view name,
                             std::uint32_t mode, Folder& made) = 0;
  // Removes the entry name of the folder: a folder (kDirectory) only when
  // it holds nothing (else kNotEmpty), and never a link or a file of that
  // name; a file (any other kind), never a folder.
  virtual Outcome Remove(const Folder& folder, std::string_view name,
                         EntryKind kind) = 0;
  // Copies the regular file name of from into a new entry copy of to,
  // opened relative to both folders and never through a link (kNotAFile
  // for anything else), never over an existing entry (kExists); keeps its
  // holes, its mode (without set-user-id and the like: the copy is made by
  // this process), its times, and where it can its owner, group and
  // extended attributes (copied tells which it could not), and flushes the
  // copy and the folder to the disk before it returns.  copied.bytes: how
  // far it got, told to progress (when given) as the copy goes.  A copy cut
  // short by a failure, or stopped for a signal that waits on a hold
  // (kInterrupted), is removed; one cut short by a kill stays for undo.
  virtual Outcome CopyInto(
      const Folder& from, std::string_view name, const Folder& to,
      std::string_view copy, Copied& copied,
      const std::function<void(std::uint64_t bytes)>& progress) = 0;
  // The first bytes of the regular file name (at most most of them), read
  // without following a link and without blocking on a fifo or a device:
  // kNotAFile for anything else.  A download's .nfo, say.
  virtual Outcome ReadStart(const Folder& folder, std::string_view name,
                            std::size_t most, std::string& bytes) = 0;
  // Gives the entry name of folder ("." the folder itself; never through a
  // link) the owner, group, mode and times of facts, as far as the process
  // may: the first failure, with the rest given.  Nothing where the system
  // tells no facts.
  virtual Outcome SetFacts(const Folder& folder, std::string_view name,
                           const EntryFacts& facts) = 0;
  // Makes the folder's entries as they are now reach the disk.
  virtual Outcome SyncFolder(const Folder& folder) = 0;

  // What Move would refuse without asking the file system: a name the
  // system cannot take (too long, a character it cannot hold).  A new name
  // the program made is refused too where the system's programs could not
  // open it by an ordinary path, though Move gives it (Windows' "NUL.avi",
  // "x."): kDeviceName, kFinalPeriodOrSpace.  The program never makes such
  // a name, but an entry may get back the one it had (made false).
  virtual Outcome CheckNames(const Folder& folder, std::string_view old_name,
                             std::string_view new_name, bool made) = 0;
  // What name denotes in the folder ("." the folder itself).
  virtual EntryStat Stat(const Folder& folder, std::string_view name) = 0;
  // What the system tells of the folder.
  virtual FolderFacts DescribeFolder(const Folder& folder) = 0;
  // The form in which the folder compares names: two names with one form
  // are one name there (as on a file system that ignores case).
  virtual std::string NameKey(const Folder& folder, std::string_view name) = 0;
};

}  // namespace platform
