#include "app/history.h"

#include <algorithm>

#include "app/history_format.h"

namespace app {
namespace {

void MakeMarks(Journal& j) {
  if (j.made_count == 0) return;
  j.pending += FormatMade(j.run_id, j.made_first, j.made_first + j.made_count - 1);
  j.made_count = 0;
}

// Looks through the history before the run's first record, without holding
// it: a foreign or unreadable file is left alone, and only one that holds
// as many runs as are kept is read whole, to be cut.  Returns what must go
// in front of the first record ("", a header or a line end), or false when
// the history cannot be used.
bool Prepare(Journal& j, platform::FileSystem& files, std::string& front) {
  const std::string header = HistoryHeader();
  std::string start;  // the file's first bytes, up to a header's length
  std::string seen;   // the bytes of the piece, after the last of the one before
  std::size_t runs = 0;
  const std::string_view mark = "\nrun\t";
  const platform::FileText file =
      files.ScanFile(j.path, [&](std::string_view piece) {
        if (start.size() < header.size())
          start.append(piece.substr(0, header.size() - start.size()));
        // A mark split between two pieces is found whole: the last bytes of
        // one piece, fewer than a mark, go in front of the next.
        seen.erase(0, seen.size() - std::min(seen.size(), mark.size() - 1));
        seen.append(piece);
        for (std::size_t at = seen.find(mark); at != std::string::npos;
             at = seen.find(mark, at + 1))
          ++runs;
      });
  if (file.exists && !file.read) return false;
  if (!file.exists || start.empty()) {
    front = header;
    return true;
  }
  // An earlier namewisp's history goes on with records of this format: the
  // reader takes both.
  if (start != header && start != "namewisp history 1\n") return false;
  if (runs >= kHistoryRunsKept) {
    // Cut while no other run writes: what another run appends meanwhile
    // lands in the file that stays.
    return files.EditFile(j.path, [](std::string_view text) {
      return KeepLastRuns(text, kHistoryRunsKept - 1);
    });
  }
  // A write cut short leaves a torn line: the next record starts afresh.
  if (seen.empty() || seen.back() != '\n') front = "\n";
  return true;
}

}  // namespace

Journal OpenJournal(platform::FileSystem& files, bool keep_history,
                    const std::string& start_time, long process,
                    std::string options) {
  Journal j;
  j.options = std::move(options);
  if (keep_history) j.path = files.UserFilePath(platform::UserFile::kHistory);
  j.start_time = start_time;
  j.run_id = start_time + "-" + std::to_string(process);
  return j;
}

std::size_t RecordRename(Journal& j, platform::FileSystem& files,
                         const platform::Folder& folder,
                         const platform::Entry& entry,
                         std::string_view new_name) {
  if (j.path.empty()) return j.recorded++;
  if (j.absolute_folder.empty() || folder.path != j.folder ||
      folder.handle.get() != j.folder_handle) {
    j.folder = folder.path;
    j.folder_handle = folder.handle.get();
    j.absolute_folder = files.AbsolutePath(folder);
  }
  // Undo could not find it: better not made than made beyond undo.
  if (j.absolute_folder.empty()) return kNotRecorded;
  const platform::EntryId id =
      entry.id.known ? entry.id : files.Identify(folder, entry.name);
  AppendRename(j.pending, j.run_id, j.recorded, j.absolute_folder, entry.name,
               new_name, id);
  return j.recorded++;
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

void WriteJournal(Journal& j, platform::FileSystem& files,
                  platform::Console& console) {
  if (j.path.empty()) return;
  MakeMarks(j);
  if (j.pending.empty()) return;
  if (!j.started) {
    std::string front;
    if (!Prepare(j, files, front)) {
      console.PrintError("namewisp: the undo history " + j.path +
                    " cannot be used; renaming without it");
      j.path.clear();
      j.pending.clear();
      return;
    }
    j.pending.insert(
        0, front + FormatRunStart(j.run_id, j.start_time,
                                  files.AbsolutePath(platform::Folder{}),
                                  j.options));
  }
  const bool written = files.AppendFile(j.path, j.pending);
  j.pending.clear();  // its room is kept for the next batch
  if (!written) {
    if (!j.started) {
      console.PrintError("namewisp: the undo history " + j.path +
                    " cannot be written; renaming without it");
    } else {
      console.PrintError("namewisp: the undo history " + j.path +
                    " could not be written; the last renames cannot be undone");
    }
    j.path.clear();
    return;
  }
  j.started = true;
}

void CloseJournal(Journal& j, platform::FileSystem& files,
                  platform::Console& console) {
  if (j.path.empty() || !j.started) return;
  MakeMarks(j);
  j.pending += FormatEnd(j.run_id, j.recorded);
  WriteJournal(j, files, console);
}

}  // namespace app
