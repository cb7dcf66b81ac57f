#include "app/plan/plan_run.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/plan/download_guard.h"
#include "app/plan/entry_selection.h"
#include "app/failure_words.h"
#include "app/library/library.h"
#include "app/plan/folder_trail.h"
#include "app/plan/gathered.h"
#include "app/plan/plan_folder.h"
#include "app/plan/operand.h"
#include "app/plan/pattern.h"
#include "rules/download_in_progress.h"
#include "app/reporter.h"
#include "rules/clean_name.h"
#include "rules/download_folder.h"
#include "rules/file_kinds.h"
#include "rules/library_layout.h"
#include "rules/media_ids.h"
#include "rules/nfo_ids.h"
#include "rules/ascii.h"
#include "rules/stem_cleanup.h"

namespace app {
namespace {

constexpr const char* kControlled =
    "a download in progress (its .aria2 file is beside it), left alone";
constexpr const char* kBusyFolder =
    "a download in progress inside, left alone with all it holds";

struct Planner {
  const RunOptions& options;
  platform::PathStyle style;
  platform::FileSystem& files;
  platform::Console& console;
  Library* library = nullptr;  // with "--into", "--movies" or "--shows"
  RunPlan plan = {};
  std::size_t left_alone = 0;  // lines that say an entry stays, so far
  FolderTrail trail = {};  // the folders the walk is inside

  // The part whose lines come next: the last one, unless a download's
  // (its folders' removal is said after its lines).
  PlanPart& Lines() {
    if (plan.parts.empty() || plan.parts.back().parent)
      plan.parts.emplace_back();
    return plan.parts.back();
  }
  void Say(const std::string& line) { Lines().said += line; }
  void Failed(const std::string& line) {
    PlanPart& part = Lines();
    part.said += line;
    ++part.failed;
  }
  // A part planned lets go of its folders, which the loop opens again in
  // their turn: a run over many folders holds a bounded number open.
  void Planned(PlanPart& part) {
    files.LetGoFolder(part.folder);
    for (FolderToEmpty& folder : part.emptied) files.LetGoFolder(folder.listing.folder);
  }

  // Why the run leaves the entry alone, downloads in progress first: they
  // are always said, the rest only where asked (said_always false).
  const char* WhyLeftAlone(const Gathered& g, const platform::Entry& entry,
                           bool named, bool& said_always) {
    said_always = false;
    // Into a library, a folder named is a download to empty into it.
    const bool download = library && named &&
                          entry.kind == platform::EntryKind::kDirectory &&
                          !entry.link;
    if (!entry.hidden && entry.name != "." && entry.name != "..") {
      said_always = true;
      if (g.listed ? !g.controlled.empty() && g.controlled.count(entry.name)
                   : HasControlFile(files, g.folder, entry.name))
        return kControlled;
      if (entry.kind == platform::EntryKind::kDirectory && !entry.link) {
        if (g.walked) {
          if (g.busy.count(entry.name)) return kBusyFolder;
        } else if (options.selection != Selection::kFiles || download) {
          platform::Folder folder = g.folder;
          FolderTrail trail{{folder.id}};
          if (HoldsDownloadInProgress(files, folder, entry, trail))
            return kBusyFolder;
        }
      }
      said_always = rules::IsDownloadInProgress(entry.name);
    }
    return app::WhyLeftAlone(
        entry, download ? Selection::kFilesAndDirectories : options.selection);
  }

  // What the disk says of each gathered entry before it is planned: why it
  // is left alone (a download in progress, the library's own folder), and
  // whether that is said.
  void Judge(Gathered& g) {
    g.why.assign(g.entries.size(), nullptr);
    g.said.assign(g.entries.size(), false);
    for (std::size_t i = 0; i < g.entries.size(); ++i) {
      const platform::Entry& entry = g.entries[i];
      bool always = false;
      g.why[i] = WhyLeftAlone(g, entry, g.named[i], always);
      g.said[i] = g.named[i] || always;
      if (!g.why[i] && entry.kind == platform::EntryKind::kDirectory &&
          !entry.link && IsLibraryFolder(g.folder, entry))
        g.why[i] = kLibraryFolder;
    }
  }

