#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/carry/cross_device_move.h"
#include "app/program.h"
#include "fake_run.h"
#include "fake_system.h"

namespace {

// What a download had besides its bytes: another user's, set-user-id.
constexpr platform::EntryFacts kHad{true, 1000, 100, 04755, 1500000000123456789,
                                    1600000000987654321};

// Downloads in the current folder, the library "lib" on another disk.
struct Disks : fake::FileSystem {
  fake::Console console;
  int runs = 0;

  Disks() {
    folders[""] = fake::Files({"Film.2010.1080p.mkv", "Film.2010.1080p.en.srt",
                               "Show.S01E02.720p.mkv", "notes.txt"});
    contents["|Film.2010.1080p.mkv"] = "the film's bytes";
    contents["|Film.2010.1080p.en.srt"] = "subtitles";
    contents["|Show.S01E02.720p.mkv"] = "an episode";
    contents["|notes.txt"] = "notes";
    facts["|Show.S01E02.720p.mkv"] = kHad;
    folders["lib/"];
    other_disk = "lib/";
  }
  int Run(std::vector<std::string> arguments) {
    ++runs;
    return fake::RunCommand(*this, console, std::move(arguments), runs,
                            1000 + runs);
  }
  // Every entry (folders with a "/") and its bytes.
  std::map<std::string, std::string> Tree() const {
    std::map<std::string, std::string> tree;
    for (const auto& [dir, entries] : folders)
      for (const platform::Entry& e : entries) {
        const bool folder = e.kind == platform::EntryKind::kDirectory;
        const auto bytes = contents.find(dir + "|" + e.name);
        tree[dir + e.name + (folder ? "/" : "")] =
            bytes == contents.end() ? "" : bytes->second;
      }
    return tree;
  }
  // Whether every file of before is whole somewhere now.
  bool NoneLost(const std::map<std::string, std::string>& before) const {
    const std::map<std::string, std::string> now = Tree();
    for (const auto& [name, bytes] : before) {
      bool found = false;
      for (const auto& [there, held] : now) found = found || held == bytes;
      if (!found) return false;
    }
    return true;
  }
  // Ctrl+C pressed during the first copy, as the platform's copy answers
  // it: stopped, nothing of the copy left.
  bool ctrl_c_in_copy = false, ctrl_c = false;
  bool Waiting() override { return ctrl_c; }
  platform::Outcome CopyInto(const platform::Folder& from, std::string_view name,
                             const platform::Folder& to, std::string_view copy,
                             platform::Copied& copied,
                             const std::function<void(std::uint64_t)>& progress)
      override {
    if (!ctrl_c_in_copy || ctrl_c)
      return fake::FileSystem::CopyInto(from, name, to, copy, copied, progress);
    ctrl_c = true;
    return {platform::Failure::kInterrupted, 0};
  }
  bool Killed(std::vector<std::string> arguments, int at) {
    kill_at = at;
    steps = 0;
    bool killed = false;
    try {
      Run(std::move(arguments));
    } catch (const fake::FileSystem::Killed&) {
      killed = true;
    }
    kill_at = -1;
    return killed;
  }
};

// A kill at every step of the run, and then at every step of its undo: the
// file is whole in one place at least, and an undo (another after a killed
// one) puts every file back byte for byte, the library as it was.
TEST(MoveAcross, AKillAtAnyStepLosesNothingAndUndoPutsAllBack) {
  for (const bool kill_undo : {false, true}) {
    bool killed = true;
    int at = 0;
    for (; killed; ++at) {
      Disks d;
      const std::map<std::string, std::string> before = d.Tree();
      if (kill_undo) {
        ASSERT_EQ(d.Run({"--into", "lib", "*"}), 0) << d.console.out;
        ASSERT_EQ(d.Tree().count("lib/Movies/Film (2010)/Film (2010).mkv"), 1u);
        ASSERT_EQ(d.folders[""].size(), 1u) << "all but notes.txt moved";
        killed = d.Killed({"--undo"}, at);
      } else {
        killed = d.Killed({"--into", "lib", "*"}, at);
      }
      ASSERT_TRUE(d.NoneLost(before)) << kill_undo << " " << at;
      d.Run({"--undo"});
      EXPECT_EQ(d.Tree(), before) << kill_undo << " " << at << d.console.out;
      EXPECT_EQ(d.facts["|Show.S01E02.720p.mkv"], kHad) << kill_undo << " " << at;
    }
    EXPECT_GT(at, 20) << "every step was reached";
  }
}

// A move that cannot be made leaves the file where it was and no copy.
TEST(MoveAcross, AFailedMoveLeavesNoCopy) {
  struct Case {
    const char* what;
    std::function<void(Disks&)> set_up;
    const char* said;
  } cases[] = {
      {"its source cannot be removed",
       [](Disks& d) { d.fail["Film.2010.1080p.mkv"] = platform::Failure::kPermission; },
       "permission denied (the file stays where it was)"},
  };
  for (const Case& c : cases) {
    Disks d;
    c.set_up(d);
    EXPECT_EQ(d.Run({"--into", "lib", "Film.2010.1080p.mkv"}), 1) << c.what;
    EXPECT_NE(d.console.out.find(c.said), std::string::npos)
        << c.what << d.console.out;
    EXPECT_EQ(d.Tree()["Film.2010.1080p.mkv"], "the film's bytes") << c.what;
    for (const auto& [name, bytes] : d.Tree())
      EXPECT_EQ(name.find(".namewisp-copy"), std::string::npos) << c.what;
  }
}

// Ctrl+C during a copy: the file stays, no move of the run follows it, and
// undo clears the folders made for it.
TEST(MoveAcross, CtrlCDuringACopyStopsTheRunThere) {
  Disks d;
  const std::map<std::string, std::string> before = d.Tree();
  d.ctrl_c_in_copy = true;
  d.Run({"--into", "lib", "*"});
  EXPECT_NE(d.console.out.find("stopped by Ctrl+C"), std::string::npos) << d.console.out;
  std::map<std::string, std::string> now = d.Tree();
  for (const auto& [name, bytes] : before) EXPECT_EQ(now[name], bytes) << name;
  for (const auto& [name, bytes] : now)  // only folders made in the library
    EXPECT_TRUE(before.count(name) || name.back() == '/') << name;
  d.ctrl_c_in_copy = d.ctrl_c = false;
  d.Run({"--undo"});
  EXPECT_EQ(d.Tree(), before) << d.console.out;
}

// A file written again after its copy was made whole (a download client
// finishing a piece in place), or another under its name, is never
// removed: both stay, said, and the run fails. One that comes under its
// name once the file is aside to be removed is a new entry, and stays.
TEST(MoveAcross, AFileChangedAfterItsCopyStaysBesideIt) {
  const std::string film = "|Film.2010.1080p.mkv";
  enum When { kInPlace, kReplaced, kAfterAside };
  for (const When when : {kInPlace, kReplaced, kAfterAside}) {
    struct Rewritten : Disks {
      When when;
      bool done = false;
      void Change(const std::string& film) {
        done = true;
        contents[film] += " and its last piece";
        stamps[film] = {99, 7, true, true};
        if (when != kInPlace) folders[""][0].id = {1, 4242, true};
      }
      platform::Outcome SyncFolder(const platform::Folder& folder) override {
        if (!done && when != kAfterAside && folder.path.starts_with("lib/"))
          Change("|Film.2010.1080p.mkv");
        return Disks::SyncFolder(folder);
      }
      platform::Outcome Move(const platform::Folder& from, std::string_view old_name,
                             const platform::Folder& to,
                             std::string_view new_name) override {
        const platform::Outcome moved = Disks::Move(from, old_name, to, new_name);
        if (!done && when == kAfterAside && new_name.starts_with(".namewisp-aside")) {
          done = true;
          folders[""].push_back(fake::MakeEntry("Film.2010.1080p.mkv",
                                                platform::EntryKind::kFile));
          contents["|Film.2010.1080p.mkv"] = "a second file";
        }
        return moved;
      }
    } d;
    d.when = when;
    EXPECT_EQ(d.Run({"--into", "lib", "Film.2010.1080p.mkv"}), when == kAfterAside ? 0 : 1);
    EXPECT_EQ(d.console.out.find("it changed after it was copied: both are kept") ==
                  std::string::npos,
              when == kAfterAside)
        << d.console.out;
    const auto tree = d.Tree();
    EXPECT_EQ(tree.at("Film.2010.1080p.mkv"),
              when == kAfterAside ? "a second file" : "the film's bytes and its last piece");
    EXPECT_EQ(tree.at("lib/Movies/Film (2010)/Film (2010).mkv"), "the film's bytes");
    EXPECT_EQ(tree.size(), 7u) << "nothing left aside";
  }
}

// Run as root onto a volume that keeps no owners or modes and cuts times
// to the second (exFAT): the copy is said to lack its owner and group, and
// undo gives the file back its owner, group, mode with set-user-id and
// times to the nanosecond, not the library copy's.
TEST(MoveAcross, UndoGivesBackWhatTheFileHadNotWhatItsCopyKept) {
  Disks d;
  d.bare_volume = "lib/";
  const platform::EntryFacts had = kHad;
  d.facts["|Film.2010.1080p.mkv"] = had;
  ASSERT_EQ(d.Run({"--into", "lib", "Film.2010.1080p.mkv"}), 0) << d.console.out;
  EXPECT_NE(d.console.out.find("  [not kept in the copy: its owner, its group]\n"),
            std::string::npos)
      << d.console.out;
  const platform::EntryFacts copy =
      d.facts.at("lib/Movies/Film (2010)/|Film (2010).mkv");
  EXPECT_EQ(copy.mode, 0777u);
  EXPECT_EQ(copy.modified, 1600000000000000000);
  ASSERT_EQ(d.Run({"--undo"}), 0) << d.console.out;
  EXPECT_EQ(d.facts.at("|Film.2010.1080p.mkv"), had);
}

// On a volume that keeps no numbers of its entries (exFAT), a film is known
// by its size and time: changed in place in the library since the run, it
// still goes back, with its change, and its line says so.
TEST(MoveAcross, AFilmChangedInAnExfatLibraryStillGoesBack) {
  for (const bool across : {false, true}) {
    Disks d;
    d.bare_volume = "lib/";
    if (!across) {
      d.other_disk.clear();
      d.bare_volume = "";  // both on one exFAT stick
      d.volume_types[""] = d.volume_types["lib/Movies/Film (2010)/"] = "exfat";
    }
    ASSERT_EQ(d.Run({"--into", "lib", "Film.2010.1080p.mkv"}), 0) << d.console.out;
    const std::string key = "lib/Movies/Film (2010)/|Film (2010).mkv";
    d.contents[key] += " and a tag";
    d.stamps[key] = {d.contents[key].size(), 1700000000000000000, true, true};
    ASSERT_EQ(d.Run({"--undo"}), 0) << across << d.console.out;
    EXPECT_NE(d.console.out.find("  [changed since the run]\n"), std::string::npos)
        << across << d.console.out;
    // Said of the file system that keeps no numbers, not of the other.
    EXPECT_NE(d.console.out.find("stderr:namewisp: the file system of "
                                 "/abs/lib/Movies/Film (2010)/ does not keep"),
              std::string::npos)
        << across << d.console.out;
    EXPECT_EQ(d.Tree()["Film.2010.1080p.mkv"], "the film's bytes and a tag");
  }
}

// A file with other hard links is copied and stays where it was, said on
// its line, and undo removes only the copy; attributes the library cannot
// hold are named on the line of their file.
TEST(MoveAcross, AFileWithOtherLinksIsCopiedAndStays) {
  Disks d;
  d.bare_volume = "lib/";
  d.links["|Film.2010.1080p.mkv"] = 2;
  d.attributes["|Show.S01E02.720p.mkv"] = {"user.origin",
                                           "system.posix_acl_access"};
  const auto before = d.Tree();
  ASSERT_EQ(d.Run({"--into", "lib", "Film.2010.1080p.mkv", "Show.S01E02.720p.mkv"}),
            0);
  const std::string& out = d.console.out;
  EXPECT_NE(out.find("Film (2010).mkv\n  [copied: it has other hard links, so "
                     "it stays where it was too]\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("S01E02.mkv\n  [not kept in the copy: its owner, its "
                     "group, its ACL, the extended attribute user.origin]\n"),
            std::string::npos)
      << out;
  auto tree = d.Tree();
  EXPECT_EQ(tree.at("Film.2010.1080p.mkv"), "the film's bytes");
  EXPECT_EQ(tree.at("lib/Movies/Film (2010)/Film (2010).mkv"), "the film's bytes");
  EXPECT_EQ(tree.count("Show.S01E02.720p.mkv"), 0u);
  ASSERT_EQ(d.Run({"--undo"}), 0) << d.console.out;
  EXPECT_NE(d.console.out.find("Film.2010.1080p.mkv: it stayed where it was, "
                               "and its copy in /abs/lib/Movies/Film (2010)/ is "
                               "removed"),
            std::string::npos)
      << d.console.out;
  EXPECT_EQ(d.Tree(), before);
}

}  // namespace

// The progress line: the bar filled by the share copied, the sizes, and the
// time left at the speed so far.
TEST(MoveAcross, TheProgressLineShowsBytesAndTimeLeft) {
  constexpr std::uint64_t kMiB = std::uint64_t{1} << 20, kGiB = kMiB << 10;
  struct Case {
    const char* name;
    std::uint64_t done, total;
    double seconds;
    const char* line;
  } cases[] = {
      {"a.mkv", 0, 4 * kGiB, 2.0,
       "Copying a.mkv [....................] 0 bytes of 4.0 GiB"},
      {"", kGiB, 4 * kGiB, 10.0,
       "Copying [#####...............] 1.0 GiB of 4.0 GiB, 0:30 left"},
      {"x", kMiB, 3601 * kMiB, 1.0,
       "Copying x [....................] 1.0 MiB of 3.5 GiB, 1:00:00 left"},
      // A tenth is never rounded up, so a copy not done never shows its total.
      {"x", 3 * kGiB - 1, 3 * kGiB, 3.0,
       "Copying x [###################.] 2.9 GiB of 3.0 GiB, 0:00 left"},
      {"x", 33 * kMiB, 40 * kMiB, 3.0,
       "Copying x [################....] 33 MiB of 40 MiB, 0:01 left"},
      {"x", 4 * kMiB, 4 * kMiB, 3.0,
       "Copying x [####################] 4.0 MiB of 4.0 MiB"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::ProgressLine(c.name, c.done, c.total, c.seconds), c.line);
}
