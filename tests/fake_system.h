// A file system and a console made of plain data, for the program's tests.
// Every folder is a list of entries; a listing of one is a copy.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/user_files.h"

namespace fake {

inline platform::Entry MakeEntry(std::string name, platform::EntryKind kind,
                                 bool hidden = false, bool link = false) {
  platform::Entry entry;
  entry.name = std::move(name);
  entry.kind = kind;
  entry.hidden = hidden;
  entry.link = link;
  return entry;
}

inline std::vector<platform::Entry> Files(
    std::initializer_list<const char*> names) {
  std::vector<platform::Entry> entries;
  for (const char* name : names)
    entries.push_back(MakeEntry(name, platform::EntryKind::kFile));
  return entries;
}

// Every side in one, so that a test hands the same fake to each.
struct FileSystem : platform::FileSystem, platform::UserFiles,
                    platform::Interrupts {
  std::map<std::string, std::vector<platform::Entry>> folders;  // "" or "sub/"
  std::set<std::string> ignore_case_folders;  // file systems that ignore case
  // Of those, the folders whose file system numbers each spelling of a name
  // apart (exFAT through FUSE): identities cannot tell "a" and "A" are one.
  std::set<std::string> ids_by_spelling;
  std::map<std::string, platform::Failure> unreadable;  // folder -> why
  std::map<std::string, platform::Failure> fail;        // old name -> failure
  std::vector<std::string> renames;                     // "dir|old>new"
  std::map<std::string, std::string> files;             // the user's files
  int holds = 0;                                        // interrupts held now
  std::size_t piece = 1 << 17;  // the user's files are read in such pieces
  std::set<std::string> no_absolute;  // folders whose path cannot be told
  std::map<std::string, platform::EntryId> folder_ids;  // where told
  std::map<std::string, std::string> volume_types;      // by folder
  // Sizes and times by "dir|name", handed out when first asked and kept by
  // renames.
  std::map<std::string, platform::EntryId> stamps;
  std::uint64_t last_id = 0;    // identities handed out
  // Journals whose lock another process holds, and those this one holds.
  std::set<std::string> locked, held;
  // Journals whose lock another process holds for that many more tries.
  std::map<std::string, int> busy;
  // Bytes left on the disk of the journals: a write past them is cut short
  // and fails.
  std::size_t space = static_cast<std::size_t>(-1);
  int syncs = 0;  // journals flushed to disk
  std::uint64_t cap = platform::kUserFileCap;  // the most a user file holds
  // Called once, ahead of the next append: another run's write, say.
  std::function<void()> before_append;
  // Called by ListBelow ahead of opening the folder: a swap, say.
  std::function<void(const std::string& path)> before_open;
  // Bytes of files, by "dir|name", where a test gives them: kept by renames
  // and moves, copied by CopyInto, and the size their stamps tell.
  std::map<std::string, std::string> contents;
  // Folders (as listed, "lib/...") on another disk than the rest: a move
  // between the two fails as kOtherVolume.
  std::string other_disk;
  bool makes_links = true;  // false: its file systems make no hard links
  // A kill: the step of that number (each change, and each journal write
  // and flush, counts one; a copy two, its first half being written) throws
  // Killed instead.  -1: none.
  struct Killed {};
  int kill_at = -1, steps = 0;
  void Step() {
    if (kill_at >= 0 && steps++ == kill_at) throw Killed{};
  }
  bool OtherDisk(const std::string& dir) const {
    return !other_disk.empty() && Local(dir).starts_with(other_disk);
  }
  // Moves what is kept by "dir|name" along with an entry.
  void Carry(const std::string& from, const std::string& to) {
    if (auto stamp = stamps.extract(from)) stamps[to] = stamp.mapped();
    if (auto bytes = contents.extract(from)) contents[to] = bytes.mapped();
    if (auto kept = facts.extract(from)) facts[to] = kept.mapped();
    if (auto names = attributes.extract(from)) attributes[to] = names.mapped();
    if (auto count = links.extract(from)) links[to] = count.mapped();
  }
  // Owners, modes and times by "dir|name" (a folder's by its parent's and
  // its name), where a test gives them or the side made the entry; folders
  // made are this process's, and a folder's time moves when an entry comes
  // or goes.
  std::map<std::string, platform::EntryFacts> facts;
  std::uint32_t process_owner = 0;  // root, as a service runs
  std::int64_t clock = 0;           // seconds, for times the side sets
  // Extended attributes and hard links by "dir|name", where given.
  std::map<std::string, std::set<std::string>> attributes;
  std::map<std::string, std::uint64_t> links;
  // Folders (as listed, "lib/...") on a volume that keeps no owners,
  // modes or attributes and cuts times to the second, as exFAT: its files
  // are this process's, 0777.
  std::string bare_volume;
  bool Bare(const std::string& dir) const {
    return !bare_volume.empty() && Local(dir).starts_with(bare_volume);
  }
  platform::EntryFacts AsHeld(const std::string& dir,
                              platform::EntryFacts f) const {
    if (!Bare(dir)) return f;
    constexpr std::int64_t kSecond = 1000000000;
    return {true, process_owner, 0, 0777, f.accessed / kSecond * kSecond,
            f.modified / kSecond * kSecond};
  }
  // "dl/Show/" as its parent's entry: "dl/|Show"; "" for the top.
  static std::string FolderKey(const std::string& local) {
    if (local.empty()) return "";
    const std::size_t slash = local.rfind('/', local.size() - 2);
    const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
    return local.substr(0, cut) + "|" +
           local.substr(cut, local.size() - 1 - cut);
  }
  void Touch(const std::string& dir) {
    const auto folder = facts.find(FolderKey(Local(dir)));
    if (folder != facts.end())
      folder->second.modified = ++clock * 1000000000;
  }
  // Folders ("lib/Movies/") that another process makes just ahead of this
  // one's making them.
  std::set<std::string> made_first;
  // Folders held open now, and the most held at once.
  int open_folders = 0, most_open = 0;
  struct Held final : platform::FolderHandle {
    FileSystem& fs;
    explicit Held(FileSystem& f) : fs(f) {
      fs.most_open = std::max(fs.most_open, ++fs.open_folders);
    }
    ~Held() override { --fs.open_folders; }
  };
  platform::EntryId FolderId(const std::string& path) const {
    const auto id = folder_ids.find(Local(path));
    return id == folder_ids.end() ? platform::EntryId{} : id->second;
  }

  static std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(std::tolower(c));
    return folded;
  }
  // A folder by its absolute path ("/abs/sub/") or as listed ("sub/").
  static std::string Local(const std::string& dir) {
    if (dir.starts_with("./")) return Local(dir.substr(2));
    return dir.starts_with("/abs/") ? dir.substr(5) : dir;
  }
  platform::Entry* Find(const std::string& listed, std::string_view name) {
    const std::string dir = Local(listed);
    const auto folder = folders.find(dir);
    if (folder == folders.end()) return nullptr;
    // The name as it is first, as a system that ignores case finds it
    // where two entries differ only in case.
    for (platform::Entry& e : folder->second) {
      if (e.name == name) return &e;
    }
    if (ignore_case_folders.count(dir) == 0) return nullptr;
    for (platform::Entry& e : folder->second) {
      if (Folded(e.name) == Folded(name)) return &e;
    }
    return nullptr;
  }