  // Whether a folder of the run is the library's own, which the run never
  // takes or walks.
  bool IsLibraryFolder(const platform::Folder& folder,
                       const platform::Entry& entry) {
    return library && library->IsOwnFolder(folder, entry);
  }

  // The gathered entries planned together, a part of the plan; then the
  // downloads named among them, a part each.  An entry left alone by design
  // says why, after them: always where an operand names it or a download is
  // in progress, else (with explain) where its pattern took nothing else.
  Outcome PlanGathered(Gathered& g, const std::string& shown) {
    Judge(g);
    PlanPart& part = plan.parts.emplace_back();
    part.shown = shown;
    FolderPlan planned = PlanFolder(g, part.shown, options, library);
    // The part keeps the folder and the entries its steps point at (a
    // vector moved keeps its elements where they are).
    part.folder = std::move(g.folder);
    part.entries = std::move(g.entries);
    part.steps = std::move(planned.steps);
    part.already = planned.already;
    for (PlannedStep& step : part.steps) step.from = &part.folder;
    Planned(part);
    for (const auto& [download, own] : planned.downloads)
      PlanDownload(part.folder, part.shown, *download, own);
    std::string reasons;
    std::size_t stay = 0;
    for (std::size_t i = 0; i < part.entries.size(); ++i) {
      if (!planned.why[i] || !planned.said[i]) continue;
      const platform::Entry& entry = part.entries[i];
      reasons += ForScreen(console, part.shown + entry.name);
      if (entry.kind == platform::EntryKind::kDirectory && !entry.link)
        reasons += '/';
      reasons.append(": ").append(planned.why[i]).append("\n");
      ++stay;
    }
    if (stay > 0) {
      PlanPart& lines = Lines();
      lines.said += reasons;
      lines.left_alone += stay;
      left_alone += stay;
    }
    return planned.outcome;
  }

  char Separator() const {
    return style == platform::PathStyle::kWindows ? '\\' : '/';
  }

  // What the files of a download's folder are: the download's own, its
  // subtitles (in its subtitle folder or a folder in that), one season's,
  // a film's extras.
  struct GroupKind {
    enum class Kind { kOwn, kSubs, kInSubs, kSeason, kExtras } kind = Kind::kOwn;
    int season = -1;
    std::string_view extra = {};
  };

  // Whether a folder named is one download: its name reads as a release
  // name, begins with the title of a video it holds, or it holds a season's
  // folder.  Any other ("Downloads", "complete") is a container of
  // downloads and loose files.
  // own: the name's reading; read: that of each entry's name, where taken.
  bool IsDownload(std::string_view name, const rules::CleanedName& own,
                  const platform::Listing& listing,
                  const std::vector<rules::CleanedName>& read) const {
    if (own.reading && own.reading->form != rules::NameForm::kPlain) return true;
    for (std::size_t i = 0; i < listing.entries.size(); ++i) {
      const platform::Entry& e = listing.entries[i];
      // A series' download holds its seasons' folders.
      if (e.kind == platform::EntryKind::kDirectory && !e.link &&
          rules::SeasonOfFolder(e.name) >= 0)
        return true;
      if (e.kind != platform::EntryKind::kFile || e.link ||
          !rules::IsVideoExtension(rules::SplitName(e.name).extension))
        continue;
      const rules::CleanedName& video = read[i];
      if (video.reading && rules::BeginsWithTitle(name, video.reading->title))
        return true;
    }
    return false;
  }

