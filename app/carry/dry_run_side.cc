#include "app/carry/dry_run_side.h"

#include <algorithm>

namespace app {
namespace {

// The volume of the identities given to folders that would be made: no
// disk's number, so that they are never taken for an entry's.
constexpr std::uint64_t kMadeVolume = ~std::uint64_t{0};

}  // namespace

const platform::EntryId* DryRunSide::Made(
    const platform::Folder& folder) const {
  if (made_.empty()) return nullptr;
  const auto at = made_.find(folder.path);
  return at == made_.end() ? nullptr : &at->second;
}

// The real side is never handed a folder that would be made: it is asked
// of its path alone, where it finds nothing.  (Each answer is used at once,
// by one call of the real side.)
const platform::Folder& DryRunSide::Real(const platform::Folder& folder) const {
  if (!Made(folder)) return folder;
  path_only_.path = folder.path;
  return path_only_;
}

// Names are compared as the folder compares them: on a file system that
// ignores case, "X Y.txt" taken is "x y.txt" taken.
std::string DryRunSide::Key(const platform::Folder& folder,
                                  std::string_view name) const {
  std::string key(folder.path);
  key.push_back('\0');  // no name holds one: the key is never ambiguous
  key.append(real_.NameKey(Real(folder), name));
  return key;
}

platform::Listing DryRunSide::WithoutFreed(
    platform::Listing listing) const {
  std::erase_if(listing.entries, [&](const platform::Entry& entry) {
    if (entry.id.known) return Moved(entry.id);
    return freed_.count(Key(listing.folder, entry.name)) > 0;
  });
  return listing;
}

platform::Listing DryRunSide::ListFolder(
    std::string_view path, std::optional<std::string_view> name) {
  const auto made = made_.find(std::string(path));
  if (made == made_.end()) return WithoutFreed(real_.ListFolder(path, name));
  // A handle of the dry run's own: the folder is there for the steps after.
  platform::Listing listing;
  listing.folder = {made->first, std::make_shared<platform::FolderHandle>(),
                    made->second};
  if (name) {
    const platform::EntryStat entry = Stat(listing.folder, *name);
    if (entry.exists)
      listing.entries.push_back({std::string(*name), platform::EntryKind::kFile,
                                 false, false, entry.id});
  }
  return listing;
}

platform::Listing DryRunSide::ListBelow(const platform::Folder& parent,
                                              const platform::Entry& folder) {
  return WithoutFreed(real_.ListBelow(Real(parent), folder));
}

void DryRunSide::LetGoFolder(platform::Folder& folder) {
  if (!Made(folder)) real_.LetGoFolder(folder);
}

platform::Outcome DryRunSide::ReopenFolder(platform::Folder& folder) {
  return Made(folder) ? platform::Outcome{} : real_.ReopenFolder(folder);
}

platform::Outcome DryRunSide::Move(const platform::Folder& from,
                                         std::string_view old_name,
                                         const platform::Folder& to,
                                         std::string_view new_name) {
  platform::EntryId id;
  const platform::Outcome taken = TakeName(from, old_name, to, new_name, id);
  if (!taken.ok()) return taken;
  const std::string old_key = Key(from, old_name);
  taken_.erase(old_key);
  freed_.insert(old_key);
  if (auto stamp = stamps_.extract(old_key))
    stamps_[Key(to, new_name)] = stamp.mapped();
  if (id.known) moved_.insert({id.volume, id.index});
  return {};
}

// The new name taken by the entry old_name, as the real side would take
// it: refused names, an entry gone since it was listed (or since a run that
// undo reverses), a name taken.
platform::Outcome DryRunSide::TakeName(const platform::Folder& from,
                                       std::string_view old_name,
                                       const platform::Folder& to,
                                       std::string_view new_name,
                                       platform::EntryId& id) {
  const platform::Outcome refused = CheckNames(to, old_name, new_name, false);
  if (!refused.ok()) return refused;
  const platform::EntryStat entry = Stat(from, old_name);
  if (!entry.exists) return {platform::Failure::kNotFound, 0};
  if (Stat(to, new_name).exists) return {platform::Failure::kExists, 0};
  id = entry.id;
  const std::string new_key = Key(to, new_name);
  freed_.erase(new_key);
  taken_[new_key] = id;
  return {};
}

platform::Outcome DryRunSide::Link(const platform::Folder& from,
                                   std::string_view old_name,
                                   const platform::Folder& to,
                                   std::string_view new_name) {
  platform::EntryId id;
  return TakeName(from, old_name, to, new_name, id);
}

platform::Outcome DryRunSide::CopyInto(const platform::Folder& from,
                                             std::string_view name,
                                             const platform::Folder& to,
                                             std::string_view copy,
                                             platform::Copied& copied,
                                             const std::function<void(std::uint64_t)>&) {
  copied = {};
  if (!Stat(from, name).exists) return {platform::Failure::kNotFound, 0};
  if (Stat(to, copy).exists) return {platform::Failure::kExists, 0};
  const platform::EntryId stamp = real_.Stat(Real(from), name).stamp;
  copied.bytes = stamp.volume;
  const std::string key = Key(to, copy);
  freed_.erase(key);
  taken_[key] = {};
  stamps_[key] = stamp;  // the copy keeps the file's size and time
  return {};
}

platform::Outcome DryRunSide::SetFacts(const platform::Folder&,
                                       std::string_view,
                                       const platform::EntryFacts&) {
  return {};
}

platform::Outcome DryRunSide::Remove(const platform::Folder& folder,
                                           std::string_view name,
                                           platform::EntryKind kind) {
  const platform::EntryStat entry = Stat(folder, name);
  if (!entry.exists) return {platform::Failure::kNotFound, 0};
  if (kind == platform::EntryKind::kDirectory) return {};
  const std::string key = Key(folder, name);
  taken_.erase(key);
  freed_.insert(key);
  if (entry.id.known) moved_.insert({entry.id.volume, entry.id.index});
  return {};
}

platform::Outcome DryRunSide::SyncFolder(const platform::Folder&) {
  return {};
}

platform::Outcome DryRunSide::MakeFolder(const platform::Folder& parent,
                                               std::string_view name,
                                               std::uint32_t,
                                               platform::Folder& made) {
  if (Stat(parent, name).exists) return {platform::Failure::kExists, 0};
  taken_[Key(parent, name)] = {};
  made = platform::Folder{};
  made.path = parent.path + std::string(name) +
              (parent.path.find('\\') != std::string::npos ? '\\' : '/');
  made_[made.path] = {kMadeVolume, made_.size() + 1, true, false};
  return {};
}

platform::Outcome DryRunSide::CheckNames(const platform::Folder& folder,
                                               std::string_view old_name,
                                               std::string_view new_name,
                                               bool made) {
  return real_.CheckNames(Real(folder), old_name, new_name, made);
}

bool DryRunSide::Moved(const platform::EntryId& id) const {
  return id.known && moved_.count({id.volume, id.index}) > 0;
}

// A name the run took is there; else the system says, unless the entry it
// finds is one the run moved away.  Where the system tells entries apart, a
// freed name is judged by the entry: on a file system that ignores case,
// "CASE_PAIR.txt" is still there after "case_pair.txt" was renamed, as the
// real run finds it.  The entry that has a name the run took is the one the
// real system knows under its old name; a name's stamp is the one the real
// system has for that name.
platform::EntryStat DryRunSide::Stat(const platform::Folder& folder,
                                           std::string_view name) {
  if (const platform::EntryId* made = Made(folder); made && name == ".")
    return {true, *made, {}, {}, 0};
  const std::string key = Key(folder, name);
  const platform::EntryStat real = real_.Stat(Real(folder), name);
  platform::EntryStat found;
  if (auto at = taken_.find(key); at != taken_.end()) {
    found.exists = true;
    found.id = at->second;
  } else if (real.exists &&
             (real.id.known ? !Moved(real.id) : freed_.count(key) == 0)) {
    found.exists = true;
    found.id = real.id;
    found.facts = real.facts;
    found.links = real.links;
  }
  if (found.exists) found.stamp = real.stamp;
  if (auto copy = stamps_.find(key); found.exists && copy != stamps_.end())
    found.stamp = copy->second;
  return found;
}

platform::FolderFacts DryRunSide::DescribeFolder(
    const platform::Folder& folder) {
  return real_.DescribeFolder(Real(folder));
}

std::string DryRunSide::NameKey(const platform::Folder& folder,
                                      std::string_view name) {
  return real_.NameKey(Real(folder), name);
}

}  // namespace app
