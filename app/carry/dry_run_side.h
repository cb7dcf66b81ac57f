// The dry-run side of the loop that makes the steps of a run and of an
// undo (app/carry/carry_out.h): it wraps the real file system, reads through it
// and changes nothing, yet it answers as the real one would after the steps
// made so far (renames, moves, folders made and removed), keeping the names
// they took and freed, so that a dry run or a dry undo shows the failures
// the real one would meet.  The user files
// have no dry-run side: a dry run keeps no journal, and a dry undo reads the
// history and writes its marks nowhere (app/undo/undo_run.h).
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace app {

class DryRunSide final : public platform::FileSystem {
 public:
  explicit DryRunSide(platform::FileSystem& real) : real_(real) {}

  // Listings leave out the entries that a rename so far took away; a
  // folder that would be made is listed by the name asked of it.
  platform::Listing ListFolder(std::string_view path,
                               std::optional<std::string_view> name) override;
  platform::Listing ListBelow(const platform::Folder& parent,
                              const platform::Entry& folder) override;
  void LetGoFolder(platform::Folder& folder) override;
  platform::Outcome ReopenFolder(platform::Folder& folder) override;
  // The outcome the real move would have, remembered for the next calls.
  platform::Outcome Move(const platform::Folder& from, std::string_view old_name,
                         const platform::Folder& to,
                         std::string_view new_name) override;
  // A link that would be made: the new name taken, the old one kept.
  platform::Outcome Link(const platform::Folder& from, std::string_view old_name,
                         const platform::Folder& to,
                         std::string_view new_name) override;
  // A folder that would be made: it holds what would be moved into it, and
  // a listing of its path finds it, with an identity of the dry run's own.
  platform::Outcome MakeFolder(const platform::Folder& parent,
                               std::string_view name, std::uint32_t mode,
                               platform::Folder& made) override;
  // A copy that would be made, of the size the file has now.
  platform::Outcome CopyInto(const platform::Folder& from,
                             std::string_view name, const platform::Folder& to,
                             std::string_view copy, platform::Copied& copied,
                             const std::function<void(std::uint64_t)>& progress)
      override;
  // What the real file holds; a file the dry run would copy or move is read
  // where it is.
  platform::Outcome ReadStart(const platform::Folder& folder,
                              std::string_view name, std::size_t most,
                              std::string& bytes) override {
    return real_.ReadStart(Real(folder), name, most, bytes);
  }
  // Changes nothing.
  platform::Outcome SetFacts(const platform::Folder& folder,
                             std::string_view name,
                             const platform::EntryFacts& facts) override;
  // A folder that would be removed stays listed: the run removes only the
  // folders it emptied.
  platform::Outcome Remove(const platform::Folder& folder,
                           std::string_view name,
                           platform::EntryKind kind) override;
  platform::Outcome SyncFolder(const platform::Folder& folder) override;
  platform::Outcome CheckNames(const platform::Folder& folder,
                               std::string_view old_name,
                               std::string_view new_name, bool made) override;
  platform::EntryStat Stat(const platform::Folder& folder,
                           std::string_view name) override;
  platform::FolderFacts DescribeFolder(const platform::Folder& folder) override;
  std::string NameKey(const platform::Folder& folder,
                      std::string_view name) override;

 private:
  platform::Outcome TakeName(const platform::Folder& from,
                             std::string_view old_name,
                             const platform::Folder& to,
                             std::string_view new_name, platform::EntryId& id);
  platform::Listing WithoutFreed(platform::Listing listing) const;
  bool Moved(const platform::EntryId& id) const;
  std::string Key(const platform::Folder& folder, std::string_view name) const;
  const platform::Folder& Real(const platform::Folder& folder) const;
  const platform::EntryId* Made(const platform::Folder& folder) const;

  platform::FileSystem& real_;
  // Keys of folder and name: the names renames took (to the identity of the
  // entry that has it now), and the names they freed.
  std::map<std::string, platform::EntryId> taken_;
  // The size and time of a copy that would be made, by its key.
  std::map<std::string, platform::EntryId> stamps_;
  std::set<std::string> freed_;
  // Entries that have left the name the real system knows them by.
  std::set<std::pair<std::uint64_t, std::uint64_t>> moved_;
  // Folders that would be made, by path, each with an identity of its own.
  std::map<std::string, platform::EntryId> made_;
  mutable platform::Folder path_only_;  // Real's answer for one of them
};

}  // namespace app
