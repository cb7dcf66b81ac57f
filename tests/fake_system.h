// A file system and a console made of plain data, for the program's tests.
// Every folder is a list of entries; a listing of one is a copy.
#pragma once

#include <cctype>
#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"

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

struct FileSystem : platform::FileSystem {
  std::map<std::string, std::vector<platform::Entry>> folders;  // "" or "sub/"
  std::set<std::string> ignore_case_folders;  // file systems that ignore case
  std::map<std::string, platform::Failure> unreadable;  // folder -> why
  std::map<std::string, platform::Failure> fail;        // old name -> failure
  std::vector<std::string> renames;                     // "dir|old>new"
  std::map<std::string, std::string> files;             // the user's files
  int holds = 0;                                        // interrupts held now
  std::size_t piece = 1 << 17;  // the user's files are read in such pieces
  std::set<std::string> no_absolute;  // folders whose path cannot be told
  std::uint64_t last_id = 0;    // identities handed out
  int edits = 0;                // files rewritten
  std::set<long> running;       // processes that run now
  // Called once, ahead of the next append: another run's write, say.
  std::function<void()> before_append;
  // Called by ListBelow ahead of opening the folder: a swap, say.
  std::function<void(const std::string& path)> before_open;

  static std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(std::tolower(c));
    return folded;
  }
  // A folder by its absolute path ("/abs/sub/") or as listed ("sub/").
  static std::string Local(const std::string& dir) {
    return dir.starts_with("/abs/") ? dir.substr(5) : dir;
  }
  platform::Entry* Find(const std::string& listed, std::string_view name) {
    const std::string dir = Local(listed);
    const bool fold = ignore_case_folders.count(dir) > 0;
    for (platform::Entry& e : folders[dir]) {
      if (fold ? Folded(e.name) == Folded(name) : e.name == name) return &e;
    }
    return nullptr;
  }

  platform::Listing ListFolder(std::string_view path) override {
    platform::Listing listing;
    listing.folder.path = std::string(path);
    auto failure = unreadable.find(listing.folder.path);
    if (failure != unreadable.end()) {
      listing.failure = {failure->second, 0};
      return listing;
    }
    listing.entries = folders[Local(listing.folder.path)];
    return listing;
  }
  platform::Listing LookUp(std::string_view path,
                           std::string_view name) override {
    platform::Listing listing = ListFolder(path);
    std::erase_if(listing.entries, [&](const platform::Entry& e) {
      return e.name != name;
    });
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
    return ListFolder(path);
  }
  platform::Outcome Rename(const platform::Folder& folder,
                           std::string_view from,
                           std::string_view to) override {
    auto failure = fail.find(std::string(from));
    if (failure != fail.end()) return {failure->second, 0};
    platform::Entry* entry = Find(folder.path, from);
    if (!entry || entry->name != from) return {platform::Failure::kNotFound, 0};
    if (Find(folder.path, to)) return {platform::Failure::kExists, 0};
    entry->name = std::string(to);
    renames.push_back(Local(folder.path) + "|" + std::string(from) + ">" +
                      std::string(to));
    return {};
  }
  platform::Outcome CheckNames(const platform::Folder&, std::string_view,
                               std::string_view) override {
    return {};
  }
  bool Exists(const platform::Folder& folder, std::string_view name) override {
    return Find(folder.path, name) != nullptr;
  }
  platform::EntryId Identify(const platform::Folder& folder,
                             std::string_view name) override {
    platform::Entry* entry = Find(folder.path, name);
    if (!entry) return {};
    if (!entry->id.known) entry->id = {1, ++last_id, true};
    return entry->id;
  }
  std::string NameKey(const platform::Folder& folder,
                      std::string_view name) override {
    return ignore_case_folders.count(folder.path) ? Folded(name)
                                                  : std::string(name);
  }
  std::string AbsolutePath(const platform::Folder& folder) override {
    if (no_absolute.count(folder.path)) return "";
    return "/abs/" + Local(folder.path);
  }
  std::string DescribeError(int) override { return ""; }
  void HoldInterrupts() override { ++holds; }
  void ReleaseInterrupts() override { --holds; }
  std::string UserFilePath(platform::UserFile file) override {
    return file == platform::UserFile::kHistory ? "history" : "terms";
  }
  platform::FileText ScanFile(
      std::string_view path,
      const std::function<void(std::string_view)>& each) override {
    auto found = files.find(std::string(path));
    if (found == files.end()) return {};
    const std::string text = found->second;
    for (std::size_t at = 0; at < text.size(); at += piece)
      each(std::string_view(text).substr(at, piece));
    return {true, true, ""};
  }
  bool AppendFile(std::string_view path, std::string_view text) override {
    if (before_append) std::exchange(before_append, nullptr)();
    files[std::string(path)].append(text);
    return true;
  }
  bool EditFile(std::string_view path,
                const std::function<std::string(std::string_view)>& edit)
      override {
    ++edits;
    std::string& text = files[std::string(path)];
    text = edit(text);
    return true;
  }
  bool ProcessRunning(long process) override {
    return running.count(process) > 0;
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
