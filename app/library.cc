#include "app/library.h"

#include <algorithm>

#include "app/failure_words.h"
#include "app/reporter.h"
#include "rules/library_layout.h"
#include "text/case.h"

namespace app {

struct Library::Node {
  Node* parent = nullptr;
  std::string name;   // as the folder has it, or as it will be made
  std::string shown;  // its path as lines show it, with its separator
  platform::Folder folder;  // once opened
  platform::EntryId id;     // as its parent's listing tells it
  bool exists = false;      // there, or made by this run
  bool made = false;        // by this run
  bool listed = false;
  bool held = false;  // on the list of folders held open
  std::size_t record = kNotRecorded;  // its record, written, not made yet
  std::string failure;  // why it cannot be had
  // The folders it holds, by their ASCII lower-case form: a library holds
  // thousands, and each name is looked for among them.
  std::multimap<std::string, std::string> folders;
  void AddFolder(const std::string& name) {
    folders.emplace(text::AsciiLowerForm(name), name);
  }
  bool Holds(const std::string& name) const {
    auto [from, to] = folders.equal_range(text::AsciiLowerForm(name));
    for (auto at = from; at != to; ++at)
      if (at->second == name) return true;
    return false;
  }
  // Those whose name is title in any case, or begins with it and " (".
  std::vector<std::string> Candidates(std::string_view title) const {
    const std::string key = text::AsciiLowerForm(title);
    std::vector<std::string> found;
    for (auto at = folders.lower_bound(key);
         at != folders.end() && at->first.starts_with(key); ++at) {
      if (at->first.size() == key.size() ||
          at->first.compare(key.size(), 2, " (") == 0)
        found.push_back(at->second);
    }
    return found;
  }
  std::map<std::string, std::unique_ptr<Node>> children;
};

namespace {

// Folders held open at most, beyond those of the place reached: a batch's
// places (the run moves 256 files a batch) and the folders above them.
constexpr std::size_t kHeldFolders = 320;

constexpr const char* kNoFilms =
    "a film, and no folder for films is given (--into or --movies), left "
    "where it is";
constexpr const char* kNoShows =
    "an episode, and no folder for shows is given (--into or --shows), left "
    "where it is";

std::string WithSeparator(std::string path, char separator) {
  if (!path.empty() && path.back() != '/' && path.back() != separator)
    path.push_back(separator);
  return path;
}

void TakeFolders(Library::Node& node, const platform::Listing& listing) {
  for (const platform::Entry& e : listing.entries)
    if (e.kind == platform::EntryKind::kDirectory && !e.link)
      node.AddFolder(e.name);
}

}  // namespace

Library::Library(const RunOptions& options, platform::PathStyle style,
                 platform::FileSystem& files, Journal& journal)
    : options_(options),
      files_(files),
      journal_(journal),
      separator_(style == platform::PathStyle::kWindows ? '\\' : '/') {}

Library::~Library() = default;

bool Library::Open(platform::Console& console) {
  auto root = [&](const std::string& path, std::string shown)
      -> std::unique_ptr<Node> {
    auto node = std::make_unique<Node>();
    node->name = WithSeparator(path, separator_);
    node->shown = std::move(shown);
    platform::Listing listing =
        files_.ListFolder(node->name, platform::kEveryEntry);
    if (!listing.failure.ok()) {
      console.PrintError("namewisp: the library folder " +
                         ForScreen(console, path) + " cannot be read: " +
                         FailureWords(listing.failure));
      return nullptr;
    }
    if (!listing.folder.handle) {
      console.PrintError("namewisp: the library folder " +
                         ForScreen(console, path) + " does not exist");
      return nullptr;
    }
    node->folder = std::move(listing.folder);
    node->folder.path = node->name;
    node->id = node->folder.id;
    node->exists = node->listed = true;
    TakeFolders(*node, listing);
    return node;
  };
  if (!options_.into.empty()) {
    into_ = root(options_.into, "");
    if (!into_) return false;
  }
  // Films and shows each go to the folder named for them, else to the
  // library's own folder for them (in any case it has there).
  auto kind = [&](const std::string& named, std::string_view inside,
                  std::unique_ptr<Node>& own, Node*& node) {
    if (!named.empty()) {
      own = root(named, WithSeparator(named, separator_));
      node = own.get();
      return node != nullptr;
    }
    if (into_)
      node = Child(into_.get(),
                   rules::ExistingFolder(inside, into_->Candidates(inside)));
    return true;
  };
  return kind(options_.movies, rules::kMoviesFolder, movies_, movies_node_) &&
         kind(options_.shows, rules::kShowsFolder, shows_, shows_node_);
}

Library::Node* Library::Child(Node* parent, const std::string& name) {
  auto at = parent->children.find(name);
  if (at != parent->children.end()) return at->second.get();
  auto node = std::make_unique<Node>();
  node->parent = parent;
  node->name = name;
  node->shown = parent->shown + name + separator_;
  node->exists = parent->Holds(name);
  Node* raw = node.get();
  parent->children.emplace(name, std::move(node));
  return raw;
}

// The folders from the root to node held open, the oldest of the others let
// go past a batch's worth; with make, those not there yet are made, each recorded first.
std::string Library::Reach(Node* node, bool make) {
  std::vector<Node*> path;
  for (Node* n = node; n && n->parent; n = n->parent) path.push_back(n);
  std::reverse(path.begin(), path.end());
  // The folders of the places used last stay open, as many as a batch of
  // moves uses; the oldest others are let go.
  while (chain_.size() > kHeldFolders) {
    Node* oldest = chain_.front();
    chain_.pop_front();
    if (std::find(path.begin(), path.end(), oldest) != path.end()) {
      chain_.push_back(oldest);
      continue;
    }
    oldest->held = false;
    files_.LetGoFolder(oldest->folder);
  }
  for (Node* n : path) {
    if (!n->failure.empty()) return n->failure;
    Node* parent = n->parent;
    if (!n->exists) {
      if (!make) return "";  // nothing below it is there either
      // Recorded ahead with the batch's others (Prepare), or now.
      std::size_t number = n->record;
      if (number == kNotRecorded || journal_.Stops()) {
        number = RecordFolder(journal_, files_, parent->folder, n->name);
        if (number == kNotRecorded ||
            !WriteJournal(journal_))
          return "its folder cannot be recorded for undo";
      }
      n->record = kNotRecorded;
      platform::Folder made;
      const platform::Outcome outcome =
          files_.MakeFolder(parent->folder, n->name, 0, made);
      if (!outcome.ok()) {
        n->failure = "the folder " + n->shown + " cannot be made: " +
                     FailureWords(outcome);
        return n->failure;
      }
      RecordMade(journal_, number);
      made.path = parent->folder.path + n->name + separator_;
      NoteMadeFolder(journal_, files_, parent->folder, made, n->name);
      n->folder = std::move(made);
      n->id = n->folder.id;
      n->exists = n->listed = n->made = true;
      parent->AddFolder(n->name);
    } else if (!n->listed) {
      platform::Entry entry;
      entry.name = n->name;
      entry.kind = platform::EntryKind::kDirectory;
      platform::Listing listing = files_.ListBelow(parent->folder, entry);
      if (!listing.failure.ok() || !listing.folder.handle) {
        n->failure = "the folder " + n->shown + " cannot be read: " +
                     (listing.failure.ok()
                          ? std::string("not found")
                          : FailureWords(listing.failure));
        return n->failure;
      }
      n->folder = std::move(listing.folder);
      n->folder.path = parent->folder.path + n->name + separator_;
      n->id = n->folder.id;
      n->listed = true;
      TakeFolders(*n, listing);
    } else if (!files_.ReopenFolder(n->folder).ok()) {
      n->failure = "the folder " + n->shown +
                   " is no longer the one that was read";
      return n->failure;
    }
    if (!n->held) {
      n->held = true;
      chain_.push_back(n);
    }
  }
  return "";
}

Library::Target Library::Place(std::string_view final_name) {
  Target target;
  const rules::LibraryPlace place =
      rules::PlaceInLibrary(final_name, options_.rules.highest_year);
  if (place.kind == rules::LibraryKind::kNone) {
    target.why = place.why;
    return target;
  }
  Node* root = place.kind == rules::LibraryKind::kFilm ? movies_node_ : shows_node_;
  if (!root) {
    target.why = place.kind == rules::LibraryKind::kFilm ? kNoFilms : kNoShows;
    return target;
  }
  // Each folder is read before its name is chosen among those it holds.
  Reach(root, false);
  Node* node = Child(root, rules::TitleFolder(place, root->Candidates(place.title)));
  if (!place.inside.empty()) {
    Reach(node, false);
    node = Child(node, rules::ExistingFolder(place.inside,
                                             node->Candidates(place.inside)));
  }
  target.folder = node;
  target.name = place.name;
  target.shown = node->shown;
  return target;
}

void Library::Prepare(const Target& target) {
  Node* leaf = target.folder;
  if (!leaf || leaf->exists || leaf->record != kNotRecorded || !leaf->parent ||
      !leaf->failure.empty())
    return;
  if (!Reach(leaf->parent, true).empty()) return;
  leaf->record = RecordFolder(journal_, files_, leaf->parent->folder, leaf->name);
}

std::string Library::Reach(const Target& target) {
  return Reach(target.folder, true);
}

namespace {

void AppendMade(const Library::Node& node, std::size_t depth, std::string& out,
                char separator) {
  for (const auto& [name, child] : node.children) {
    if (child->made) {
      out.append(2 * depth, ' ');
      out.append(depth == 0 ? child->shown : child->name + separator);
      out.push_back('\n');
    }
    AppendMade(*child, child->made ? depth + 1 : 0, out, separator);
  }
}

}  // namespace

std::string Library::MadeFolders() const {
  std::string out;
  for (const Node* root : {into_.get(), movies_.get(), shows_.get()})
    if (root) AppendMade(*root, 0, out, separator_);
  return out;
}

const platform::Folder& Library::FolderOf(const Target& target) const {
  return target.folder->folder;
}

bool Library::IsFolder(const Target& target, const platform::Folder& folder) {
  const Node* n = target.folder;
  return n->exists && n->id.known && folder.id.known && n->id == folder.id;
}

}  // namespace app
