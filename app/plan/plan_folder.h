// The plan of one folder's gathered entries (app/plan/gathered.h): what
// each becomes, in the order to make the steps.  It reads nothing of the
// folders but through the library's view, which reads each of its folders
// once; what the run judged on the disk comes with the entries.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/carry/plan.h"
#include "app/library/library.h"
#include "app/plan/gathered.h"
#include "app/run_options.h"
#include "rules/clean_name.h"

namespace app {

inline constexpr const char* kLibraryFolder =
    "the library's own folder, left as it is";

// What the entries of a folder came to: per pattern, whether it took or
// said anything; and whether anything was taken.
struct Outcome {
  std::vector<bool> pattern_matched;
  bool any_taken = false;
};

// What the planning of a folder's gathered entries came to: the steps to
// make, in order; the download folders to empty after them, with their
// names' readings; and why each entry left alone stays, where said.
struct FolderPlan {
  Outcome outcome;
  std::vector<PlannedStep> steps;
  std::vector<std::pair<const platform::Entry*, rules::CleanedName>> downloads;
  std::vector<const char*> why;
  std::vector<bool> said;
  std::size_t already = 0;  // in the library already: counted, not said
};

FolderPlan PlanFolder(const Gathered& g, const std::string& shown,
                      const RunOptions& options, Library* library);

// The step of a file into the library as the run files it (a move, a link,
// a copy): its kind set, or why it stays (a link that cannot be made).
const char* FilingStep(const RunOptions& options, const Library& library,
                       const Library::Target& to, const platform::Folder& from,
                       PlannedStep& step);

// Whether a file the library has already is counted rather than said: a
// run that leaves the downloads as they are is run again after each one.
inline bool CountedAlready(const RunOptions& options,
                           const Library::Target& to) {
  return to.already && options.KeepsDownloads();
}

// A video file, no side file of another.
bool IsVideo(const platform::Entry& entry);

// The names the videos of a folder took in the library where they differ
// from the ones planned (a copy's version), by the stems planned: the
// files beside them follow.
using CopyNames = std::unordered_map<std::string, std::string>;

// The library's name for the entry taken (Library::Claim): a video's
// version noted in renamed, a side file following its video's.
const char* Claim(Library& library, Library::Target& to,
                  const platform::Folder& from, const platform::Entry& entry,
                  CopyNames& renamed);

}  // namespace app