  // A container's entries planned one by one, as if each were named; the
  // container itself stays.  A folder the walk is inside already (a bind
  // mount of one above) is not entered, and the library's own folders are
  // left out (PlanGathered).
  void PlanContainer(platform::Listing listing, const std::string& here) {
    if (trail.Inside(listing.folder.id)) {
      Say(ForScreen(console, here) +
          ": not entered: the run is inside that folder already\n");
      return;
    }
    const Entered entered(trail, listing.folder.id);
    Gathered g;
    g.controlled = ControlledNames(listing);
    g.listed = true;
    g.folder = std::move(listing.folder);
    g.entries = std::move(listing.entries);
    for (const platform::Entry& e : g.entries) g.named.push_back(!e.hidden);
    PlanGathered(g, here);
  }

  // A download as the run reads it: its folders (the download and those of
  // its own whose files it files, kept by its part), each file it takes
  // with its folder, and the lines of what stays.
  struct DownloadView {
    PlanPart& part;
    std::vector<GroupKind> kinds = {};  // of each of the part's folders
    std::vector<rules::DownloadFile> listed = {};
    std::vector<const platform::Entry*> which = {};
    std::vector<std::size_t> group_of = {};
  };

  // An entry of the download's folder g that stays, said unless hidden.
  void Stays(DownloadView& view, std::size_t g, const platform::Entry& e,
             const char* why) {
    PlanPart& part = view.part;
    ++part.emptied[g].kept;
    if (e.hidden) return;  // stays unsaid, as hidden entries do
    part.said += ForScreen(console, part.emptied[g].shown + e.name);
    if (e.kind == platform::EntryKind::kDirectory) part.said += Separator();
    part.said.append(": ").append(why).append("\n");
    ++part.left_alone;
    ++left_alone;
  }

  static bool TakesFile(const platform::Entry& e) {
    return e.kind == platform::EntryKind::kFile && !e.link && !e.hidden &&
           !rules::IsDownloadInProgress(e.name);
  }

  // The download's folders whose files its plan takes, below its own
  // (folder 0, listed and read): its subtitle folder and the folders in
  // that, its seasons' folders, a film's extras' folders.  top: the
  // readings of folder 0's entries, taken.
  void ReadDownload(DownloadView& view, std::vector<rules::CleanedName> top) {
    auto& groups = view.part.emptied;
    auto& kinds = view.kinds;
    kinds.resize(1);
    // The folder of e in group g as a group of its own.
    auto open = [&](std::size_t g, const platform::Entry& e, GroupKind kind) {
      platform::Listing l = files.ListBelow(groups[g].listing.folder, e);
      if (!l.failure.ok() || !l.folder.handle) return false;
      l.folder.path = groups[g].listing.folder.path + e.name + Separator();
      groups.push_back(
          {std::move(l), groups[g].shown + e.name + Separator(), g, e.name, 0});
      kinds.push_back(kind);
      return true;
    };
    using Kind = GroupKind::Kind;
    bool subs_found = false;  // one subtitle folder is the download's
    for (std::size_t g = 0; g < groups.size(); ++g) {  // grows as it goes
      const FolderToEmpty& group = groups[g];
      const GroupKind here = kinds[g];
      const std::string_view subfolder =
          here.kind == Kind::kInSubs ? std::string_view(group.name) : "";
      const bool subs = here.kind == Kind::kSubs || here.kind == Kind::kInSubs;
      for (std::size_t i = 0; i < group.listing.entries.size(); ++i) {
        const platform::Entry& e = group.listing.entries[i];
        if (TakesFile(e)) {
          view.listed.push_back({e.name, subs, subfolder, here.season, here.extra,
                                 g == 0 ? std::move(top[i])
                                        : rules::ReadForPlan(e.name, options.rules)});
          view.which.push_back(&e);
          view.group_of.push_back(g);
          continue;
        }
        const bool folder = e.kind == platform::EntryKind::kDirectory && !e.link && !e.hidden;
        // The folders whose files the download's plan takes.
        GroupKind kind;
        if (folder && here.kind == Kind::kOwn) {
          if (!subs_found && rules::IsSubtitleFolder(e.name))
            kind.kind = Kind::kSubs;
          else if ((kind.season = rules::SeasonOfFolder(e.name)) >= 0)
            kind.kind = Kind::kSeason;
          else if (!(kind.extra = rules::ExtraOfFolder(e.name)).empty())
            kind.kind = Kind::kExtras;
        } else if (folder && here.kind == Kind::kSubs) {
          kind.kind = Kind::kInSubs;
        }
        if (kind.kind != Kind::kOwn && open(g, e, kind)) {
          subs_found = subs_found || kind.kind == Kind::kSubs;
          continue;
        }
        Stays(view, g, e,
              e.kind == platform::EntryKind::kDirectory
                  ? "a folder inside the download, left where it is"
                  : "neither a file to place nor beside one, left where it "
                    "is");
      }
    }
  }

