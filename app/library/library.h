// The library a run moves videos into ("--into", "--movies", "--shows"):
// where each goes (rules/library_layout.h), in the folders that exist there
// (a show's folder found in any case, its one dated folder for a name
// without a year), and the folders the run makes, each recorded in the
// journal before it is made.  Folders are read once and opened relative to
// the one above; only the folders of the places used last stay open (a
// batch's worth), so that a run into thousands of folders holds a bounded
// number of descriptors and opens none twice within a batch.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal/history.h"
#include "app/run_options.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "rules/media_ids.h"
#include "rules/reading.h"

namespace app {

// The ids a download carries (its name, its .nfo), read for a film and for
// a show: which it is, each of its files' reading says.
struct TitleIds {
  rules::MediaIds film, show;
};

class Library {
 public:
  struct Node;  // a folder of the library, known or to be made

  struct Target {
    Node* folder = nullptr;  // none: no place (why says)
    std::string name;        // the file's name there
    std::string shown;       // its folder as shown, with its separator
    const char* why = nullptr;
    // The reading of the file's own name, where the planning keeps it
    // until the claim: Claim tells a copy by its tags.
    const rules::Reading* own = nullptr;
    bool already = false;  // why: the file is there already (Claim)
  };

  // How the library's folders are made: by the loop that makes every change
  // of the run (app/carry/carry_out.h); "" or why not.
  using FolderMaker = std::function<std::string(
      const platform::Folder& parent, std::string_view name,
      platform::Folder& made)>;

  Library(const RunOptions& options, platform::PathStyle style,
          platform::FileSystem& files, Journal& journal,
          FolderMaker make_folder);
  ~Library();

  // Opens the folders named: false, said on standard error, when one is not
  // there or cannot be read.
  bool Open(platform::Console& console);
  // The downloads the kept journals say were linked or copied into a
  // library before (app/journal/filed_before.h): there already, wherever
  // their names are now.
  void SetFiledBefore(std::vector<platform::EntryId> filed) {
    filed_ = std::move(filed);
  }

  // Where a file of that final name goes, by the reading of its video
  // (rules::PlaceInLibrary).
  // With a download's ids, or the video's own, the title's folder is found
  // by its id first, one made for it carries the id in the server's words,
  // and a film's file carries its folder's id and its edition.
  Target Place(const rules::Reading& video, std::string_view final_name,
               const TitleIds* download = nullptr);

  // Takes the target's name for the entry of the folder from, so that no
  // other file takes it.  Where the library or another file of the run has
  // that name already, a video (copy_of_video) is a copy of the one there
  // and takes a version name (" - 1080p BluRay") from its listed name; why
  // it cannot go (nullptr: it can) where it is that very file ("already in
  // the library"), where no tag tells the two apart (the same release
  // twice), or for any other file.
  const char* Claim(Target& target, const platform::Folder& from,
                    const platform::Entry& entry, bool copy_of_video);
  // A target's folder, made where it is not yet there (each recorded
  // first) and open: "" or why it cannot be had.
  std::string Reach(Node* folder) { return Reach(folder, true); }
  // Records a target's folder where it is to be made in a folder that is
  // there, for the next write of the journal: a batch's folders go to the
  // journal in one write, each before Reach makes it.
  void Prepare(Node* folder);
  // The open folder of a target reached.
  const platform::Folder& FolderOf(const Node* folder) const;
  // A target's folder as lines show it, with its separator.
  const std::string& Shown(const Node* folder) const;
  // Whether the target's folder, reached before, is the folder given (by
  // identity): the file is in its place already.
  bool IsFolder(const Target& target, const platform::Folder& folder);
  // Whether the target's folder, or the nearest folder above it that is
  // there, is known to be on another file system than the folder given.
  bool OnOtherVolume(const Target& target, const platform::Folder& folder) const;
  // Whether the folder entry of parent is the library's own (a folder
  // named, or its folder for films or shows): by identity, or by absolute
  // path where an identity is not known.
  bool IsOwnFolder(const platform::Folder& parent,
                   const platform::Entry& entry) const;
  // The folders the run made (a dry run: would make), one a line, indented
  // by depth below the first of them: "TV/Show Name/", "  Season 01/".
  std::string MadeFolders() const;
  // The target's folder open where it is there, nothing made: "" or why
  // it cannot be had.
  std::string Look(const Target& target) { return Reach(target.folder, false); }

 private:
  Node* Child(Node* parent, const std::string& name);
  std::string Reach(Node* node, bool make);

  const RunOptions& options_;
  platform::FileSystem& files_;
  Journal& journal_;
  char separator_;
  std::unique_ptr<Node> into_, movies_, shows_;  // the folders named
  Node* movies_node_ = nullptr;  // where films go: movies_, or into's Movies
  Node* shows_node_ = nullptr;
  std::deque<Node*> chain_;  // the folders held open, the oldest first
  std::deque<std::string> reasons_;  // the Target::why made for one target
  FolderMaker make_folder_;
  std::vector<platform::EntryId> filed_;  // sorted
  // The library's own folders, by identity and absolute path.
  std::vector<std::pair<platform::EntryId, std::string>> own_;
};

}  // namespace app
