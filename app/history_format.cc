#include "app/history_format.h"

#include <cstdint>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <unordered_map>

#include "text/utf8.h"

namespace app {

namespace {

constexpr std::string_view kHeader = "namewisp history 3";
constexpr std::string_view kHeaderV2 = "namewisp history 2";
constexpr std::string_view kHeaderV1 = "namewisp history 1";

bool KnownHeader(std::string_view line) {
  return line == kHeader || line == kHeaderV2 || line == kHeaderV1;
}
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

// The identity's text in a buffer of the caller's: a run writes one per
// rename.
std::string_view IdText(platform::EntryId id, char (&text)[40]) {
  if (!id.known) return "-";
  char* end = text;
  if (id.by_name) *end++ = '=';
  end = std::to_chars(end, text + 21, id.volume, 16).ptr;
  *end++ = ':';
  end = std::to_chars(end, text + sizeof text, id.index, 16).ptr;
  return std::string_view(text, static_cast<std::size_t>(end - text));
}

bool ParseHex(std::string_view text, std::uint64_t& value) {
  if (text.empty() || text.size() > 16) return false;
  const auto got = std::from_chars(text.data(), text.data() + text.size(),
                                   value, 16);
  return got.ec == std::errc() && got.ptr == text.data() + text.size();
}

bool ParseId(std::string_view text, platform::EntryId& id) {
  id = {};
  if (text == "-") return true;
  if (text.starts_with('=')) {
    text.remove_prefix(1);
    id.by_name = true;
  }
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  id.known = ParseHex(text.substr(0, colon), id.volume) &&
             ParseHex(text.substr(colon + 1), id.index);
  return id.known;
}

// A folder's mode, in octal: its permission bits (POSIX) or attributes
// (Windows).
bool ParseMode(std::string_view text, std::uint32_t& mode) {
  if (text.empty() || text.size() > 11) return false;
  const auto got =
      std::from_chars(text.data(), text.data() + text.size(), mode, 8);
  return got.ec == std::errc() && got.ptr == text.data() + text.size();
}

// "n" or "n-m", each at most limit.
bool ParseRange(std::string_view text, std::size_t& first, std::size_t& last) {
  const std::size_t dash = text.find('-');
  auto number = [](std::string_view digits, std::size_t& value) {
    if (digits.empty() || digits.size() > 18) return false;
    const auto got =
        std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return got.ec == std::errc() && got.ptr == digits.data() + digits.size();
  };
  if (!number(text.substr(0, dash), first)) return false;
  if (dash == std::string_view::npos) {
    last = first;
    return true;
  }
  return number(text.substr(dash + 1), last) && first <= last;
}

// A folder as only an absolute path names it: "/..." or "C:\...", "\\...".
bool Absolute(std::string_view folder) {
  if (folder.starts_with("/") || folder.starts_with("\\\\")) return true;
  return folder.size() >= 3 && folder[1] == ':' &&
         (folder[2] == '\\' || folder[2] == '/');
}

// A name of one entry in its folder, never a way out of it.
bool PlainName(std::string_view name) {
  return name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// The reader's own state besides what it reads: where each run id stands.
struct Reader {
  HistoryRead& read;
  std::unordered_map<std::string, std::size_t> run_of;  // id -> latest index
  std::vector<std::size_t> next_number;  // an earlier record's implicit one

  HistoryRun* Run(const std::string& id) {
    const auto found = run_of.find(id);
    return found == run_of.end() ? nullptr : &read.runs[found->second];
  }
  // The renames numbered first to last of the run.
  template <typename Each>
  bool ForRange(HistoryRun& run, std::size_t first, std::size_t last,
                Each each) {
    auto r = std::lower_bound(
        run.renames.begin(), run.renames.end(), first,
        [](const HistoryRename& a, std::size_t n) { return a.number < n; });
    bool any = false;
    for (; r != run.renames.end() && r->number <= last; ++r) {
      each(*r);
      any = true;
    }
    return any;
  }
};

// Reads one record line (without its line end); returns what is wrong with
// it, or nothing.
std::string ReadRecord(std::string_view line, Reader& reader) {
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
  const std::size_t count = parts.size() - 1;
  const bool known_shape =
      kind == "run"      ? count == 2 || count == 4
      : kind == "rename" ? count == 4 || count == 6 || count == 7
      : kind == "move"   ? count == 9
      : kind == "folder" ? count == 5
      : kind == "removed" ? count == 7
      : kind == "made"   ? count == 2
      : kind == "undone" ? count == 1 || count == 2
      : kind == "end"    ? count == 2
      : kind == "across" ? count == 3
      : kind == "copied" ? count == 4
                         : false;
  if (!known_shape) {
    return kind == "run" || kind == "rename" || kind == "move" ||
                   kind == "folder" || kind == "removed" || kind == "made" ||
                   kind == "across" || kind == "copied" ||
                   kind == "undone" || kind == "end"
               ? "wrong number of fields"
               : "unknown kind of record";
  }
  std::vector<std::string> fields(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!Unescape(parts[i + 1], fields[i])) {
      return "bad escape or control byte in a field";
    }
    // Every field but a run's start time, folder and options names something.
    if (fields[i].empty() && !(kind == "run" && i >= 1)) return "empty field";
  }

  HistoryRead& read = reader.read;
  if (kind == "run") {
    HistoryRun run;
    run.id = fields[0];
    run.started = fields[1];
    if (count == 4) {
      run.folder = fields[2];
      run.options = fields[3];
    }
    reader.run_of[run.id] = read.runs.size();
    read.runs.push_back(std::move(run));
    reader.next_number.push_back(0);
    return {};
  }
  HistoryRun* run = reader.Run(fields[0]);
  if (kind == "rename") {
    if (!run) return "rename outside its run";
    HistoryRename rename;
    const bool numbered = count >= 6;
    std::size_t last = 0;
    const std::size_t at = static_cast<std::size_t>(run - read.runs.data());
    if (numbered) {
      if (!ParseRange(fields[1], rename.number, last) || last != rename.number)
        return "bad number";
      if (!ParseId(fields[5], rename.id)) return "bad entry identity";
      if (count == 7 && !ParseId(fields[6], rename.folder_id))
        return "bad folder identity";
    } else {
      rename.number = reader.next_number[at];
    }
    const std::size_t d = numbered ? 2 : 1;
    rename.directory = std::move(fields[d]);
    rename.old_name = std::move(fields[d + 1]);
    rename.new_name = std::move(fields[d + 2]);
    if (!Absolute(rename.directory)) return "a folder that is not absolute";
    if (!PlainName(rename.old_name) || !PlainName(rename.new_name))
      return "a name that is no entry of its folder";
    if (!run->renames.empty() && run->renames.back().number >= rename.number)
      return "a rename out of order";
    reader.next_number[at] = rename.number + 1;
    run->renames.push_back(std::move(rename));
    return {};
  }
  if (kind == "move" || kind == "folder" || kind == "removed") {
    if (!run) return "rename outside its run";
    HistoryRename step;
    std::size_t last = 0;
    if (!ParseRange(fields[1], step.number, last) || last != step.number)
      return "bad number";
    step.directory = std::move(fields[2]);
    if (kind == "move") {
      step.kind = StepKind::kMove;
      step.old_name = std::move(fields[3]);
      step.to_directory = std::move(fields[4]);
      step.new_name = std::move(fields[5]);
      if (!ParseId(fields[6], step.id)) return "bad entry identity";
      if (!ParseId(fields[7], step.folder_id) ||
          !ParseId(fields[8], step.to_folder_id))
        return "bad folder identity";
      if (!Absolute(step.to_directory)) return "a folder that is not absolute";
      if (!PlainName(step.old_name)) return "a name that is no entry of its folder";
    } else if (kind == "folder") {
      step.kind = StepKind::kFolder;
      step.new_name = std::move(fields[3]);
      if (!ParseId(fields[4], step.folder_id)) return "bad folder identity";
    } else {
      step.kind = StepKind::kRemoved;
      step.new_name = std::move(fields[3]);
      if (!ParseMode(fields[4], step.mode)) return "bad folder mode";
      if (!ParseId(fields[5], step.folder_id) || !ParseId(fields[6], step.id))
        return "bad folder identity";
    }
    if (!Absolute(step.directory)) return "a folder that is not absolute";
    if (!PlainName(step.new_name)) return "a name that is no entry of its folder";
    if (!run->renames.empty() && run->renames.back().number >= step.number)
      return "a rename out of order";
    const std::size_t at = static_cast<std::size_t>(run - read.runs.data());
    reader.next_number[at] = step.number + 1;
    run->renames.push_back(std::move(step));
    return {};
  }
  if (kind == "across" || kind == "copied") {
    if (!run) return "copy outside its run";
    std::size_t first = 0, last = 0;
    if (!ParseRange(fields[1], first, last) || first != last) return "bad number";
    if (fields[2] != "to" && fields[2] != "back") return "bad way of a copy";
    const bool back = fields[2] == "back";
    platform::EntryId id;
    if (kind == "copied" && (!ParseId(fields[3], id) || !id.known))
      return "bad entry identity";
    bool moves = false;
    if (!reader.ForRange(*run, first, last, [&](HistoryRename& r) {
          moves = r.kind == StepKind::kMove;
          if (!moves) return;
          if (kind == "across") {
            (back ? r.back : r.across) = true;
          } else {
            (back ? r.back_copied : r.copied) = true;
            (back ? r.back_id : r.copy_id) = id;
          }
        }) ||
        !moves)
      return "copy of a move not recorded";
    return {};
  }
  if (kind == "end") {
    if (!run) return "end of a run not in the history";
    run->ended = true;
    return {};
  }
  if (kind == "undone" && count == 1) {
    // The latest run of that id not yet undone, so that a repeated id still
    // undoes each run once.
    for (auto r = read.runs.rbegin(); r != read.runs.rend(); ++r) {
      if (r->id == fields[0] && !r->undone) {
        r->undone = true;
        return {};
      }
    }
    return "undone mark for a run not in the history";
  }
  if (!run) return kind == "made" ? "made mark outside its run"
                                  : "undone mark for a run not in the history";
  std::size_t first = 0, last = 0;
  if (!ParseRange(fields[1], first, last)) return "bad number";
  const bool made = kind == "made";
  if (!reader.ForRange(*run, first, last, [&](HistoryRename& r) {
        (made ? r.made : r.undone) = true;
      }))
    return "mark for a rename not recorded";
  return {};
}

}  // namespace

std::string HistoryHeader() {
  return std::string(kHeader) + '\n';
}

std::string FormatRunStart(std::string_view id, std::string_view started,
                           std::string_view folder, std::string_view options) {
  return Record("run", {id, started, folder, options});
}

std::string FormatRename(std::string_view run_id, const HistoryRename& rename) {
  std::string line;
  AppendRename(line, run_id, rename.number, rename.directory, rename.old_name,
               rename.new_name, rename.id, rename.folder_id);
  return line;
}

void AppendRename(std::string& out, std::string_view run_id, std::size_t number,
                  std::string_view directory, std::string_view old_name,
                  std::string_view new_name, platform::EntryId id,
                  platform::EntryId folder_id) {
  char number_text[24], id_text[40], folder_text[40];
  const std::string_view number_view(
      number_text,
      static_cast<std::size_t>(
          std::to_chars(number_text, number_text + sizeof number_text, number)
              .ptr -
          number_text));
  AppendRecord(out, "rename",
               {run_id, number_view, directory, old_name, new_name,
                IdText(id, id_text), IdText(folder_id, folder_text)});
}

void AppendMove(std::string& out, std::string_view run_id, std::size_t number,
                std::string_view directory, std::string_view old_name,
                std::string_view to_directory, std::string_view new_name,
                platform::EntryId id, platform::EntryId folder_id,
                platform::EntryId to_folder_id) {
  char id_text[40], folder_text[40], to_text[40];
  const std::string n = std::to_string(number);
  AppendRecord(out, "move",
               {run_id, n, directory, old_name, to_directory, new_name,
                IdText(id, id_text), IdText(folder_id, folder_text),
                IdText(to_folder_id, to_text)});
}

void AppendFolder(std::string& out, std::string_view run_id, std::size_t number,
                  std::string_view parent, std::string_view name,
                  platform::EntryId parent_id) {
  char parent_text[40];
  const std::string n = std::to_string(number);
  AppendRecord(out, "folder",
               {run_id, n, parent, name, IdText(parent_id, parent_text)});
}

void AppendCopy(std::string& out, std::string_view run_id, std::size_t number,
                bool back, bool copied, platform::EntryId id) {
  char id_text[40];
  const std::string n = std::to_string(number);
  const std::string_view way = back ? "back" : "to";
  if (copied) {
    AppendRecord(out, "copied", {run_id, n, way, IdText(id, id_text)});
  } else {
    AppendRecord(out, "across", {run_id, n, way});
  }
}

void AppendRemoved(std::string& out, std::string_view run_id,
                   std::size_t number, std::string_view parent,
                   std::string_view name, std::uint32_t mode,
                   platform::EntryId parent_id, platform::EntryId id) {
  char parent_text[40], id_text[40];
  char mode_text[16];
  std::snprintf(mode_text, sizeof mode_text, "%o", static_cast<unsigned>(mode));
  const std::string n = std::to_string(number);
  AppendRecord(out, "removed",
               {run_id, n, parent, name, mode_text,
                IdText(parent_id, parent_text), IdText(id, id_text)});
}

namespace {
std::string Range(std::size_t first, std::size_t last) {
  std::string numbers = std::to_string(first);
  if (last != first) numbers += "-" + std::to_string(last);
  return numbers;
}
}  // namespace

std::string FormatMade(std::string_view run_id, std::size_t first,
                       std::size_t last) {
  return Record("made", {run_id, Range(first, last)});
}

std::string FormatUndone(std::string_view run_id, std::size_t first,
                         std::size_t last) {
  return Record("undone", {run_id, Range(first, last)});
}

std::string FormatEnd(std::string_view run_id, std::size_t count) {
  return Record("end", {run_id, std::to_string(count)});
}

std::string FormatRunUndone(std::string_view run_id) {
  return Record("undone", {run_id});
}

namespace {

// Reads the lines of text into the reader's history; false when its first
// line is not a history's.
bool ReadLines(std::string_view text, Reader& reader,
               std::vector<std::string>& problems) {
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
      if (KnownHeader(line)) continue;
      const bool newer = line.size() > kHeaderStart.size() &&
                         line.substr(0, kHeaderStart.size()) == kHeaderStart;
      problems.push_back(
          newer ? "line 1: written in a newer format than this namewisp reads"
                : "line 1: not a namewisp history");
      return false;
    }
    // Empty, or the first line again: two runs that started the file at
    // the same time each wrote it.
    if (line.empty() || KnownHeader(line)) continue;
    // No record is this long: names are short, and even a folder past the
    // longest path takes less.
    const std::string problem =
        line.size() > (std::size_t{1} << 20) ? "a line too long"
                                             : ReadRecord(line, reader);
    if (!problem.empty()) {
      problems.push_back("line " + std::to_string(number) + ": " +
                         (cut ? "cut short" : problem));
    }
  }
  return true;
}

}  // namespace