  // The download's plan: each file's place in the library (rules/
  // download_folder.h), the videos' first so that a copy of one there takes
  // a version and the files beside them follow (Claim); each side file
  // right after its video.  What has no place stays, said.
  std::vector<PlannedStep> PlanDownloadSteps(DownloadView& view,
                                             std::string_view name,
                                             const rules::CleanedName& own,
                                             const TitleIds& ids) {
    const std::vector<rules::DownloadPlace> places =
        rules::PlanDownload(name, own, view.listed, options.rules);
    const bool confirm = options.confirm_all || options.confirm_video;
    const auto& which = view.which;
    std::vector<std::optional<PlannedStep>> placed(places.size());
    CopyNames renamed;
    auto place = [&](std::size_t k) {
      FolderToEmpty& group = view.part.emptied[view.group_of[k]];
      const char* why = places[k].why;
      Library::Target to;
      if (!why) {
        to = library->Place(places[k].reading, places[k].final_name, &ids);
        why = to.why;
        if (view.listed[k].cleaned.reading) to.own = &*view.listed[k].cleaned.reading;
      }
      if (!why && !places[k].own_name.empty()) to.name = places[k].own_name;
      PlannedStep step;
      if (!why) why = FilingStep(options, *library, to, group.listing.folder, step);
      if (!why) why = Claim(*library, to, group.listing.folder, *which[k], renamed);
      if (why && CountedAlready(options, to)) {
        ++view.part.emptied[view.group_of[k]].kept;
        ++view.part.already;
        return;
      }
      if (why) {
        Stays(view, view.group_of[k], *which[k], why);
        return;
      }
      step.from = &group.listing.folder;
      step.shown = &group.shown;
      step.entry = which[k];
      step.new_name = std::move(to.name);
      step.to = to.folder;
      step.ask = confirm;
      if (places[k].video < which.size()) step.video = which[places[k].video];
      placed[k] = std::move(step);
    };
    for (std::size_t k = 0; k < places.size(); ++k)
      if (IsVideo(*which[k])) place(k);
    for (std::size_t k = 0; k < places.size(); ++k)
      if (!IsVideo(*which[k])) place(k);
    std::vector<PlannedStep> steps;
    for (std::size_t k = 0; k < places.size(); ++k)
      if (placed[k]) steps.push_back(std::move(*placed[k]));
    KeepWithVideos(steps);
    return steps;
  }

  // The ids a download carries: in its name, and in its .nfo files (read
  // as bytes, the first mebibyte of each, never through a link).  Ids that
  // contradict each other are said, and used for neither.
  TitleIds ReadIds(const platform::Listing& listing, std::string_view name,
                   const std::string& here, PlanPart& part) {
    TitleIds ids;
    rules::ReadIdsInName(name, false, ids.film);
    rules::ReadIdsInName(name, true, ids.show);
    std::string bytes;
    for (const platform::Entry& e : listing.entries) {
      if (e.kind != platform::EntryKind::kFile || e.link ||
          !rules::ascii::EqualsFolded(rules::SplitName(e.name).extension, ".nfo") ||
          !files.ReadStart(listing.folder, e.name, rules::kMaxNfoBytes, bytes).ok())
        continue;
      rules::ReadIdsInNfo(bytes, false, ids.film);
      rules::ReadIdsInNfo(bytes, true, ids.show);
    }
    for (const rules::MediaIds* kind : {&ids.film, &ids.show})
      for (const std::string& conflict : kind->conflicts)
        part.said += ForScreen(console, here) + ": " + conflict + "\n";
    return ids;
  }

