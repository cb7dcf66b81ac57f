#include "app/library/library.h"

#include "app/journal/filed_before.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "rules/version_suffix.h"

#include "app/failure_words.h"
#include "app/reporter.h"
#include "rules/library_layout.h"
#include "rules/media_ids.h"
#include "text/case.h"

namespace app {
namespace {

// A title's id as a key: its source's word and its value ("imdb
// tt0133093"); "" for none.
std::string IdKey(rules::IdSource source, std::string_view id) {
  static constexpr const char* kWords[] = {"imdb ", "tmdb ", "tvdb "};
  return id.empty() ? "" : kWords[static_cast<int>(source)] + std::string(id);
}

// The keys of a title's ids, as a folder's name carries them.
std::vector<std::string> IdKeys(const rules::MediaIds& film,
                                const rules::MediaIds& show) {
  std::vector<std::string> keys;
  for (std::string key : {IdKey(rules::IdSource::kImdb, film.imdb),
                          IdKey(rules::IdSource::kTmdb, film.tmdb_movie),
                          IdKey(rules::IdSource::kTmdb, show.tmdb_show),
                          IdKey(rules::IdSource::kTvdb, show.tvdb)})
    if (!key.empty()) keys.push_back(std::move(key));
  return keys;
}

}  // namespace

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
  // The folders it holds and those the run means to make in it, by their
  // key (rules::KeyOfFolder): a library holds thousands, and each name is
  // looked for among them.
  std::multimap<std::string, std::string> folders;
  // Those whose names carry a media server's id ("imdb tt0133093", "tmdb
  // 603", "tvdb 81189"): a title is found by its id first.  And the server
  // whose words the first of them uses.
  std::unordered_map<std::string, std::string> by_id;
  std::optional<rules::MediaServer> server;
  // False when it holds name already.
  bool AddFolder(const std::string& name) {
    std::string key = rules::KeyOfFolder(name).letters;
    if (Holds(key, name)) return false;
    folders.emplace(std::move(key), name);
    if (name.find_first_of("{[") == std::string::npos) return true;
    if (!server) server = rules::ServerOfName(name);
    rules::MediaIds film, show;
    rules::ReadIdsInName(name, false, film);
    rules::ReadIdsInName(name, true, show);
    for (const std::string& key : IdKeys(film, show)) by_id.try_emplace(key, name);
    return true;
  }
  bool Holds(const std::string& name) const {
    return Holds(rules::KeyOfFolder(name).letters, name);
  }
  bool Holds(const std::string& key, const std::string& name) const {
    auto [from, to] = folders.equal_range(key);
    for (auto at = from; at != to; ++at)
      if (at->second == name) return true;
    return false;
  }
  // Those that may be the folder own names: of the same key.
  std::vector<std::string> Candidates(std::string_view own) const {
    std::vector<std::string> found;
    auto [from, to] = folders.equal_range(rules::KeyOfFolder(own).letters);
    for (auto at = from; at != to; ++at) found.push_back(at->second);
    return found;
  }
  // By their names, which each child keeps.
  std::map<std::string_view, std::unique_ptr<Node>, std::less<>> children;
  // The names of its other entries and of the files the run files in it,
  // by their ASCII lower-case form.
  struct Name {
    std::string name;
    std::string listed;  // a file of the run: its name where it comes from
    platform::EntryId id;  // an entry there, where its listing told it
  };
  std::unordered_map<std::string, Name> names;
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
  for (const platform::Entry& e : listing.entries) {
    if (e.kind == platform::EntryKind::kDirectory && !e.link)
      node.AddFolder(e.name);
    else
      node.names.try_emplace(text::AsciiLowerForm(e.name),
                             Library::Node::Name{e.name, {}, e.id});
  }
}

}  // namespace

Library::Library(const RunOptions& options, platform::PathStyle style,
                 platform::FileSystem& files, Journal& journal,
                 FolderMaker make_folder)
    : options_(options),
      files_(files),
      journal_(journal),
      separator_(style == platform::PathStyle::kWindows ? '\\' : '/'),
      make_folder_(std::move(make_folder)) {}

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
                   rules::MatchFolder(inside, into_->Candidates(inside)).name);
    return true;
  };
  if (!kind(options_.movies, rules::kMoviesFolder, movies_, movies_node_) ||
      !kind(options_.shows, rules::kShowsFolder, shows_, shows_node_))
    return false;
  // Read now, so that the run knows them by identity wherever they sit.
  for (Node* node : {movies_node_, shows_node_})
    if (node) Reach(node, false);
  for (const Node* node :
       {into_.get(), movies_.get(), shows_.get(), movies_node_, shows_node_})
    if (node && node->listed) own_.push_back({node->id, files_.DescribeFolder(node->folder).absolute});
  return true;
}

