#include "app/carry/cross_device_move.h"

#include <chrono>
#include <cstdint>
#include <vector>

#include "app/failure_words.h"
#include "app/journal/history.h"
#include "app/reporter.h"
#include "app/journal/volume_identity.h"

namespace app {

std::string CopyTemporary(std::string_view tag) {
  return ".namewisp-copy-" + std::string(tag) + ".tmp";
}

std::string CopyAside(std::string_view tag) {
  return ".namewisp-aside-" + std::string(tag) + ".tmp";
}

namespace {

constexpr int kBarWidth = 20;
constexpr auto kRedraw = std::chrono::milliseconds(200);

std::string Clock(std::uint64_t seconds) {
  auto two = [](std::uint64_t n) {
    return std::string(n < 10 ? "0" : "") + std::to_string(n);
  };
  if (seconds >= 3600)
    return std::to_string(seconds / 3600) + ":" + two(seconds / 60 % 60) +
           ":" + two(seconds % 60);
  return std::to_string(seconds / 60) + ":" + two(seconds % 60);
}

// The bar of one copy on the terminal of standard error, once the copy has
// taken a few seconds, redrawn a few times a second and cleared at the end.
struct Bar {
  platform::Console* console;
  std::string name;  // escaped
  std::uint64_t total;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last = start;
  int shown = 0;  // columns drawn

  void Draw(std::uint64_t done) {
    if (!console) return;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - start).count();
    if (seconds < kQuietSeconds || (shown > 0 && now - last < kRedraw)) return;
    last = now;
    std::string line = ProgressLine(name, done, total, seconds);
    int columns = console->DisplayColumns(line);
    if (columns >= console->ScreenWidth()) {  // the name left out
      line = ProgressLine("", done, total, seconds);
      columns = console->DisplayColumns(line);
    }
    const int pad = shown > columns ? shown - columns : 0;
    console->ShowProgress("\r" + line + std::string(static_cast<std::size_t>(pad), ' '));
    shown = columns;
  }
  ~Bar() {
    if (console && shown > 0)
      console->ShowProgress("\r" + std::string(static_cast<std::size_t>(shown), ' ') +
                            "\r");
  }
};

}  // namespace

std::string ProgressLine(std::string_view name, std::uint64_t done,
                         std::uint64_t total, double seconds) {
  const std::uint64_t filled =
      total == 0 ? kBarWidth : done * kBarWidth / total;
  std::string line = "Copying ";
  if (!name.empty()) line += std::string(name) + " ";
  line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
          SizeText(done, true) + " of " + SizeText(total, true);
  if (done > 0 && done < total && seconds > 0) {
    const double left = seconds * static_cast<double>(total - done) /
                        static_cast<double>(done);
    line += ", " + Clock(static_cast<std::uint64_t>(left + 0.5)) + " left";
  }
  return line;
}

std::string NotKept(const platform::Copied& copied) {
  std::vector<std::string> lost;
  if (copied.owner_lost) lost.push_back("its owner");
  if (copied.group_lost) lost.push_back("its group");
  for (const std::string& name : copied.attributes_lost) {
    lost.push_back(name == "system.posix_acl_access"    ? "its ACL"
                   : name == "system.posix_acl_default" ? "its default ACL"
                   : name == "security.capability"
                       ? "its capabilities"
                       : "the extended attribute " + Escaped(name));
  }
  std::string words;
  for (const std::string& one : lost)
    words += (words.empty() ? "not kept in the copy: " : ", ") + one;
  return words;
}

platform::EntryId CopyIdentity(platform::FileSystem& files,
                               const platform::Folder& folder,
                               std::string_view name) {
  return KeepsEntryNumbers(files.DescribeFolder(folder).volume_type)
             ? files.Stat(folder, name).id
             : files.Stat(folder, name).stamp;
}