  platform::Listing ListFolder(std::string_view path,
                               std::optional<std::string_view> name) override {
    platform::Listing listing;
    listing.folder.path = std::string(path);
    auto failure = unreadable.find(listing.folder.path);
    if (failure != unreadable.end()) {
      listing.failure = {failure->second, 0};
      return listing;
    }
    const auto found = folders.find(Local(listing.folder.path));
    if (found == folders.end()) return listing;  // none: not found
    listing.entries = found->second;
    if (name)
      std::erase_if(listing.entries,
                    [&](const platform::Entry& e) { return e.name != *name; });
    listing.folder.handle = std::make_shared<Held>(*this);
    listing.folder.id = FolderId(listing.folder.path);
    return listing;
  }
  platform::Listing ListBelow(const platform::Folder& parent,
                              const platform::Entry& folder) override {
    const std::string path = parent.path + folder.name + "/";
    if (before_open) before_open(path);
    // As the real sides do: never through a link, never another folder.
    const platform::Entry* now = Find(parent.path, folder.name);
    if (!now || now->link || now->kind != platform::EntryKind::kDirectory ||
        (folder.id.known && !(now->id == folder.id))) {
      platform::Listing gone;
      gone.folder.path = path;
      gone.failure = {platform::Failure::kNotFound, 0};
      return gone;
    }
    return ListFolder(path, platform::kEveryEntry);
  }
  // As the real sides: only a folder of known identity is let go, and it
  // is opened again only while its path leads to it.
  void LetGoFolder(platform::Folder& folder) override {
    if (folder.id.known) folder.handle.reset();
  }
  platform::Outcome ReopenFolder(platform::Folder& folder) override {
    if (folder.handle || !folder.id.known) return {};
    if (!folders.count(Local(folder.path)) ||
        !(FolderId(folder.path) == folder.id))
      return {platform::Failure::kNotFound, 0};
    folder.handle = std::make_shared<Held>(*this);
    return {};
  }
  platform::Outcome CheckNames(const platform::Folder&, std::string_view,
                               std::string_view, bool) override {
    return {};
  }
  // A rename within one folder keeps the entry's place in it.
  platform::Outcome Move(const platform::Folder& from, std::string_view old_name,
                         const platform::Folder& to,
                         std::string_view new_name) override {
    if (Local(from.path) == Local(to.path))
      return RenameWithin(from, old_name, new_name);
    Step();
    platform::Entry* entry = Find(from.path, old_name);
    if (!entry || entry->name != old_name)
      return {platform::Failure::kNotFound, 0};
    if (Find(to.path, new_name)) return {platform::Failure::kExists, 0};
    if (OtherDisk(from.path) != OtherDisk(to.path))
      return {platform::Failure::kOtherVolume, 18};
    platform::Entry moved = *entry;
    moved.name = std::string(new_name);
    std::erase_if(folders[Local(from.path)], [&](const platform::Entry& e) {
      return e.name == old_name;
    });
    folders[Local(to.path)].push_back(moved);
    Carry(Local(from.path) + "|" + std::string(old_name),
          Local(to.path) + "|" + std::string(new_name));
    Touch(from.path);
    Touch(to.path);
    return {};
  }
  // A second name of the file: one entry, one identity, one content.
  platform::Outcome Link(const platform::Folder& from, std::string_view old_name,
                         const platform::Folder& to,
                         std::string_view new_name) override {
    Step();
    const platform::Entry* entry = Find(from.path, old_name);
    if (!entry || entry->name != old_name)
      return {platform::Failure::kNotFound, 0};
    if (entry->kind != platform::EntryKind::kFile || entry->link)
      return {platform::Failure::kNotAFile, 0};
    if (Find(to.path, new_name)) return {platform::Failure::kExists, 0};
    if (OtherDisk(from.path) != OtherDisk(to.path))
      return {platform::Failure::kOtherVolume, 18};
    if (!makes_links) return {platform::Failure::kCannotLink, 1};
    Stat(from, old_name);  // its identity and stamp, shared by both names
    platform::Entry linked = *Find(from.path, old_name);
    linked.name = std::string(new_name);
    folders[Local(to.path)].push_back(linked);
    const std::string key = Local(from.path) + "|" + std::string(old_name);
    const std::string new_key = Local(to.path) + "|" + std::string(new_name);
    if (auto stamp = stamps.find(key); stamp != stamps.end())
      stamps[new_key] = stamp->second;
    if (auto bytes = contents.find(key); bytes != contents.end())
      contents[new_key] = bytes->second;
    return {};
  }
  platform::Outcome RenameWithin(const platform::Folder& folder,
                                 std::string_view from, std::string_view to) {
    Step();
    auto failure = fail.find(std::string(from));
    if (failure != fail.end()) return {failure->second, 0};
    platform::Entry* entry = Find(folder.path, from);
    if (!entry || entry->name != from) return {platform::Failure::kNotFound, 0};
    if (Find(folder.path, to)) return {platform::Failure::kExists, 0};
    Carry(Local(folder.path) + "|" + std::string(from),
          Local(folder.path) + "|" + std::string(to));
    entry->name = std::string(to);
    Touch(folder.path);
    renames.push_back(Local(folder.path) + "|" + std::string(from) + ">" +
                      std::string(to));
    return {};
  }
  platform::Outcome MakeFolder(const platform::Folder& parent,
                               std::string_view name, std::uint32_t mode,
                               platform::Folder& made) override {
    Step();
    if (Find(parent.path, name)) return {platform::Failure::kExists, 0};
    const std::string path = Local(parent.path) + std::string(name) + "/";
    folders[Local(parent.path)].push_back(
        MakeEntry(std::string(name), platform::EntryKind::kDirectory));
    folders[path];
    // Another process made it first: there, and not this one's.
    if (made_first.erase(path)) return {platform::Failure::kExists, 0};
    folder_ids[path] = {2, ++last_id, true};
    facts[FolderKey(path)] = AsHeld(
        parent.path, {true, process_owner, 0, mode ? mode : 0755,
                      ++clock * 1000000000, clock * 1000000000});
    Touch(parent.path);
    made.path = path;
    made.handle = std::make_shared<Held>(*this);
    made.id = folder_ids[path];
    return {};
  }
  platform::Outcome CopyInto(const platform::Folder& from, std::string_view name,
                             const platform::Folder& to, std::string_view copy,
                             platform::Copied& copied,
                             const std::function<void(std::uint64_t)>& progress)
      override {
    copied = {};
    Step();
    const platform::Entry* entry = Find(from.path, name);
    if (!entry) return {platform::Failure::kNotFound, 0};
    if (entry->link || entry->kind != platform::EntryKind::kFile)
      return {platform::Failure::kNotAFile, 0};
    if (Find(to.path, copy)) return {platform::Failure::kExists, 0};
    const std::string source = Local(from.path) + "|" + std::string(name);
    const std::string target = Local(to.path) + "|" + std::string(copy);
    const std::string bytes_there = contents[source];
    const platform::EntryId stamp = Stat(from, name).stamp;
    folders[Local(to.path)].push_back(
        MakeEntry(std::string(copy), platform::EntryKind::kFile));
    contents[target] = bytes_there.substr(0, bytes_there.size() / 2);
    if (progress) progress(bytes_there.size() / 2);
    Step();  // killed with half of it written
    contents[target] = bytes_there;
    stamps[target] = stamp;  // its time kept
    copied.bytes = bytes_there.size();
    // Its owner, mode (never set-user-id) and times as the target holds
    // them, and its attributes where it holds any.
    if (const auto kept = facts.find(source); kept != facts.end()) {
      platform::EntryFacts copy_facts = kept->second;
      copy_facts.mode &= 0777;
      facts[target] = AsHeld(to.path, copy_facts);
      copied.owner_lost = facts[target].owner != kept->second.owner;
      copied.group_lost = facts[target].group != kept->second.group;
    }
    if (const auto names = attributes.find(source); names != attributes.end()) {
      if (Bare(to.path)) {
        copied.attributes_lost.assign(names->second.begin(),
                                      names->second.end());
      } else {
        attributes[target] = names->second;
      }
    }
    Touch(to.path);
    return {};
  }
  platform::Outcome ReadStart(const platform::Folder& folder,
                              std::string_view name, std::size_t most,
                              std::string& bytes) override {
    bytes.clear();
    const platform::Entry* entry = Find(folder.path, name);
    if (!entry) return {platform::Failure::kNotFound, 0};
    if (entry->link || entry->kind != platform::EntryKind::kFile)
      return {platform::Failure::kNotAFile, 0};
    bytes = contents[Local(folder.path) + "|" + entry->name].substr(0, most);
    return {};
  }
  platform::Outcome Remove(const platform::Folder& folder,
                           std::string_view name,
                           platform::EntryKind kind) override {
    Step();
    if (auto failure = fail.find(std::string(name)); failure != fail.end())
      return {failure->second, 0};
    if (kind == platform::EntryKind::kDirectory) {
      const platform::Entry* entry = Find(folder.path, name);
      if (!entry) return {platform::Failure::kNotFound, 0};
      const std::string path = Local(folder.path) + std::string(name) + "/";
      if (!folders[path].empty()) return {platform::Failure::kNotEmpty, 0};
      folders.erase(path);
      folder_ids.erase(path);
      facts.erase(FolderKey(path));
    } else {
      const platform::Entry* entry = Find(folder.path, name);
      if (!entry || entry->name != name)
        return {platform::Failure::kNotFound, 0};
      if (entry->kind == platform::EntryKind::kDirectory)
        return {platform::Failure::kOther, 21};
      const std::string key = Local(folder.path) + "|" + std::string(name);
      stamps.erase(key);
      contents.erase(key);
      facts.erase(key);
      attributes.erase(key);
      if (links.count(key) && --links[key] == 0) links.erase(key);
    }
    Touch(folder.path);
    std::erase_if(folders[Local(folder.path)], [&](const platform::Entry& e) {
      return e.name == name;
    });
    return {};
  }
  platform::Outcome SyncFolder(const platform::Folder&) override {
    Step();
    return {};
  }
  // Identities and stamps are handed out when first asked, and kept.
  platform::EntryStat Stat(const platform::Folder& folder,
                           std::string_view name) override {
    if (name == ".") {
      const auto held = facts.find(FolderKey(Local(folder.path)));
      return {folders.count(Local(folder.path)) > 0, FolderId(folder.path), {},
              held == facts.end() ? platform::EntryFacts{} : held->second, 1};
    }
    platform::Entry* entry = Find(folder.path, name);
    if (!entry) return {};
    if (!entry->id.known) entry->id = {1, ++last_id, true};
    platform::EntryId id = entry->id;
    if (entry->name != name && ids_by_spelling.count(Local(folder.path)))
      id.index += 1u << 20;
    const std::string key = Local(folder.path) + "|" + entry->name;
    platform::EntryId& stamp = stamps[key];
    const auto bytes = contents.find(key);
    if (!stamp.known)
      stamp = bytes == contents.end()
                  ? platform::EntryId{++last_id, 42, true, true}
                  : platform::EntryId{bytes->second.size(), ++last_id, true, true};
    const auto held = facts.find(key);
    const auto count = links.find(key);
    return {true, id, stamp,
            held == facts.end() ? platform::EntryFacts{} : held->second,
            count == links.end() ? 1 : count->second};
  }
  platform::Outcome SetFacts(const platform::Folder& folder,
                             std::string_view name,
                             const platform::EntryFacts& given) override {
    if (!given.known) return {};
    Step();
    if (name == ".") {
      facts[FolderKey(Local(folder.path))] = AsHeld(folder.path, given);
      return {};
    }
    const platform::Entry* entry = Find(folder.path, name);
    if (!entry) return {platform::Failure::kNotFound, 0};
    facts[Local(folder.path) + "|" + entry->name] = AsHeld(folder.path, given);
    return {};
  }
  std::string NameKey(const platform::Folder& folder,
                      std::string_view name) override {
    return ignore_case_folders.count(folder.path) ? Folded(name)
                                                  : std::string(name);
  }
  platform::FolderFacts DescribeFolder(
      const platform::Folder& folder) override {
    platform::FolderFacts facts;
    if (!no_absolute.count(folder.path))
      facts.absolute = "/abs/" + Local(folder.path);
    const auto type = volume_types.find(Local(folder.path));
    if (type != volume_types.end()) facts.volume_type = type->second;
    if (Bare(folder.path)) facts.volume_type = "exfat";
    return facts;
  }
  void Hold() override { ++holds; }
  void Release() override { --holds; }
  bool Waiting() override { return false; }
  std::string UserFilePath(platform::UserFile file) override {
    return file == platform::UserFile::kHistory ? "history"
           : file == platform::UserFile::kRuns  ? "runs/"
                                                : "terms";
  }
  platform::FileText ScanFile(
      std::string_view path,
      const std::function<void(std::string_view)>& each,
      std::uint64_t tail = 0) override {
    auto found = files.find(std::string(path));
    if (found == files.end()) return {};
    const std::string text = found->second;
    if (tail == 0 && text.size() > cap) return {true, false, true, ""};
    const std::size_t from =
        tail > 0 && text.size() > tail ? text.size() - tail : 0;
    for (std::size_t at = from; at < text.size(); at += piece)
      each(std::string_view(text).substr(at, piece));
    return {true, true, false, ""};
  }