  // A download folder to empty into the library, a part of the plan: read,
  // planned; the loop carries its steps out, then removes each of its
  // folders emptied.  What cannot be placed stays, said, and so do the
  // folders that hold it.  A folder named that is no download is a
  // container: its entries are planned one by one.
  void PlanDownload(platform::Folder& parent, const std::string& shown,
                    const platform::Entry& entry, const rules::CleanedName& own) {
    const std::string here = shown + entry.name + Separator();
    platform::Listing listing = files.ListBelow(parent, entry);
    if (!listing.failure.ok() || !listing.folder.handle) {
      Failed(ForScreen(console, here) + " [FAILED: " +
             (listing.failure.ok() ? std::string("not found")
                                   : FailureWords(listing.failure)) +
             "]\n");
      return;
    }
    listing.folder.path = parent.path + entry.name + Separator();
    // Each file's name is read once, for every step of the plan: a file
    // the plan takes, and a video that may tell a download.
    std::vector<rules::CleanedName> top(listing.entries.size());
    for (std::size_t i = 0; i < top.size(); ++i) {
      const platform::Entry& e = listing.entries[i];
      if (TakesFile(e) || (e.kind == platform::EntryKind::kFile && !e.link &&
                           rules::IsVideoExtension(rules::SplitName(e.name).extension)))
        top[i] = rules::ReadForPlan(e.name, options.rules);
    }
    if (!IsDownload(entry.name, own, listing, top)) {
      PlanContainer(std::move(listing), here);
      return;
    }
    PlanPart& part = plan.parts.emplace_back();
    part.parent = &parent;
    part.removes_emptied = !options.KeepsDownloads();
    part.emptied.push_back({std::move(listing), here, 0, entry.name, 0});
    const TitleIds ids = ReadIds(part.emptied.front().listing, entry.name, here, part);
    DownloadView view{part};
    ReadDownload(view, std::move(top));
    part.steps = PlanDownloadSteps(view, entry.name, own, ids);
    Planned(part);
  }

