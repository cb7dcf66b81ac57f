#include "app/history_format.h"

#include <cstdint>
#include <initializer_list>

#include "text/utf8.h"

namespace app {

namespace {

constexpr std::string_view kHeader = "namewisp history 1";
constexpr std::string_view kHeaderStart = "namewisp history ";
constexpr char kHexDigits[] = "0123456789abcdef";

// Whether the byte stands for itself in a field: printable ASCII but the
// backslash.
bool Plain(unsigned char c) { return c >= 0x20 && c < 0x7F && c != '\\'; }

void AppendEscaped(std::string& out, std::string_view field) {
  std::size_t i = 0;
  while (i < field.size()) {
    // A run of bytes that stand as they are goes in one append: names are
    // mostly plain, and a run of 100,000 renames writes them all.
    std::size_t end = i;
    while (end < field.size()) {
      const auto c = static_cast<unsigned char>(field[end]);
      if (Plain(c)) {
        ++end;
        continue;
      }
      const std::size_t utf8 = c >= 0x80 ? text::DecodeUtf8(field, end).length : 0;
      if (utf8 == 0) break;
      end += utf8;
    }
    out.append(field.substr(i, end - i));
    if (end == field.size()) return;
    const auto c = static_cast<unsigned char>(field[end]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    }
    i = end + 1;
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// False when the field holds a bare control byte (never written) or an
// escape that is not one of ours.
bool Unescape(std::string_view field, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto c = static_cast<unsigned char>(field[i]);
    if (c < 0x20 || c == 0x7F) return false;
    if (c != '\\') {
      out += static_cast<char>(c);
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 'x': {
        if (field.size() - i < 3) return false;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

std::uint32_t Fnv1a(std::string_view bytes) {
  std::uint32_t hash = 2166136261u;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

// Appends one record to out: a run's records are written many at a time.
void AppendRecord(std::string& out, std::string_view kind,
                  std::initializer_list<std::string_view> fields) {
  const std::size_t start = out.size();
  out.append(kind);
  for (std::string_view field : fields) {
    out += '\t';
    AppendEscaped(out, field);
  }
  const std::uint32_t check = Fnv1a(std::string_view(out).substr(start));
  out += '\t';
  for (int shift = 28; shift >= 0; shift -= 4) {
    out += kHexDigits[(check >> shift) & 0xF];
  }
  out += '\n';
}

std::string Record(std::string_view kind,
                   std::initializer_list<std::string_view> fields) {
  std::string line;
  AppendRecord(line, kind, fields);
  return line;
}

bool CheckMatches(std::string_view payload, std::string_view check) {
  if (check.size() != 8) return false;
  std::uint32_t value = 0;
  for (char c : check) {
    const int digit = HexValue(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value == Fnv1a(payload);
}

// Reads one record line (without its line end) into `read`; returns what is
// wrong with it, or nothing.
std::string ReadRecord(std::string_view line, HistoryRead& read) {
  const std::size_t last_tab = line.rfind('\t');
  if (last_tab == std::string_view::npos) return "not a record";
  const std::string_view payload = line.substr(0, last_tab);
  if (!CheckMatches(payload, line.substr(last_tab + 1))) {
    return "damaged (its check does not match)";
  }

  std::vector<std::string_view> parts;  // the kind, then the fields
  for (std::size_t start = 0;;) {
    const std::size_t tab = payload.find('\t', start);
    parts.push_back(payload.substr(start, tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  const std::string_view kind = parts[0];
  const std::size_t wanted = kind == "run"      ? 2
                             : kind == "rename" ? 4
                             : kind == "made"   ? 2
                             : kind == "undone" ? 1
                                                : 0;
  if (wanted == 0) return "unknown kind of record";
  if (parts.size() != wanted + 1) return "wrong number of fields";
  std::vector<std::string> fields(wanted);
  for (std::size_t i = 0; i < wanted; ++i) {
    if (!Unescape(parts[i + 1], fields[i])) {
      return "bad escape or control byte in a field";
    }
    // Every field but a run's start time names something.
    if (fields[i].empty() && !(kind == "run" && i == 1)) return "empty field";
  }

  if (kind == "run") {
    read.runs.push_back({fields[0], fields[1], false, {}});
  } else if (kind == "rename") {
    // Only into the run opened last, never into one it merely names.
    if (read.runs.empty() || read.runs.back().id != fields[0]) {
      return "rename outside its run";
    }
    read.runs.back().renames.push_back({fields[1], fields[2], fields[3], false});
  } else if (kind == "made") {
    if (read.runs.empty() || read.runs.back().id != fields[0]) {
      return "made mark outside its run";
    }
    std::vector<HistoryRename>& renames = read.runs.back().renames;
    std::size_t numbers[2] = {0, 0};
    std::size_t which = 0;
    bool digit_seen = false;
    for (char c : fields[1]) {
      if (c == '-' && which == 0 && digit_seen) {
        which = 1;
        digit_seen = false;
        continue;
      }
      if (c < '0' || c > '9' || numbers[which] > renames.size()) {
        return "bad number";
      }
      numbers[which] = numbers[which] * 10 + static_cast<std::size_t>(c - '0');
      digit_seen = true;
    }
    if (!digit_seen) return "bad number";
    if (which == 0) numbers[1] = numbers[0];
    if (numbers[0] > numbers[1] || numbers[1] >= renames.size()) {
      return "made mark for a rename not recorded";
    }
    for (std::size_t n = numbers[0]; n <= numbers[1]; ++n) renames[n].made = true;
  } else {
    // The latest run of that id not yet undone, so that a repeated id still
    // undoes each run once.
    for (auto run = read.runs.rbegin(); run != read.runs.rend(); ++run) {
      if (run->id == fields[0] && !run->undone) {
        run->undone = true;
        return {};
      }
    }
    return "undone mark for a run not in the history";
  }
  return {};
}

}  // namespace

std::string HistoryHeader() {
  return std::string(kHeader) + '\n';
}

std::string FormatRunStart(std::string_view id, std::string_view started) {
  return Record("run", {id, started});
}

std::string FormatRename(std::string_view run_id, const HistoryRename& rename) {
  return Record("rename",
                {run_id, rename.directory, rename.old_name, rename.new_name});
}

void AppendRename(std::string& out, std::string_view run_id,
                  std::string_view directory, std::string_view old_name,
                  std::string_view new_name) {
  AppendRecord(out, "rename", {run_id, directory, old_name, new_name});
}

std::string FormatMade(std::string_view run_id, std::size_t first,
                       std::size_t last) {
  std::string numbers = std::to_string(first);
  if (last != first) numbers += "-" + std::to_string(last);
  return Record("made", {run_id, numbers});
}

std::string FormatUndone(std::string_view run_id) {
  return Record("undone", {run_id});
}

HistoryRead ReadHistory(std::string_view text) {
  HistoryRead read;
  std::size_t number = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    const bool cut = end == std::string_view::npos;
    if (cut) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    // Written with \r escaped, so a bare one can only be from a CR LF end.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (number == 1) {
      if (line == kHeader) {
        read.known_format = true;
        continue;
      }
      const bool newer = line.size() > kHeaderStart.size() &&
                         line.substr(0, kHeaderStart.size()) == kHeaderStart;
      read.problems.push_back(
          newer ? "line 1: written in a newer format than this namewisp reads"
                : "line 1: not a namewisp history");
      return read;
    }
    if (line.empty()) continue;
    const std::string problem = ReadRecord(line, read);
    if (!problem.empty()) {
      read.problems.push_back("line " + std::to_string(number) + ": " +
                              (cut ? "cut short" : problem));
    }
  }
  return read;
}

std::string KeepLastRuns(std::string_view text, std::size_t n) {
  const HistoryRead read = ReadHistory(text);
  if (!read.known_format) return std::string(text);
  std::string out = HistoryHeader();
  const std::size_t first = read.runs.size() > n ? read.runs.size() - n : 0;
  for (std::size_t i = first; i < read.runs.size(); ++i) {
    const HistoryRun& run = read.runs[i];
    out += FormatRunStart(run.id, run.started);
    for (const HistoryRename& rename : run.renames) {
      out += FormatRename(run.id, rename);
    }
    for (std::size_t r = 0; r < run.renames.size();) {
      if (!run.renames[r].made) {
        ++r;
        continue;
      }
      std::size_t last = r;
      while (last + 1 < run.renames.size() && run.renames[last + 1].made) ++last;
      out += FormatMade(run.id, r, last);
      r = last + 1;
    }
    if (run.undone) out += FormatUndone(run.id);
  }
  return out;
}

const HistoryRun* LastRunNotUndone(const HistoryRead& history) {
  for (auto run = history.runs.rbegin(); run != history.runs.rend(); ++run) {
    if (!run->undone) return &*run;
  }
  return nullptr;
}

}  // namespace app
