#include "app/dry_run_file_system.h"

#include <algorithm>

namespace app {

// Names are compared as the folder compares them: on a file system that
// ignores case, "X Y.txt" taken is "x y.txt" taken.
std::string DryRunFileSystem::Key(const platform::Folder& folder,
                                  std::string_view name) const {
  std::string key(folder.path);
  key.push_back('\0');  // no name holds one: the key is never ambiguous
  key.append(real_.NameKey(folder, name));
  return key;
}

platform::Listing DryRunFileSystem::WithoutFreed(
    platform::Listing listing) const {
  std::erase_if(listing.entries, [&](const platform::Entry& entry) {
    if (entry.id.known) return Moved(entry.id);
    return freed_.count(Key(listing.folder, entry.name)) > 0;
  });
  return listing;
}

platform::Listing DryRunFileSystem::ListFolder(std::string_view path) {
  return WithoutFreed(real_.ListFolder(path));
}

platform::Listing DryRunFileSystem::LookUp(std::string_view path,
                                           std::string_view name) {
  return WithoutFreed(real_.LookUp(path, name));
}

platform::Listing DryRunFileSystem::ListBelow(const platform::Folder& parent,
                                              const platform::Entry& folder) {
  return WithoutFreed(real_.ListBelow(parent, folder));
}

void DryRunFileSystem::LetGoFolder(platform::Folder& folder) {
  real_.LetGoFolder(folder);
}

platform::Outcome DryRunFileSystem::ReopenFolder(platform::Folder& folder) {
  return real_.ReopenFolder(folder);
}

platform::Outcome DryRunFileSystem::Rename(const platform::Folder& folder,
                                           std::string_view old_name,
                                           std::string_view new_name) {
  const platform::Outcome refused = CheckNames(folder, old_name, new_name);
  if (!refused.ok()) return refused;
  // An entry gone since it was listed (or since a run that undo reverses).
  if (!Exists(folder, old_name)) return {platform::Failure::kNotFound, 0};
  if (Exists(folder, new_name))
    return {platform::Failure::kExists, 0};
  const platform::EntryId id = Identify(folder, old_name);
  const std::string old_key = Key(folder, old_name);
  taken_.erase(old_key);
  freed_.insert(old_key);
  const std::string new_key = Key(folder, new_name);
  freed_.erase(new_key);
  taken_[new_key] = id;
  if (id.known) moved_.insert({id.volume, id.index});
  return {};
}

platform::Outcome DryRunFileSystem::Move(const platform::Folder& from,
                                         std::string_view old_name,
                                         const platform::Folder& to,
                                         std::string_view new_name) {
  const platform::Outcome refused = CheckNames(to, old_name, new_name);
  if (!refused.ok()) return refused;
  if (!Exists(from, old_name)) return {platform::Failure::kNotFound, 0};
  if (Exists(to, new_name)) return {platform::Failure::kExists, 0};
  const platform::EntryId id = Identify(from, old_name);
  const std::string old_key = Key(from, old_name);
  taken_.erase(old_key);
  freed_.insert(old_key);
  const std::string new_key = Key(to, new_name);
  freed_.erase(new_key);
  taken_[new_key] = id;
  if (id.known) moved_.insert({id.volume, id.index});
  return {};
}

platform::Outcome DryRunFileSystem::CopyInto(const platform::Folder& from,
                                             std::string_view name,
                                             const platform::Folder& to,
                                             std::string_view copy,
                                             std::uint64_t& bytes,
                                             const std::function<void(std::uint64_t)>&) {
  bytes = 0;
  if (!Exists(from, name)) return {platform::Failure::kNotFound, 0};
  if (Exists(to, copy)) return {platform::Failure::kExists, 0};
  bytes = real_.StampOf(from, name).volume;
  const std::string key = Key(to, copy);
  freed_.erase(key);
  taken_[key] = {};
  return {};
}

platform::Outcome DryRunFileSystem::RemoveFile(const platform::Folder& folder,
                                               std::string_view name) {
  if (!Exists(folder, name)) return {platform::Failure::kNotFound, 0};
  const platform::EntryId id = Identify(folder, name);
  const std::string key = Key(folder, name);
  taken_.erase(key);
  freed_.insert(key);
  if (id.known) moved_.insert({id.volume, id.index});
  return {};
}

platform::Outcome DryRunFileSystem::SyncFolder(const platform::Folder&) {
  return {};
}

platform::Outcome DryRunFileSystem::MakeFolder(const platform::Folder& parent,
                                               std::string_view name,
                                               platform::Folder& made) {
  if (Exists(parent, name)) return {platform::Failure::kExists, 0};
  taken_[Key(parent, name)] = {};
  made = platform::Folder{};
  made.path = parent.path + std::string(name) + "/";
  return {};
}

platform::Outcome DryRunFileSystem::RemoveFolder(const platform::Folder& parent,
                                                 std::string_view name) {
  return Exists(parent, name) ? platform::Outcome{}
                              : platform::Outcome{platform::Failure::kNotFound, 0};
}

platform::Outcome DryRunFileSystem::CheckNames(const platform::Folder& folder,
                                               std::string_view old_name,
                                               std::string_view new_name) {
  return real_.CheckNames(folder, old_name, new_name);
}

platform::Failure DryRunFileSystem::ReservedName(const platform::Folder& folder,
                                                 std::string_view name) {
  return real_.ReservedName(folder, name);
}

bool DryRunFileSystem::Moved(const platform::EntryId& id) const {
  return id.known && moved_.count({id.volume, id.index}) > 0;
}

// A name the run took is there; else the system says, unless the entry it
// finds is one the run moved away.  Where the system tells entries apart, a
// freed name is judged by the entry: on a file system that ignores case,
// "CASE_PAIR.txt" is still there after "case_pair.txt" was renamed, as the
// real run finds it.
bool DryRunFileSystem::Exists(const platform::Folder& folder,
                              std::string_view name) {
  const std::string key = Key(folder, name);
  if (taken_.count(key)) return true;
  if (!real_.Exists(folder, name)) return false;
  const platform::EntryId id = real_.Identify(folder, name);
  if (id.known) return !Moved(id);
  return freed_.count(key) == 0;
}

std::string DryRunFileSystem::NameKey(const platform::Folder& folder,
                                      std::string_view name) {
  return real_.NameKey(folder, name);
}

platform::EntryId DryRunFileSystem::Identify(const platform::Folder& folder,
                                             std::string_view name) {
  const std::string key = Key(folder, name);
  if (auto at = taken_.find(key); at != taken_.end()) return at->second;
  const platform::EntryId id = real_.Identify(folder, name);
  if (id.known) return Moved(id) ? platform::EntryId{} : id;
  return freed_.count(key) ? platform::EntryId{} : id;
}

std::string DryRunFileSystem::VolumeType(const platform::Folder& folder) {
  return real_.VolumeType(folder);
}

// Where a rename so far took the name, the entry that has it now is the
// one the real system knows under the old name.
platform::EntryId DryRunFileSystem::StampOf(const platform::Folder& folder,
                                            std::string_view name) {
  if (!Exists(folder, name)) return {};
  return real_.StampOf(folder, name);
}

std::string DryRunFileSystem::AbsolutePath(const platform::Folder& folder) {
  return real_.AbsolutePath(folder);
}

}  // namespace app