  // With /s: the folders below first, deepest first, each folder's entries
  // before the folder itself can be renamed; links and hidden folders are
  // not entered, nor a folder that holds a download in progress, nor one the
  // walk is inside already (a bind mount of a folder above, say).  Each
  // folder is listed once, relative to the folder above it; the top levels
  // stay open while the walk is below them, deeper ones are let go of and
  // opened again, checked, when the walk comes back.  Below a folder known to
  // hold no download none is looked for again.  Lines show paths from the
  // folder the run started in.  Subfolders named are walked whole
  // (names_all).
  bool Walk(platform::Listing listing,
            const std::vector<std::string_view>& patterns, bool clean,
            const std::unordered_set<std::string_view>& names_all = {},
            const std::unordered_set<std::string_view>& names = {}) {
    auto failed = [&](const platform::Outcome& failure) {
      // A folder gone, or another one (a link, say) in its place since it
      // was listed: its entries are left alone.
      const std::string words =
          failure.failure == platform::Failure::kNotFound
              ? "no longer the folder that was listed; its entries are left alone"
              : FailureWords(failure);
      Failed(ForScreen(console, listing.folder.path) + " [FAILED: " + words +
             "]\n");
      return false;
    };
    if (!listing.failure.ok()) return failed(listing.failure);
    const Entered entered(trail, listing.folder.id);
    Gathered g;
    g.controlled = ControlledNames(listing);
    g.listed = true;
    g.walked = true;
    g.explain = false;
    g.patterns = patterns;
    bool matched = false;
    for (const platform::Entry& entry : listing.entries) {
      if (entry.kind != platform::EntryKind::kDirectory || entry.hidden ||
          entry.link)
        continue;
      const bool whole = names_all.count(entry.name) > 0;
      if (!whole && patterns.empty()) continue;
      if (trail.Inside(entry.id)) {
        Say(ForScreen(console, listing.folder.path + entry.name) +
            "/: not entered: the walk is inside that folder already\n");
        continue;
      }
      if (IsLibraryFolder(listing.folder, entry)) continue;
      const platform::Outcome reopened = files.ReopenFolder(listing.folder);
      if (!reopened.ok()) return failed(reopened) || matched;
      if (!clean &&
          HoldsDownloadInProgress(files, listing.folder, entry, trail)) {
        g.busy.insert(entry.name);
        continue;
      }
      // The look for downloads may have let it go in turn.
      const platform::Outcome again = files.ReopenFolder(listing.folder);
      if (!again.ok()) return failed(again) || matched;
      static const std::vector<std::string_view> kAll = {"*"};
      platform::Listing below = files.ListBelow(listing.folder, entry);
      if (!trail.KeepOpen()) files.LetGoFolder(listing.folder);
      matched = Walk(std::move(below), whole ? kAll : patterns, true) ||
                matched;
    }
    const platform::Outcome reopened = files.ReopenFolder(listing.folder);
    if (!reopened.ok()) return failed(reopened) || matched;
    // The folder's own entries: those the patterns or the names take, and
    // the busy folders, which are said.
    g.folder = std::move(listing.folder);
    g.entries = std::move(listing.entries);
    Keep(g, [&](const platform::Entry& entry) {
      if (!names.empty() && names.count(entry.name)) return 1;
      return g.busy.count(entry.name) || TakenByPatterns(patterns, entry.name)
                 ? 0
                 : -1;
    });
    const std::size_t said = left_alone;
    const std::string shown = g.folder.path;
    const Outcome outcome = PlanGathered(g, shown);
    return matched || outcome.any_taken || left_alone > said;
  }

