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
bool Prepare(Journal& j, RunServices& s, std::string& front) {
  const std::string header = HistoryHeader();
  std::string start;  // the file's first bytes, up to a header's length
  std::string seen;   // the bytes of the piece, after the last of the one before
  std::size_t runs = 0;
  const std::string_view mark = "\nrun\t";
  const platform::FileText file =
      s.scan_file(j.path, [&](std::string_view piece) {
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
  if (start != header) return false;
  if (runs >= kHistoryRunsKept) {
    const platform::FileText whole = s.read_file(j.path);
    return whole.read &&
           s.replace_file(j.path, KeepLastRuns(whole.text, kHistoryRunsKept - 1));
  }
  // A write cut short leaves a torn line: the next record starts afresh.
  if (seen.empty() || seen.back() != '\n') front = "\n";
  return true;
}

}  // namespace

Journal OpenJournal(RunServices& s, bool keep_history) {
  Journal j;
  if (keep_history && s.user_file_path && s.read_file && s.scan_file &&
      s.append_file)
    j.path = s.user_file_path(platform::UserFile::kHistory);
  if (!j.path.empty())
    j.run_id = s.utc_now() + "-" + std::to_string(s.process_number());
  return j;
}

std::size_t RecordRename(Journal& j, RunServices& s, std::string_view directory,
                         std::string_view old_name, std::string_view new_name) {
  if (j.path.empty()) return j.recorded++;
  if (j.absolute_folder.empty() || directory != j.folder) {
    j.folder = std::string(directory);
    j.absolute_folder = s.absolute_folder(directory);
  }
  AppendRename(j.pending, j.run_id, j.absolute_folder, old_name, new_name);
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

void WriteJournal(Journal& j, RunServices& s) {
  if (j.path.empty()) return;
  MakeMarks(j);
  if (j.pending.empty()) return;
  if (!j.started) {
    std::string front;
    if (!Prepare(j, s, front)) {
      s.print_error("namewisp: the undo history " + j.path +
                    " cannot be used; renaming without it");
      j.path.clear();
      j.pending.clear();
      return;
    }
    j.pending.insert(0, front + FormatRunStart(j.run_id, s.utc_now()));
  }
  const bool written = s.append_file(j.path, j.pending);
  j.pending.clear();  // its room is kept for the next batch
  if (!written) {
    if (!j.started) {
      s.print_error("namewisp: the undo history " + j.path +
                    " cannot be written; renaming without it");
    } else {
      s.print_error("namewisp: the undo history " + j.path +
                    " could not be written; the last renames cannot be undone");
    }
    j.path.clear();
    return;
  }
  j.started = true;
}

}  // namespace app
