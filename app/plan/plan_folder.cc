#include "app/plan/plan_folder.h"

#include <optional>

#include "rules/file_kinds.h"
#include "rules/library_layout.h"
#include "rules/side_files.h"
#include "rules/stem_cleanup.h"
#include "rules/version_suffix.h"

namespace app {
namespace {

constexpr const char* kClash = "another entry here would get that name too";
constexpr const char* kGoesWithNoVideo = "goes with no video, left where it is";
constexpr const char* kOtherDisk =
    "on another disk than the library, where no link reaches, left where it "
    "is";
constexpr const char* kStaysAsItIs =
    "neither a video nor beside one: the downloads stay as they are";

bool ConfirmDue(const RunOptions& o, const rules::CleanedName& cleaned) {
  return o.confirm_all || (o.confirm_year && cleaned.year_changed) ||
         (o.confirm_episode && cleaned.episode_changed) ||
         (o.confirm_terms && cleaned.terms_changed) ||
         (o.confirm_video && cleaned.video_changed);
}

// The entries a library takes: video files and the files beside them.
bool GoesToLibrary(const platform::Entry& entry) {
  if (entry.kind != platform::EntryKind::kFile || entry.link) return false;
  return rules::IsVideoExtension(rules::SplitName(entry.name).extension) ||
         rules::SplitSideName(entry.name).is_side;
}

// A file that is no video, no subtitle and has no side word ("-poster")
// is filed only with a video of its folder: a photo or an invoice with a
// date or year in its name is no film.
bool GoesWithNoVideo(const platform::Entry& entry,
                     const rules::VersionEntry& version) {
  if (rules::IsVideoExtension(rules::SplitName(entry.name).extension) ||
      version.follows_video)
    return false;
  const rules::SideSplit side = rules::SplitSideName(entry.name);
  return side.own_is_extension &&
         !rules::IsSubtitleExtension(rules::SplitName(entry.name).extension);
}

}  // namespace

bool IsVideo(const platform::Entry& entry) {
  return rules::IsVideoExtension(rules::SplitName(entry.name).extension) &&
         !rules::SplitSideName(entry.name).is_side;
}

const char* FilingStep(const RunOptions& options, const Library& library,
                       const Library::Target& to, const platform::Folder& from,
                       PlannedStep& step) {
  switch (options.filing) {
    case Filing::kMove: step.kind = StepKind::kMove; break;
    case Filing::kCopy: step.kind = StepKind::kCopy; break;
    // A link where one can be, else a copy: tried at once where the disk
    // is known to differ, and again where the link fails.
    case Filing::kLink:
      step.kind = library.OnOtherVolume(to, from) ? StepKind::kCopy
                                                  : StepKind::kLink;
      step.copy_if_not_linked = true;
      break;
    case Filing::kLinkOnly:
      if (library.OnOtherVolume(to, from)) return kOtherDisk;
      step.kind = StepKind::kLink;
      break;
  }
  return nullptr;
}

const char* Claim(Library& library, Library::Target& to,
                  const platform::Folder& from, const platform::Entry& entry,
                  CopyNames& renamed) {
  const bool video = IsVideo(entry);
  const std::string planned = to.name;
  if (!video) {
    const rules::SideSplit side = rules::SplitSideName(to.name);
    const auto at = renamed.find(std::string(side.base));
    if (side.is_side && at != renamed.end())
      to.name = at->second + std::string(side.own);
  }
  const char* why = library.Claim(to, from, entry, video);
  if (!why && video && to.name != planned)
    renamed[std::string(rules::SplitName(planned).stem)] =
        rules::SplitName(to.name).stem;
  return why;
}

// The plan of a folder's gathered entries, all of them before the first
// step.  With /v the names of different entries that came out the same
// are told apart by their versions (rules/version_suffix.h), and the
// files beside a video follow it (rules/side_files.h).
FolderPlan PlanFolder(const Gathered& g, const std::string& shown,
                      const RunOptions& options, Library* library) {
  FolderPlan plan;
  Outcome& outcome = plan.outcome;
  outcome.pattern_matched.assign(g.patterns.size(), false);
  std::vector<bool> pattern_took(g.patterns.size(), false);
  std::vector<const char*>& why = plan.why;
  std::vector<bool>& said = plan.said;
  why = g.why;
  said = g.said;
  std::vector<const platform::Entry*> taken;
  std::vector<std::size_t> taken_at;  // their places in g.entries
  taken.reserve(g.entries.size());
  for (std::size_t i = 0; i < g.entries.size(); ++i) {
    const platform::Entry& entry = g.entries[i];
    if (!why[i]) {
      taken.push_back(&entry);
      taken_at.push_back(i);
    }
    if (g.named[i]) continue;
    for (std::size_t p = 0; p < g.patterns.size(); ++p) {
      if (!Takes(g.patterns[p], entry.name)) continue;
      if (!why[i]) pattern_took[p] = true;
      if (!why[i] || said[i]) outcome.pattern_matched[p] = true;
    }
  }
  outcome.any_taken = !taken.empty();
  // A pattern that took nothing says why it left its entries alone.
  for (std::size_t i = 0; g.explain && i < g.entries.size(); ++i) {
    if (!why[i] || said[i] || g.entries[i].hidden) continue;
    for (std::size_t p = 0; p < g.patterns.size(); ++p) {
      if (!pattern_took[p] && Takes(g.patterns[p], g.entries[i].name)) {
        said[i] = true;
        outcome.pattern_matched[p] = true;
      }
    }
  }
  std::vector<PlannedStep>& plans = plan.steps;
  plans.reserve(taken.size());
  auto& downloads = plan.downloads;
  auto add_plan = [&](const platform::Entry* entry,
                      rules::CleanedName& cleaned) {
    if (cleaned.name.empty() || cleaned.name == entry->name) return;
    PlannedStep& step = plans.emplace_back();
    step.from = &g.folder;
    step.shown = &shown;
    step.entry = entry;
    step.new_name = std::move(cleaned.name);
    step.ask = ConfirmDue(options, cleaned);
  };
  // Into a library "/v" keeps each name's reading for the steps after it;
  // in place, where only copies would take it, keeping it costs more.
  rules::NameRules read = options.rules;
  read.keep_reading = read.video_rule && (library != nullptr || options.ids);
  auto clean = [&](const platform::Entry* entry) {
    return rules::CleanName(entry->name, read,
                            entry->kind == platform::EntryKind::kDirectory);
  };
  if (!options.rules.video_rule) {
    for (const platform::Entry* entry : taken) {
      rules::CleanedName cleaned = clean(entry);
      add_plan(entry, cleaned);
    }
  } else {
    std::vector<rules::CleanedName> cleaned;
    std::vector<rules::VersionEntry> versions;
    cleaned.reserve(taken.size());
    versions.reserve(taken.size());
    for (const platform::Entry* entry : taken) {
      cleaned.push_back(clean(entry));
      versions.push_back(
          {entry->name, entry->kind == platform::EntryKind::kDirectory,
           std::move(cleaned.back().name)});
      if (cleaned.back().reading) versions.back().reading = &*cleaned.back().reading;
    }
    rules::SeparateVersions(versions, options.rules);
    // With --ids a film's name in place carries its id and its edition as
    // the library's would; the files beside it follow.
    for (std::size_t i = 0; options.ids && !library && i < taken.size(); ++i) {
      if (!IsVideo(*taken[i]) || !cleaned[i].reading || versions[i].name.empty())
        continue;
      const rules::Reading& r = *cleaned[i].reading;
      rules::LibraryPlace place =
          rules::PlaceInLibrary(r, versions[i].name, options.rules);
      const rules::MediaServer server =
          options.server.value_or(rules::MediaServer::kPlex);
      rules::MediaIds ids;
      ids.imdb = r.imdb;
      ids.tmdb_movie = r.tmdb;
      const rules::TitleId id = rules::TitleIdOf(ids, false);
      std::string tag =
          id.value.empty() ? "" : rules::IdTag(server, id.source, id.value);
      // A name in a server's words already keeps them, whichever server's.
      const std::string& name = versions[i].name;
      if (rules::ServerOfName(name)) continue;
      const bool edition =
          !r.edition.empty() && name.find(r.edition) == std::string::npos;
      rules::AddTitleTags(place, tag, edition ? r.edition : "", server);
      if (place.kind == rules::LibraryKind::kFilm) versions[i].name = place.name;
    }
    rules::FollowVideos(versions);
    // Into a library the videos take their names there first (a copy of
    // one there takes a version), then the files beside them follow.
    std::vector<std::optional<PlannedStep>> placed(taken.size());
    CopyNames renamed;
    auto place = [&](std::size_t i) {
      if (GoesWithNoVideo(*taken[i], versions[i])) {
        why[taken_at[i]] = kGoesWithNoVideo;
        said[taken_at[i]] = true;
        return;
      }
      const std::size_t video = versions[i].video < taken.size() ? versions[i].video : i;
      Library::Target to =
          library->Place(*cleaned[video].reading, rules::FinalName(versions[i]));
      to.own = versions[i].reading;
      // Where it is already (a run over the library itself): stays.
      if (!to.why && library->Look(to).empty() &&
          library->IsFolder(to, g.folder) && to.name == taken[i]->name)
        return;
      PlannedStep step;
      if (!to.why) to.why = FilingStep(options, *library, to, g.folder, step);
      if (!to.why && !versions[i].clash) to.why = Claim(*library, to, g.folder, *taken[i], renamed);
      if (to.why) {
        why[taken_at[i]] = to.why;
        said[taken_at[i]] = !CountedAlready(options, to);
        plan.already += CountedAlready(options, to);
        return;
      }
      step.from = &g.folder;
      step.shown = &shown;
      step.entry = taken[i];
      step.new_name = std::move(to.name);
      step.to = to.folder;
      step.ask = ConfirmDue(options, cleaned[i]);
      if (versions[i].clash) step.why_not = kClash;
      placed[i] = std::move(step);
    };
    std::vector<std::size_t> sides;
    for (std::size_t i = 0; i < taken.size(); ++i) {
      if (library && taken[i]->kind == platform::EntryKind::kDirectory &&
          !taken[i]->link) {
        downloads.emplace_back(taken[i], cleaned[i]);
      } else if (versions[i].left_alone) {
        why[taken_at[i]] = versions[i].left_alone;
        said[taken_at[i]] = true;
      } else if (library && GoesToLibrary(*taken[i])) {
        if (IsVideo(*taken[i])) place(i);
        else sides.push_back(i);
      }
    }
    for (std::size_t i : sides) place(i);
    for (std::size_t i = 0; i < taken.size(); ++i) {
      if (placed[i]) {
        plans.push_back(std::move(*placed[i]));
      } else if (!versions[i].left_alone &&
                 !(library && ((taken[i]->kind ==
                                    platform::EntryKind::kDirectory &&
                                !taken[i]->link) ||
                               GoesToLibrary(*taken[i])))) {
        if (library && options.KeepsDownloads()) {
          // Nothing in the downloads is renamed.
          why[taken_at[i]] = kStaysAsItIs;
          continue;
        }
        cleaned[i].name = std::move(versions[i].name);
        add_plan(taken[i], cleaned[i]);
        if (versions[i].clash && !plans.empty() &&
            plans.back().entry == taken[i])
          plans.back().why_not = kClash;
      }
      if (versions[i].video < taken.size() && !plans.empty() &&
          plans.back().entry == taken[i])
        plans.back().video = taken[versions[i].video];
    }
    KeepWithVideos(plans);
  }
  return plan;
}

}  // namespace app