bool Library::IsOwnFolder(const platform::Folder& parent,
                          const platform::Entry& entry) const {
  std::string path;  // asked of the system only where an identity is missing
  for (const auto& [own_id, own_path] : own_) {
    if (entry.id.known && own_id.known) {
      if (entry.id == own_id) return true;
      continue;
    }
    if (path.empty())
      path = files_.DescribeFolder(parent).absolute + entry.name + separator_;
    if (path == own_path) return true;
  }
  return false;
}

Library::Node* Library::Child(Node* parent, const std::string& name) {
  auto at = parent->children.find(name);
  if (at != parent->children.end()) return at->second.get();
  auto node = std::make_unique<Node>();
  node->parent = parent;
  node->name = name;
  node->shown = parent->shown + name + separator_;
  // One run makes one folder of a title: the next file of it finds this one.
  node->exists = !parent->AddFolder(name);
  Node* raw = node.get();
  parent->children.emplace(std::string_view(raw->name), std::move(node));
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
    const bool was_listed = n->listed;
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
      const std::string failure = make_folder_(parent->folder, n->name, made);
      if (failure.empty()) {
        RecordMade(journal_, number);
        made.path = parent->folder.path + n->name + separator_;
        NoteMadeFolder(journal_, files_, parent->folder, made, n->name);
        n->folder = std::move(made);
        n->id = n->folder.id;
        n->exists = n->listed = n->made = true;  // Child added it to parent
      } else if (files_.Stat(parent->folder, n->name).exists) {
        // Made by another since the look (a second run, a media server): a
        // folder there by now is used as one that was there, read below.
        n->exists = true;
      } else {
        n->failure = "the folder " + n->shown + " cannot be made: " + failure;
        return n->failure;
      }
    }
    if (!n->listed) {
      platform::Entry entry;
      entry.name = n->name;
      entry.kind = platform::EntryKind::kDirectory;
      platform::Listing listing = files_.ListBelow(parent->folder, entry);
      if (!listing.failure.ok() || !listing.folder.handle) {
        // Never through a link: one in the folder's place is said so.
        const platform::Listing there =
            files_.ListFolder(parent->folder.path, n->name);
        const bool link = !there.entries.empty() && there.entries[0].link;
        n->failure = "the folder " + n->shown + " cannot be read: " +
                     (link                     ? std::string("a link stands in its place")
                      : listing.failure.ok() ? std::string("not found")
                                             : FailureWords(listing.failure));
        return n->failure;
      }
      n->folder = std::move(listing.folder);
      n->folder.path = parent->folder.path + n->name + separator_;
      n->id = n->folder.id;
      n->listed = true;
      TakeFolders(*n, listing);
    } else if (was_listed && !files_.ReopenFolder(n->folder).ok()) {
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

Library::Target Library::Place(const rules::Reading& video,
                               std::string_view final_name,
                               const TitleIds* download) {
  Target target;
  rules::LibraryPlace place =
      rules::PlaceInLibrary(video, final_name, options_.rules);
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
  auto match = [&](Node* parent, const std::string& own) -> Node* {
    const rules::FolderMatch m = rules::MatchFolder(own, parent->Candidates(own));
    if (m.other.empty()) return Child(parent, m.name);
    reasons_.push_back("both " + parent->shown + m.name + separator_ + " and " +
                       parent->shown + m.other + separator_ +
                       " could be its folder, left where it is");
    target.why = reasons_.back().c_str();
    return nullptr;
  };
  const bool show = place.kind == rules::LibraryKind::kShow;
  // The title's id: the video's name's, else the download's (its name, its
  // .nfo); an IMDb id for a film, a TVDB id for a show, else TMDb's.
  rules::MediaIds ids = download ? (show ? download->show : download->film)
                                 : rules::MediaIds{};
  if (!show) ids.Add(rules::IdSource::kImdb, false, video.imdb);
  ids.Add(rules::IdSource::kTmdb, show, video.tmdb);
  if (show) ids.Add(rules::IdSource::kTvdb, true, video.tvdb);
  std::string key, tag;
  const rules::MediaServer server =
      options_.server ? *options_.server : root->server.value_or(rules::MediaServer::kPlex);
  if (const rules::TitleId id = rules::TitleIdOf(ids, show); !id.value.empty()) {
    key = IdKey(id.source, id.value);
    tag = rules::IdTag(server, id.source, id.value);
  }
  const std::string own = rules::OwnTitleFolder(place);
  Node* node = nullptr;
  if (const auto at = key.empty() ? root->by_id.end() : root->by_id.find(key);
      at != root->by_id.end()) {
    node = Child(root, at->second);  // its folder by its id, whatever its title
  } else {
    const rules::FolderMatch m = rules::MatchFolder(own, root->Candidates(own));
    // A folder made for it carries its id; one there is never renamed.
    if (m.other.empty() && !root->Holds(m.name) && !tag.empty())
      node = Child(root, own + " " + tag);
    else
      node = match(root, own);
    // A folder of the title with another id of the same kind is another
    // title: never merged.
    if (node && !key.empty() && node->name != own) {
      rules::MediaIds there_film, there_show;
      rules::ReadIdsInName(node->name, false, there_film);
      rules::ReadIdsInName(node->name, true, there_show);
      for (const std::string& there : IdKeys(there_film, there_show)) {
        if (there.substr(0, 4) != key.substr(0, 4) || there == key) continue;
        reasons_.push_back(root->shown + node->name + separator_ +
                           " is another title's (" + there + ", this one's " +
                           key + "), left where it is");
        target.why = reasons_.back().c_str();
        return target;
      }
    }
  }
  // A film's file carries what its folder carries, and its edition.
  if (node)
    rules::AddTitleTags(place,
                        node->name.find(tag) != std::string::npos ? tag : "",
                        video.edition, server);
  if (node && !place.inside.empty()) {
    Reach(node, false);
    node = match(node, place.inside);
  }
  if (!node) return target;
  target.folder = node;
  target.name = place.name;
  target.shown = node->shown;
  return target;
}

const char* Library::Claim(Target& target, const platform::Folder& from,
                           const platform::Entry& entry, bool copy_of_video) {
  Node* node = target.folder;
  Look(target);  // its names read, where it is there
  auto taken = [&](const std::string& name) {
    const auto at = node->names.find(text::AsciiLowerForm(name));
    return at == node->names.end() ? nullptr : &at->second;
  };
  auto claim = [&](const std::string& name) {
    node->names[text::AsciiLowerForm(name)] = {name, entry.name, {}};
    return nullptr;
  };
  auto because = [&](std::string why) {
    reasons_.push_back(std::move(why) + ", left where it is");
    return reasons_.back().c_str();
  };
  // The library's own file under that name is this very one: a link to
  // it, or its copy of the same size and time.
  auto already = [&](const Node::Name* there, const std::string& name) {
    if (!there->listed.empty()) return false;  // the run's, not the library's
    if (entry.id.known && there->id.known && entry.id == there->id) return true;
    const platform::EntryId stamp = files_.Stat(from, entry.name).stamp;
    return there->name == name && stamp.known &&
           stamp == files_.Stat(node->folder, there->name).stamp;
  };
  auto already_said = [&](const Node::Name* there) {
    target.already = true;
    return because("already in the library as " + node->shown + there->name);
  };
  // Linked or copied by an earlier run, its name there changed since (a
  // media server's renaming, say).
  if (!filed_.empty()) {
    const platform::EntryStat st = files_.Stat(from, entry.name);
    if (WasFiled(filed_, st.id) || WasFiled(filed_, st.stamp)) {
      target.already = true;
      return because("filed into the library by an earlier run");
    }
  }
  const Node::Name* there = taken(target.name);
  if (!there) return claim(target.name);
  if (already(there, target.name)) return already_said(there);
  if (!copy_of_video)
    return because("a file of that name is in " + node->shown + " already");
  // A copy: it takes the tags that tell it from the one there.
  std::vector<rules::VersionEntry> two = {
      {there->listed.empty() ? there->name : there->listed, false, there->name},
      {entry.name, false, target.name}};
  two[1].reading = target.own;
  rules::SeparateVersions(two, options_.rules);
  if (two[1].added == 0)
    return because("the same release as " + node->shown + there->name);
  if (const Node::Name* version = taken(two[1].name)) {
    // Filed before as a version of the one there.
    if (already(version, two[1].name)) return already_said(version);
    return because("a copy of that name is in " + node->shown + " already");
  }
  target.name = std::move(two[1].name);
  return claim(target.name);
}

void Library::Prepare(Node* leaf) {
  if (!leaf || leaf->exists || leaf->record != kNotRecorded || !leaf->parent ||
      !leaf->failure.empty())
    return;
  if (!Reach(leaf->parent, true).empty()) return;
  leaf->record = RecordFolder(journal_, files_, leaf->parent->folder, leaf->name);
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

const platform::Folder& Library::FolderOf(const Node* folder) const {
  return folder->folder;
}

const std::string& Library::Shown(const Node* folder) const {
  return folder->shown;
}

bool Library::OnOtherVolume(const Target& target,
                            const platform::Folder& folder) const {
  const Node* n = target.folder;
  while (n && !(n->exists && n->id.known && !n->id.by_name)) n = n->parent;
  return n && folder.id.known && !folder.id.by_name &&
         n->id.volume != folder.id.volume;
}

bool Library::IsFolder(const Target& target, const platform::Folder& folder) {
  const Node* n = target.folder;
  return n->exists && n->id.known && folder.id.known && n->id == folder.id;
}

}  // namespace app
