#include "app/history.h"

#include "app/history_format.h"

namespace app {
namespace {

void MakeMarks(Journal& j) {
  if (j.made_count == 0) return;
  j.pending += FormatMade(j.run_id, j.made_first, j.made_first + j.made_count - 1);
  j.made_count = 0;
}

// Reads the history before the run's first record: a foreign or unreadable
// file is left alone, an old one is cut to the runs kept.  Returns what must
// go in front of the first record ("" or a header or a line end), or false
// when the history cannot be used.
bool Prepare(Journal& j, RunServices& s, std::string& front) {
  const platform::FileText file = s.read_file(j.path);
  if (file.exists && !file.read) return false;
  if (!file.exists || file.text.empty()) {
    front = HistoryHeader();
    return true;
  }
  // The whole history is read only when it must be cut: counting its runs
  // needs no more than a look at the start of each line.
  if (!file.text.starts_with(HistoryHeader())) return false;
  std::size_t runs = 0;
  for (std::size_t at = file.text.find("\nrun\t"); at != std::string::npos;
       at = file.text.find("\nrun\t", at + 1)) {
    ++runs;
  }
  if (runs >= kHistoryRunsKept) {
    return s.replace_file(j.path, KeepLastRuns(file.text, kHistoryRunsKept - 1));
  }
  // A write cut short leaves a torn line: the next record starts afresh.
  if (file.text.back() != '\n') front = "\n";
  return true;
}

}  // namespace

Journal OpenJournal(RunServices& s, bool keep_history) {
  Journal j;
  if (keep_history && s.user_file_path && s.read_file && s.append_file)
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
