#include "app/journal/history.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <thread>
#include <vector>

#include "app/journal/history_format.h"
#include "app/journal/volume_identity.h"

namespace app {
namespace {

// A journal's last bytes that hold its last record.
constexpr std::uint64_t kTail = 4096;

// The most a run records, of the most a user file holds: a third, so that
// its marks of renames made and an undo's of renames put back, each no
// longer than the record it marks, always fit after it.
std::uint64_t RunLimit(platform::UserFiles& files) {
  return files.SizeCap() / 3;
}

void MakeMarks(Journal& j) {
  if (j.made_count == 0) return;
  j.pending += FormatMade(j.run_id, j.made_first, j.made_first + j.made_count - 1);
  j.made_count = 0;
}

// Makes the run's journal, under a new id should one be taken, and puts its
// first records in front of what is pending.  False when there is none to
// be had: the run goes on without a history.
bool Start(Journal& j, platform::FileSystem& files) {
  platform::UserFiles& user_files = *j.user_files;
  const std::string folder = j.path;
  const std::string id = j.run_id;
  j.sequence = TakeSequence(user_files, folder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (attempt > 0) j.run_id = id + "-" + std::to_string(attempt);
    platform::OpenedJournal opened =
        user_files.CreateJournal(folder + j.run_id + std::string(kRunEnding));
    if (opened.state == platform::JournalState::kExists) continue;
    if (opened.state != platform::JournalState::kOpen) return false;
    j.file = std::move(opened.file);
    j.path = folder + j.run_id + std::string(kRunEnding);
    j.pending = HistoryHeader() +
                FormatRunStart(j.run_id, j.start_time,
                               files.DescribeFolder({}).absolute, j.options,
                               j.sequence);
    TrimJournals(user_files, folder, j.run_id + std::string(kRunEnding));
    return true;
  }
  return false;
}

// The sequence file's last bytes, which hold its last number.
constexpr std::uint64_t kSequenceTail = 64;
// How long a run tries for the sequence file's lock, a millisecond apart:
// another run holds it only while it reads, appends and syncs one number,
// but runs started at once queue for it behind each one's sync.
constexpr auto kSequenceWait = std::chrono::seconds(2);

// The number on the last whole line of the text; 0 when there is none.
std::size_t LastTaken(std::string_view text) {
  // Past the last line feed stands a number that a kill cut short.
  const std::size_t end = text.rfind('\n');
  if (end == std::string_view::npos) return 0;
  text = text.substr(0, end);
  const std::size_t start = text.rfind('\n');
  if (start != std::string_view::npos) text.remove_prefix(start + 1);
  std::size_t number = 0;
  const auto got = std::from_chars(text.data(), text.data() + text.size(), number);
  return got.ec == std::errc() && got.ptr == text.data() + text.size() ? number : 0;
}

// The place a journal's run took in the order of the runs, from its first
// records; 0 for a run that took none.
std::size_t SequenceOf(platform::UserFiles& files, const std::string& path) {
  // Its first line and its run's record, which holds the options as typed:
  // as long as they are.
  std::string head;
  files.ScanFile(path, [&](std::string_view piece) {
    if (std::count(head.begin(), head.end(), '\n') < 2) head.append(piece);
  });
  const HistoryRead read = ReadHistory(head);
  return read.runs.empty() ? 0 : read.runs.front().sequence;
}

// The highest sequence that a run of the journals in folder took.
std::size_t HighestInJournals(platform::UserFiles& files,
                              const std::string& folder) {
  std::vector<platform::StoredFile> stored;
  if (!files.ListStored(folder, stored)) return 0;
  std::size_t highest = 0;
  for (const platform::StoredFile& f : stored)
    if (f.name.ends_with(kRunEnding))
      highest = std::max(highest, SequenceOf(files, folder + f.name));
  return highest;
}

}  // namespace

std::size_t TakeSequence(platform::UserFiles& files, const std::string& folder) {
  const std::string path = folder + std::string(kSequenceFile);
  platform::OpenedJournal opened;
  const auto until = std::chrono::steady_clock::now() + kSequenceWait;
  for (;;) {
    opened = files.CreateJournal(path);
    if (opened.state == platform::JournalState::kExists)
      opened = files.OpenJournal(path);
    if (opened.state != platform::JournalState::kLocked ||
        std::chrono::steady_clock::now() >= until)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (opened.state != platform::JournalState::kOpen &&
      opened.state != platform::JournalState::kLocked)
    return 0;
  std::string tail;
  files.ScanFile(
      path, [&](std::string_view piece) { tail.append(piece); }, kSequenceTail);
  std::size_t last = LastTaken(tail);
  if (last == 0) last = HighestInJournals(files, folder);
  // Taken even where it cannot be written: the next run may take it too,
  // and the two are then ordered by their ids.
  if (opened.file) {
    // A number cut short by a kill stays a line of its own.
    const std::string line = (tail.empty() || tail.back() == '\n' ? "" : "\n") +
                             std::to_string(last + 1) + "\n";
    if (opened.file->Append(line)) opened.file->Sync();
  }
  return last + 1;
}

bool OlderJournal(const platform::StoredFile& a, const platform::StoredFile& b) {
  auto stem = [](const std::string& name) {
    return std::string_view(name).substr(0, name.rfind('.'));
  };
  return stem(a.name) < stem(b.name);
}

std::string SizeText(std::uint64_t bytes, bool tenths) {
  static const char* const kUnits[] = {" GiB", " MiB", " KiB"};
  for (int i = 0; i < 3; ++i) {
    const std::uint64_t unit = std::uint64_t{1} << (30 - 10 * i);
    if (bytes < unit) continue;
    const std::uint64_t whole = bytes / unit;
    if (!tenths || whole >= 10) return std::to_string(whole) + kUnits[i];
    const std::uint64_t tenth = bytes % unit * 10 / unit;  // never rounded up
    return std::to_string(whole) + "." + std::to_string(tenth) + kUnits[i];
  }
  return std::to_string(bytes) + " bytes";
}

std::string MakeRunId(std::string_view start_time, long process,
                      std::uint32_t random) {
  std::string id;
  for (char c : start_time)
    if (c != ':') id += c;
  static const char kHex[] = "0123456789abcdef";
  id += "-" + std::to_string(process) + "-";
  for (int shift = 28; shift >= 0; shift -= 4) id += kHex[(random >> shift) & 0xF];
  return id;
}

Journal OpenJournal(platform::UserFiles& user_files, platform::Console& console,
                    bool keep_history, const std::string& start_time,
                    long process, std::uint32_t random, std::string options) {
  Journal j;
  j.options = std::move(options);
  j.console = &console;
  j.user_files = &user_files;
  if (keep_history) j.path = user_files.UserFilePath(platform::UserFile::kRuns);
  j.start_time = start_time;
  j.run_id = MakeRunId(start_time, process, random);
  return j;
}

namespace {

// Whether the journal may take a record: false when it must not (the
// record's step is then not made); no_file when the run keeps no history.
bool Ready(Journal& j, platform::FileSystem& files, bool& no_file) {
  no_file = false;
  if (j.Stops()) return false;
  if (j.path.empty()) {
    no_file = true;
    return true;
  }
  if (!j.file && !Start(j, files)) {
    j.console->PrintError("namewisp: the undo history " + j.path +
                          " cannot be used; renaming without it");
    j.path.clear();
    no_file = true;
  }
  return true;
}

// The folder's absolute path and identity, asked once a listing; where its
// file system keeps no numbers of its entries, it is known by its path
// alone (by_name).
void Place(platform::FileSystem& files, const platform::Folder& folder,
           std::string& path, const platform::FolderHandle*& handle,
           std::string& absolute, platform::EntryId& id, bool& by_name) {
  if (!absolute.empty() && folder.path == path && folder.handle.get() == handle)
    return;
  path = folder.path;
  handle = folder.handle.get();
  const platform::FolderFacts facts = files.DescribeFolder(folder);
  absolute = facts.absolute;
  by_name = !KeepsEntryNumbers(facts.volume_type);
  id = by_name ? platform::EntryId{} : files.Stat(folder, ".").id;
}

// The entry's identity as the record keeps it.
platform::EntryId EntryIdentity(platform::FileSystem& files,
                                const platform::Folder& folder,
                                const platform::Entry& entry, bool by_name) {
  return by_name          ? files.Stat(folder, entry.name).stamp
         : entry.id.known ? entry.id
                          : files.Stat(folder, entry.name).id;
}

// The facts of step number's entry, where the system tells them: what a
// copy may lose and undo gives back.
void AppendFacts(Journal& j, std::size_t number,
                 const platform::EntryFacts& facts) {
  if (!facts.known) return;
  AppendUnsealed(j.pending, {.kind = RecordKind::kFacts,
                           .run_id = j.run_id,
                           .number = number,
                           .facts = facts});
}

// False, said, when the records pending since `before` would take the run
// past the most it records: they go, and the run stops here.
bool Fits(Journal& j, std::size_t before) {
  if (j.written + j.pending.size() <= RunLimit(*j.user_files)) return true;
  j.pending.resize(before);
  j.full = true;
  j.console->PrintError(
      "namewisp: the undo history " + j.path + " holds the most one run "
      "records (" + SizeText(RunLimit(*j.user_files)) + "): the run stops "
      "here, and what it renamed can be undone");
  return false;
}

// A record's number once it is in the pending write: none when the journal
// must not take it, when write finds no path that undo could reach (better
// not made than made beyond undo), or when it would not fit.
template <typename Write>
std::size_t Numbered(Journal& j, platform::FileSystem& files, Write write) {
  bool no_file = false;
  if (!Ready(j, files, no_file)) return kNotRecorded;
  if (no_file) return j.recorded++;
  const std::size_t before = j.pending.size();
  if (!write() || !Fits(j, before)) return kNotRecorded;
  return j.recorded++;
}

}  // namespace

std::size_t RecordRename(Journal& j, platform::FileSystem& files,
                         const platform::Folder& folder,
                         const platform::Entry& entry,
                         std::string_view new_name) {
  return Numbered(j, files, [&] {
    Place(files, folder, j.folder, j.folder_handle, j.absolute_folder,
          j.folder_id, j.by_name);
    if (j.absolute_folder.empty()) return false;
    AppendUnsealed(j.pending,
                 {.kind = RecordKind::kRename,
                  .run_id = j.run_id,
                  .number = j.recorded,
                  .directory = j.absolute_folder,
                  .old_name = entry.name,
                  .new_name = new_name,
                  .id = EntryIdentity(files, folder, entry, j.by_name),
                  .folder_id = j.folder_id});
    return true;
  });
}

std::size_t RecordMove(Journal& j, platform::FileSystem& files,
                       const platform::Folder& from,
                       const platform::Entry& entry, const platform::Folder& to,
                       std::string_view new_name, StepKind kind) {
  return Numbered(j, files, [&] {
    Place(files, from, j.folder, j.folder_handle, j.absolute_folder,
          j.folder_id, j.by_name);
    Place(files, to, j.to_folder, j.to_handle, j.to_absolute, j.to_folder_id,
          j.to_by_name);
    if (j.absolute_folder.empty() || j.to_absolute.empty()) return false;
    if (!j.folder_facts.count(j.absolute_folder))
      j.folder_facts[j.absolute_folder] = files.Stat(from, ".").facts;
    AppendUnsealed(j.pending, {.kind = kind == StepKind::kLink   ? RecordKind::kLink
                                     : kind == StepKind::kCopy ? RecordKind::kCopy
                                                               : RecordKind::kMove,
                             .run_id = j.run_id,
                             .number = j.recorded,
                             .directory = j.absolute_folder,
                             .old_name = entry.name,
                             .to_directory = j.to_absolute,
                             .new_name = new_name,
                             .id = EntryIdentity(files, from, entry,
                                                 j.by_name || j.to_by_name),
                             .folder_id = j.folder_id,
                             .to_folder_id = j.to_folder_id});
    return true;
  });
}

std::size_t RecordFolder(Journal& j, platform::FileSystem& files,
                         const platform::Folder& parent, std::string_view name) {
  return Numbered(j, files, [&] {
    Place(files, parent, j.parent_folder, j.parent_handle, j.parent_absolute,
          j.parent_folder_id, j.parent_by_name);
    if (j.parent_absolute.empty()) return false;
    AppendUnsealed(j.pending, {.kind = RecordKind::kFolder,
                             .run_id = j.run_id,
                             .number = j.recorded,
                             .directory = j.parent_absolute,
                             .new_name = name,
                             .folder_id = j.parent_folder_id});
    return true;
  });
}

bool RecordCopy(Journal& j, std::size_t number, bool copied,
                platform::EntryId id, bool back, const platform::EntryFacts& had) {
  if (j.Stops()) return false;
  if (j.path.empty()) return true;
  AppendUnsealed(j.pending,
               {.kind = copied ? RecordKind::kCopied : RecordKind::kAcross,
                .run_id = j.run_id,
                .number = number,
                .id = id,
                .back = back});
  AppendFacts(j, number, had);
  return WriteJournal(j, true);
}

std::size_t RecordRemoved(Journal& j, platform::FileSystem& files,
                          const platform::Folder& parent,
                          const platform::Folder& folder, std::string_view name) {
  return Numbered(j, files, [&] {
    Place(files, parent, j.folder, j.folder_handle, j.absolute_folder,
          j.folder_id, j.by_name);
    if (j.absolute_folder.empty()) return false;
    AppendUnsealed(j.pending, {.kind = RecordKind::kRemoved,
                             .run_id = j.run_id,
                             .number = j.recorded,
                             .directory = j.absolute_folder,
                             .new_name = name,
                             .id = j.by_name ? platform::EntryId{}
                                             : files.Stat(folder, ".").id,
                             .folder_id = j.folder_id,
                             .mode = files.DescribeFolder(folder).mode});
    const auto before = j.folder_facts.find(
        j.absolute_folder + std::string(name) + j.absolute_folder.back());
    AppendFacts(j, j.recorded,
                before != j.folder_facts.end() ? before->second
                                               : files.Stat(folder, ".").facts);
    return true;
  });
}

void NoteMadeFolder(Journal& j, platform::FileSystem& files,
                    const platform::Folder& parent, const platform::Folder& made,
                    std::string_view name) {
  if (j.path.empty() || !made.handle) return;
  Place(files, parent, j.parent_folder, j.parent_handle, j.parent_absolute,
        j.parent_folder_id, j.parent_by_name);
  if (j.parent_absolute.empty()) return;
  j.to_folder = made.path;
  j.to_handle = made.handle.get();
  j.to_absolute = j.parent_absolute;
  j.to_absolute.append(name).push_back(j.parent_absolute.back());
  j.to_by_name = j.parent_by_name;
  j.to_folder_id = j.parent_by_name ? platform::EntryId{} : made.id;
}

void RecordMade(Journal& j, std::size_t number) {
  if (j.path.empty()) return;
  if (j.made_count > 0 && j.made_first + j.made_count == number) {
    ++j.made_count;
    return;
  }
  MakeMarks(j);
  j.made_first = number;
  j.made_count = 1;
}

bool WriteJournal(Journal& j, bool sync) {
  if (j.broken) return false;
  if (j.path.empty()) {
    j.pending.clear();  // a journal that writes nowhere keeps nothing
    return true;
  }
  MakeMarks(j);
  if (!j.file && j.pending.empty()) return true;  // none started yet
  SealRecords(j.pending);  // no line goes out open
  if (j.torn && !j.pending.empty()) {
    // The torn line stays one of its own, marked as cut short.
    j.pending.insert(0, std::string(kTornEnd) + "\n");
    j.torn = false;
  }
  const bool written = j.file &&
                       (j.pending.empty() || j.file->Append(j.pending)) &&
                       (!sync || j.file->Sync());
  j.written += j.pending.size();
  j.pending.clear();  // its room is kept for the next batch
  if (!written) {
    j.console->PrintError("namewisp: the undo history " + j.path +
                          " cannot be written" + std::string(j.unwritten));
    j.broken = true;
  }
  return written;
}

void CloseJournal(Journal& j) {
  if (j.path.empty() || !j.file || j.broken) return;
  MakeMarks(j);
  j.pending += FormatEnd(j.run_id, j.recorded);
  WriteJournal(j, true);
  j.file.reset();  // the lock goes with it
  // The batch's room goes now, while the run's plan is still held: freed
  // after it, so large a block makes the allocator sweep every small one
  // the plan freed (a sixtieth of a run of 100,000 renames).
  std::string().swap(j.pending);
}

bool JournalUndone(platform::UserFiles& files, const std::string& path) {
  std::string tail;
  const platform::FileText file = files.ScanFile(
      path, [&](std::string_view piece) { tail.append(piece); }, kTail);
  return file.read && EndsUndone(tail);
}

void TrimJournals(platform::UserFiles& files, const std::string& folder,
                  std::string_view own) {
  std::vector<platform::StoredFile> runs;
  if (!files.ListStored(folder, runs)) return;
  std::erase_if(runs, [&](const platform::StoredFile& f) {
    return !f.name.ends_with(kRunEnding) || f.name == own;
  });
  std::size_t count = runs.size() + 1;  // with this run's own
  if (count <= kRunsKept) return;
  std::uint64_t bytes = 0;
  for (const platform::StoredFile& f : runs) bytes += f.bytes;
  // Oldest first, as undo orders them: by the place each run took, those
  // that took none by their ids, which begin with the time they started
  // (a clock that stepped back misorders only those).
  std::sort(runs.begin(), runs.end(), OlderJournal);
  std::vector<std::pair<std::size_t, platform::StoredFile>> order;
  for (platform::StoredFile& f : runs)
    order.emplace_back(SequenceOf(files, folder + f.name), std::move(f));
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < runs.size(); ++i) runs[i] = std::move(order[i].second);
  std::vector<bool> removed(runs.size(), false);
  auto remove = [&](std::size_t i) {
    if (!files.RemoveJournal(folder + runs[i].name)) return;
    removed[i] = true;
    --count;
    bytes -= runs[i].bytes;
  };
  for (std::size_t i = 0; i < runs.size() && count > kRunsKept; ++i)
    if (JournalUndone(files, folder + runs[i].name)) remove(i);
  for (std::size_t i = 0;
       i < runs.size() && (count > kRunsCap || bytes > kJournalBytesCap); ++i)
    if (!removed[i]) remove(i);
}

}  // namespace app