  // The operands of one folder, gathered and planned together: the entries
  // named exactly (each looked up), and those the patterns take from one
  // listing of the folder.
  void PlanOperands(const std::string& folder,
                 const std::vector<const std::string*>& operands,
                 bool show_folder, std::vector<bool>& matched) {
    Gathered g;
    g.entries.reserve(operands.size());  // names below point into them
    std::vector<std::size_t> pattern_operands;
    std::vector<std::string> patterns;
    std::unordered_set<std::string_view> names;  // named exactly
    std::vector<std::string> whole;  // folders named, walked whole with /s
    bool have_folder = false;
    for (std::size_t k = 0; k < operands.size(); ++k) {
      const std::string& operand = *operands[k];
      OperandParts parts = SplitOperand(operand, style);
      if (parts.name.empty() || parts.name == "." || parts.name == "..")
        continue;
      const bool pattern = HasWildcard(parts.name);
      // A name that holds "*" or "?" (legal on POSIX) takes that entry
      // alone when it exists.
      platform::Listing found;
      if (!pattern || style == platform::PathStyle::kPosix)
        found = files.ListFolder(parts.folder, parts.name);
      if (pattern && found.entries.empty() && found.failure.ok()) {
        pattern_operands.push_back(k);
        patterns.push_back(std::move(parts.name));
        continue;
      }
      if (!found.failure.ok()) {
        Failed(ForScreen(console, operand) + " [FAILED: " +
               FailureWords(found.failure) + "]\n");
        matched[k] = true;  // the failure is its answer
        continue;
      }
      if (found.entries.empty()) continue;
      platform::Entry& entry = found.entries[0];
      matched[k] = true;
      // "f.avi/" names a folder: a file of that name is not one.
      if (!pattern && style == platform::PathStyle::kPosix &&
          operand.ends_with("/") &&
          entry.kind != platform::EntryKind::kDirectory) {
        Failed(ForScreen(console, operand) + ": not a folder\n");
        continue;
      }
      if (!have_folder) {
        g.folder = found.folder;
        have_folder = true;
      }
      // With /s a folder named walks that folder; a file named is renamed.
      if (options.recursive && entry.kind == platform::EntryKind::kDirectory &&
          !entry.link) {
        whole.push_back(entry.name);
        continue;
      }
      if (names.count(entry.name)) continue;  // named twice: once is enough
      g.entries.push_back(std::move(entry));
      g.named.push_back(true);
      names.insert(g.entries.back().name);
    }
    const std::string shown = show_folder ? folder : "";
    if (patterns.empty() && whole.empty()) {
      if (!g.entries.empty()) PlanGathered(g, shown);
      return;
    }
    for (const std::string& pattern : patterns) g.patterns.push_back(pattern);
    platform::Listing listing = files.ListFolder(folder, platform::kEveryEntry);
    if (options.recursive) {
      const std::unordered_set<std::string_view> walk_whole(whole.begin(),
                                                            whole.end());
      const bool any =
          Walk(std::move(listing), g.patterns, false, walk_whole, names);
      for (std::size_t k : pattern_operands) matched[k] = any;
      return;
    }
    if (!listing.failure.ok()) {
      // The failure is the operand's answer: no "No matches" after it.
      for (std::size_t k : pattern_operands) {
        Failed(ForScreen(console, *operands[k]) + " [FAILED: " +
               FailureWords(listing.failure) + "]\n");
        matched[k] = true;
      }
      return;
    }
    // The listing in its order: what the patterns take and what is named.
    Gathered all;
    all.folder = listing.folder;
    all.controlled = ControlledNames(listing);
    all.listed = true;
    all.patterns = g.patterns;
    all.entries = std::move(listing.entries);
    Keep(all, [&](const platform::Entry& entry) {
      if (!names.empty() && names.erase(entry.name)) return 1;
      return TakenByPatterns(all.patterns, entry.name) ? 0 : -1;
    });
    // Named entries the listing lacks (come since it was read): as named.
    for (platform::Entry& entry : g.entries) {
      if (!names.count(entry.name)) continue;
      all.named.push_back(true);
      all.entries.push_back(std::move(entry));
    }
    const Outcome outcome = PlanGathered(all, shown);
    for (std::size_t p = 0; p < pattern_operands.size(); ++p)
      matched[pattern_operands[p]] = outcome.pattern_matched[p];
  }
};

}  // namespace

RunPlan PlanRun(const RunOptions& options,
                const std::vector<std::string>& operands,
                platform::PathStyle style, platform::FileSystem& files,
                platform::Console& console, Library* library) {
  Planner planner{options, style, files, console, library};
  // The operands by folder, in the order of each folder's first operand:
  // all that name one folder are planned together.
  std::vector<std::string> folders;
  std::vector<std::vector<std::size_t>> by_folder;
  {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < operands.size(); ++i) {
      std::string folder = SplitOperand(operands[i], style).folder;
      auto [at, added] = index.try_emplace(folder, folders.size());
      if (added) {
        folders.push_back(std::move(folder));
        by_folder.emplace_back();
      }
      by_folder[at->second].push_back(i);
    }
  }
  // Operands in several folders: each line says which.
  const bool show_folder = folders.size() > 1;
  for (std::size_t f = 0; f < folders.size(); ++f) {
    std::vector<const std::string*> group;
    for (std::size_t i : by_folder[f]) group.push_back(&operands[i]);
    std::vector<bool> matched(group.size(), false);
    planner.PlanOperands(folders[f], group, show_folder, matched);
    for (std::size_t k = 0; k < group.size(); ++k) {
      if (matched[k]) {
        planner.plan.any_matched = true;
      } else {
        planner.Say("Error: No matches to \"" +
                    ForScreen(console, *group[k]) + "\"\n\n");
      }
    }
  }
  return std::move(planner.plan);
}

}  // namespace app