HistoryRead ReadHistory(std::string_view text) {
  HistoryRead read;
  Reader reader{read, {}, {}};
  read.known_format = ReadLines(text, reader, read.problems) && !text.empty();
  return read;
}

std::vector<std::string> ReadMore(HistoryRead& read, std::string_view text) {
  Reader reader{read, {}, {}};
  for (std::size_t i = 0; i < read.runs.size(); ++i) {
    reader.run_of[read.runs[i].id] = i;
    const auto& renames = read.runs[i].renames;
    reader.next_number.push_back(renames.empty() ? 0 : renames.back().number + 1);
  }
  std::vector<std::string> problems;
  ReadLines(text, reader, problems);
  return problems;
}

bool EndsUndone(std::string_view text) {
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  const std::size_t start = text.rfind('\n');
  if (start == std::string_view::npos) return false;
  const std::string_view line = text.substr(start + 1);
  const std::size_t last_tab = line.rfind('\t');
  if (last_tab == std::string_view::npos) return false;
  const std::string_view payload = line.substr(0, last_tab);
  return payload.starts_with("undone\t") &&
         payload.find('\t', 7) == std::string_view::npos &&
         CheckMatches(payload, line.substr(last_tab + 1));
}

bool RunUndone(const HistoryRun& run) {
  return run.undone ||
         std::all_of(run.renames.begin(), run.renames.end(),
                     [](const HistoryRename& r) { return r.undone; });
}

bool RunPartlyUndone(const HistoryRun& run) {
  return !RunUndone(run) &&
         std::any_of(run.renames.begin(), run.renames.end(),
                     [](const HistoryRename& r) { return r.undone; });
}

}  // namespace app