  struct Journal final : platform::JournalFile {
    FileSystem& fs;
    std::string path;
    Journal(FileSystem& f, std::string p) : fs(f), path(std::move(p)) {
      fs.held.insert(path);
    }
    ~Journal() override { fs.held.erase(path); }
    bool Append(std::string_view text) override {
      fs.Step();
      if (fs.before_append) std::exchange(fs.before_append, nullptr)();
      if (!fs.files.count(path)) return false;  // removed meanwhile
      const std::size_t fits = std::min(text.size(), fs.space);
      fs.space -= fits;
      fs.files[path].append(text.substr(0, fits));
      return fits == text.size();
    }
    bool Sync() override {
      fs.Step();
      ++fs.syncs;
      return fs.files.count(path) > 0;  // removed meanwhile: for nobody
    }
  };
  platform::OpenedJournal Opened(std::string_view path) {
    const std::string name(path);
    if (locked.count(name) || held.count(name) ||
        (busy.count(name) && busy[name]-- > 0))
      return {nullptr, platform::JournalState::kLocked};
    return {std::make_unique<Journal>(*this, name),
            platform::JournalState::kOpen};
  }
  platform::OpenedJournal CreateJournal(std::string_view path) override {
    if (files.count(std::string(path)))
      return {nullptr, platform::JournalState::kExists};
    files[std::string(path)];
    return Opened(path);
  }
  platform::OpenedJournal OpenJournal(std::string_view path) override {
    if (!files.count(std::string(path))) return {};
    return Opened(path);
  }
  bool RemoveJournal(std::string_view path) override {
    const std::string name(path);
    if (locked.count(name) || held.count(name)) return false;
    return files.erase(name) > 0;
  }
  std::uint64_t SizeCap() override { return cap; }
  bool ListStored(std::string_view folder,
                  std::vector<platform::StoredFile>& stored) override {
    stored.clear();
    for (const auto& [name, text] : files) {
      if (name.starts_with(folder) &&
          name.find('/', folder.size()) == std::string::npos)
        stored.push_back({name.substr(folder.size()), text.size()});
    }
    return true;
  }
};

struct Console final : platform::Console {
  std::string out;
  int width = 80;
  std::deque<platform::Answer> answers;
  int asked = 0;

  void Print(std::string_view text) override { out += text; }
  void PrintError(std::string_view line) override {
    out += "stderr:" + std::string(line) + "\n";
  }
  bool terminal = false;
  bool IsTerminal() override { return terminal; }
  int CursorColumn() override {
    std::size_t line_start = out.rfind('\n');
    line_start = line_start == std::string::npos ? 0 : line_start + 1;
    return static_cast<int>(out.size() - line_start) + 1;
  }
  int ScreenWidth() override { return width; }
  int DisplayColumns(std::string_view text) override {
    return static_cast<int>(text.size());
  }
  std::string terminal_out;  // what a separate terminal was shown
  platform::Answer Ask(std::string_view prompt,
                      std::string_view shown = {}) override {
    terminal_out += shown;
    out += prompt;
    ++asked;
    if (answers.empty()) return platform::Answer::kNo;
    const platform::Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace fake