std::string MoveAcross(platform::FileSystem& files, const platform::Folder& from,
                       std::string_view old_name, const platform::Folder& to,
                       std::string_view new_name, std::string_view tag,
                       CopyRecorder& recorder, bool keep) {
  recorder.note.clear();
  const platform::EntryStat start = files.Stat(from, old_name);
  const platform::EntryId before = start.stamp;
  if (!before.known) return FailureWords({platform::Failure::kNotFound, 0});
  if (files.Stat(to, new_name).exists)
    return FailureWords({platform::Failure::kExists, 0});
  if (!recorder.Record(CopyStep::kCopy, {}, start.facts))
    return "its copy cannot be recorded for undo";
  const std::string temporary = CopyTemporary(tag);
  platform::Copied copied;
  platform::Outcome outcome;
  {
    Bar bar{recorder.progress, Escaped(old_name), before.volume,
            std::chrono::steady_clock::now(), {}, 0};
    outcome = files.CopyInto(from, old_name, to, temporary, copied,
                             [&bar](std::uint64_t done) { bar.Draw(done); });
  }
  if (!outcome.ok()) return FailureWords(outcome);
  const std::uint64_t bytes = copied.bytes;
  // The copy has every byte the file had when the move began, and the file
  // did not change meanwhile (a download still written, say).
  if (bytes != before.volume ||
      files.Stat(to, temporary).stamp.volume != bytes ||
      !(files.Stat(from, old_name).stamp == before)) {
    files.Remove(to, temporary, platform::EntryKind::kFile);
    return "it changed while it was copied: the copy is removed, the file "
           "stays where it was";
  }
  // Undo's copy back: the owner, group, mode and times the file had.
  if (const platform::Outcome given =
          files.SetFacts(to, temporary, recorder.facts);
      !given.ok()) {
    recorder.note = "its owner, mode and times not all given back: " +
                    FailureWords(given) + "; ";
  } else if (recorder.facts.known) {
    copied.owner_lost = copied.group_lost = false;
  }
  recorder.note += NotKept(copied);
  if (recorder.note.ends_with("; "))
    recorder.note.resize(recorder.note.size() - 2);
  const platform::EntryId copy = CopyIdentity(files, to, temporary);
  if (!recorder.Record(CopyStep::kCopied, copy, {})) {
    files.Remove(to, temporary, platform::EntryKind::kFile);
    return "its copy cannot be recorded for undo";
  }
  outcome = files.Move(to, temporary, to, new_name);
  if (!outcome.ok()) {
    files.Remove(to, temporary, platform::EntryKind::kFile);
    return FailureWords(outcome);
  }
  files.SyncFolder(to);
  if (keep) return "";
  if (start.links > 1) {
    recorder.note =
        "copied: it has other hard links, so it stays where it was too" +
        (recorder.note.empty() ? "" : "; " + recorder.note);
    return "";
  }
  // The file goes aside under a name of the run's own first: a download
  // client that finishes another file under its name from now on makes a
  // new entry, which stays; and what is aside is checked once more, where
  // only a writer that holds it open still reaches it.
  const std::string aside = CopyAside(tag);
  outcome = files.Move(from, old_name, from, aside);
  if (outcome.ok()) {
    // Written again, or another file under its name, since it was copied
    // (a download client finishing a piece in place, say): both stay.
    const platform::EntryStat now = files.Stat(from, aside);
    if (!(now.stamp == before) || (start.id.known && !(now.id == start.id))) {
      const bool back = files.Move(from, aside, from, old_name).ok();
      return "it changed after it was copied: both are kept, the copy in the "
             "library and the file where it was" +
             (back ? std::string()
                   : " (as " + Escaped(aside) +
                         ": another file took its name meanwhile)");
    }
    outcome = files.Remove(from, aside, platform::EntryKind::kFile);
    if (!outcome.ok()) files.Move(from, aside, from, old_name);
  }
  if (!outcome.ok()) {
    // The file stays where it was, so its copy goes: one file, as before.
    files.Remove(to, new_name, platform::EntryKind::kFile);
    files.SyncFolder(to);
    return FailureWords(outcome) + " (the file stays where it was)";
  }
  files.SyncFolder(from);
  return "";
}

}  // namespace app
