#include "app/journal/history_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "text/utf8.h"

namespace app {

namespace {

// Runs took their sequence in history 4: an earlier namewisp says it cannot
// read the journal rather than skip its runs as damaged.
constexpr std::string_view kHeader = "namewisp history 4";
constexpr std::string_view kHeaderV3 = "namewisp history 3";
constexpr std::string_view kHeaderV2 = "namewisp history 2";
constexpr std::string_view kHeaderV1 = "namewisp history 1";

bool KnownHeader(std::string_view line) {
  return line == kHeader || line == kHeaderV3 || line == kHeaderV2 ||
         line == kHeaderV1;
}
constexpr std::string_view kHeaderStart = "namewisp history ";
constexpr char kHexDigits[] = "0123456789abcdef";

// Whether the byte stands for itself in a field: printable ASCII but the
// backslash.  A table: a run writes every byte of every name through it.
constexpr auto kPlainBytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c) plain[c] = c != '\\';
  return plain;
}();
bool Plain(unsigned char c) { return kPlainBytes[c]; }

// Whether the eight bytes at p all stand for themselves: none below 0x20,
// above 0x7E or a backslash (each test is exact for whether any byte has
// it).
bool EightPlain(const char* p) {
  constexpr std::uint64_t kOnes = ~std::uint64_t{0} / 255, kHigh = kOnes * 128;
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  const std::uint64_t below = (x - kOnes * 0x20) & ~x & kHigh;
  const std::uint64_t above = ((x + kOnes * (127 - 0x7E)) | x) & kHigh;
  const std::uint64_t slash = x ^ (kOnes * '\\');
  const std::uint64_t backslash = (slash - kOnes) & ~slash & kHigh;
  return (below | above | backslash) == 0;
}

void AppendEscaped(std::string& out, std::string_view field) {
  std::size_t i = 0;
  while (i < field.size()) {
    // A run of bytes that stand as they are goes in one append: names are
    // mostly plain, and a run of 100,000 renames writes them all.  Eight
    // at a time again after each letter beyond ASCII.
    std::size_t end = i;
    while (end < field.size()) {
      if (end + 8 <= field.size() && EightPlain(field.data() + end)) {
        end += 8;
        continue;
      }
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

constexpr std::uint32_t kFnvStart = 2166136261u;

std::uint32_t FnvStep(std::uint32_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
}

std::uint32_t Fnv1a(std::string_view bytes, std::uint32_t hash = kFnvStart) {
  // Four bytes a turn: the same steps in the same order, with a quarter of
  // the loop's own work (a run checks every record it writes).
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  for (; end - p >= 4; p += 4) {
    hash = FnvStep(hash, p[0]);
    hash = FnvStep(hash, p[1]);
    hash = FnvStep(hash, p[2]);
    hash = FnvStep(hash, p[3]);
  }
  for (; p != end; ++p) hash = FnvStep(hash, *p);
  return hash;
}

// The hashes of four texts side by side: each step of one waits on the one
// before it, and the other three's steps fill that wait (a batch's checks
// take half the time they take one by one).
void Fnv1aOfFour(const std::string_view (&texts)[4], std::uint32_t (&hashes)[4]) {
  std::size_t common = texts[0].size();
  for (const std::string_view t : texts) common = std::min(common, t.size());
  std::uint32_t h0 = kFnvStart, h1 = kFnvStart, h2 = kFnvStart, h3 = kFnvStart;
  for (std::size_t i = 0; i < common; ++i) {
    h0 = FnvStep(h0, texts[0][i]);
    h1 = FnvStep(h1, texts[1][i]);
    h2 = FnvStep(h2, texts[2][i]);
    h3 = FnvStep(h3, texts[3][i]);
  }
  hashes[0] = Fnv1a(texts[0].substr(common), h0);
  hashes[1] = Fnv1a(texts[1].substr(common), h1);
  hashes[2] = Fnv1a(texts[2].substr(common), h2);
  hashes[3] = Fnv1a(texts[3].substr(common), h3);
}

// The check's eight hex digits, at the place of its text.
void WriteCheck(char* at, std::uint32_t check) {
  for (int k = 0; k < 8; ++k) at[k] = kHexDigits[(check >> (28 - 4 * k)) & 0xF];
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
std::string_view IdText(platform::EntryId id, char (&text)[48]) {
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

// A number of the text alone: a sign only where the value takes one.
template <typename Number>
bool ParseWhole(std::string_view text, Number& value, int base = 10) {
  if (text.empty() || text.size() > 21) return false;
  const auto got =
      std::from_chars(text.data(), text.data() + text.size(), value, base);
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
  std::vector<std::string> texts;        // a line's fields, unescaped

  HistoryRun* Run(std::string_view id) {
    const auto found = run_of.find(std::string(id));
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

// The fields a record may have, each written and read its own way.
enum class Field : unsigned char {
  kNone,  // past a row's last field
  kRunId,
  kStarted,  // a run's start time (UTC), may be empty
  kFolder,   // where a run started, may be empty
  kOptions,  // a run's options as typed, may be empty
  kSequence,  // a run's place in the history's order
  kNumber,   // a step's number
  kRange,    // "n" or "n-m": the steps a mark names
  kCount,    // the steps a run recorded
  kDirectory,
  kOldName,
  kToDirectory,
  kNewName,
  kEntry,  // "<volume>:<index>" in hex, "=<size>:<time>", or "-"
  kFolderEntry,
  kToFolderEntry,
  kCopyEntry,  // as kEntry, and never "-"
  kMode,       // octal
  kWay,        // "to", or "back" for undo's copy back
  // An entry's facts: owner and group ids, mode (octal), times (ns).
  kOwner,
  kGroup,
  kFactsMode,
  kAccessed,
  kModified,
};

constexpr std::size_t kMostFields = 9;

struct RecordRow;
using Apply = std::string (*)(const Record&, const RecordRow&, Reader&);

// A kind of record as one line holds it: its word, then its fields.
struct RecordRow {
  RecordKind kind;
  std::string_view word;
  Field fields[kMostFields];          // in the line's order
  Apply apply;                        // what it tells the history read so far
  StepKind step = StepKind::kRename;  // of a step's record

  std::size_t Count() const {
    std::size_t count = 0;
    while (count < kMostFields && fields[count] != Field::kNone) ++count;
    return count;
  }
  bool Has(Field field) const {
    return std::find(std::begin(fields), std::end(fields), field) !=
           std::end(fields);
  }
};

std::string ApplyRun(const Record&, const RecordRow&, Reader&);
std::string ApplyStep(const Record&, const RecordRow&, Reader&);
std::string ApplyCopy(const Record&, const RecordRow&, Reader&);
std::string ApplyFacts(const Record&, const RecordRow&, Reader&);
std::string ApplyMark(const Record&, const RecordRow&, Reader&);
std::string ApplyRunUndone(const Record&, const RecordRow&, Reader&);
std::string ApplyEnd(const Record&, const RecordRow&, Reader&);

using F = Field;
// Every kind of record: a kind is written as its first row, and read in
// each of its rows' shapes (the later ones are what earlier namewisps
// wrote).
constexpr RecordRow kRows[] = {
    {RecordKind::kRun,
     "run",
     {F::kRunId, F::kStarted, F::kFolder, F::kOptions, F::kSequence},
     ApplyRun},
    // History 3: without its sequence.
    {RecordKind::kRun,
     "run",
     {F::kRunId, F::kStarted, F::kFolder, F::kOptions},
     ApplyRun},
    // Before history 2: where and how the run began, unsaid.
    {RecordKind::kRun, "run", {F::kRunId, F::kStarted}, ApplyRun},
    {RecordKind::kRename,
     "rename",
     {F::kRunId, F::kNumber, F::kDirectory, F::kOldName, F::kNewName, F::kEntry,
      F::kFolderEntry},
     ApplyStep,
     StepKind::kRename},
    // History 2: without its folder's identity.
    {RecordKind::kRename,
     "rename",
     {F::kRunId, F::kNumber, F::kDirectory, F::kOldName, F::kNewName,
      F::kEntry},
     ApplyStep,
     StepKind::kRename},
    // History 1: numbered by their order in the run, without identities.
    {RecordKind::kRename,
     "rename",
     {F::kRunId, F::kDirectory, F::kOldName, F::kNewName},
     ApplyStep,
     StepKind::kRename},
    {RecordKind::kMove,
     "move",
     {F::kRunId, F::kNumber, F::kDirectory, F::kOldName, F::kToDirectory,
      F::kNewName, F::kEntry, F::kFolderEntry, F::kToFolderEntry},
     ApplyStep,
     StepKind::kMove},
    {RecordKind::kLink,
     "link",
     {F::kRunId, F::kNumber, F::kDirectory, F::kOldName, F::kToDirectory,
      F::kNewName, F::kEntry, F::kFolderEntry, F::kToFolderEntry},
     ApplyStep,
     StepKind::kLink},
    {RecordKind::kCopy,
     "copy",
     {F::kRunId, F::kNumber, F::kDirectory, F::kOldName, F::kToDirectory,
      F::kNewName, F::kEntry, F::kFolderEntry, F::kToFolderEntry},
     ApplyStep,
     StepKind::kCopy},
    {RecordKind::kFolder,
     "folder",
     {F::kRunId, F::kNumber, F::kDirectory, F::kNewName, F::kFolderEntry},
     ApplyStep,
     StepKind::kMakeFolder},
    {RecordKind::kRemoved,
     "removed",
     {F::kRunId, F::kNumber, F::kDirectory, F::kNewName, F::kMode,
      F::kFolderEntry, F::kEntry},
     ApplyStep,
     StepKind::kRemoveFolder},
    {RecordKind::kAcross,
     "across",
     {F::kRunId, F::kNumber, F::kWay},
     ApplyCopy},
    {RecordKind::kCopied,
     "copied",
     {F::kRunId, F::kNumber, F::kWay, F::kCopyEntry},
     ApplyCopy},
    {RecordKind::kFacts,
     "facts",
     {F::kRunId, F::kNumber, F::kOwner, F::kGroup, F::kFactsMode, F::kAccessed,
      F::kModified},
     ApplyFacts},
    {RecordKind::kMade, "made", {F::kRunId, F::kRange}, ApplyMark},
    {RecordKind::kUndone, "undone", {F::kRunId, F::kRange}, ApplyMark},
    {RecordKind::kRunUndone, "undone", {F::kRunId}, ApplyRunUndone},
    {RecordKind::kEnd, "end", {F::kRunId, F::kCount}, ApplyEnd},
};

const RecordRow& RowOf(RecordKind kind) {
  for (const RecordRow& row : kRows)
    if (row.kind == kind) return row;
  std::abort();  // every kind has a row
}

// The member of a record that a field of text stands for; null for the
// fields that are not texts.
std::string_view Record::*TextOf(Field field) {
  switch (field) {
    case F::kRunId:
      return &Record::run_id;
    case F::kStarted:
      return &Record::started;
    case F::kFolder:
      return &Record::folder;
    case F::kOptions:
      return &Record::options;
    case F::kDirectory:
      return &Record::directory;
    case F::kOldName:
      return &Record::old_name;
    case F::kToDirectory:
      return &Record::to_directory;
    case F::kNewName:
      return &Record::new_name;
    default:
      return nullptr;
  }
}

// The same of the fields of identities.
platform::EntryId Record::*IdOf(Field field) {
  switch (field) {
    case F::kEntry:
    case F::kCopyEntry:
      return &Record::id;
    case F::kFolderEntry:
      return &Record::folder_id;
    case F::kToFolderEntry:
      return &Record::to_folder_id;
    default:
      return nullptr;
  }
}

// The field's text as written, in a buffer of the caller's when it must be
// made: a run writes one record per rename.
std::string_view FieldText(const Record& r, Field field, char (&buffer)[48]) {
  if (const auto text = TextOf(field)) return r.*text;
  if (const auto id = IdOf(field)) return IdText(r.*id, buffer);
  char* end = buffer;
  switch (field) {
    case F::kSequence:
      end = std::to_chars(buffer, buffer + 21, r.sequence).ptr;
      break;
    case F::kNumber:
    case F::kCount:
    case F::kRange:
      end = std::to_chars(buffer, buffer + 21, r.number).ptr;
      if (field == F::kRange && r.last != r.number) {
        *end++ = '-';
        end = std::to_chars(end, buffer + sizeof buffer, r.last).ptr;
      }
      break;
    case F::kMode:
      end += std::snprintf(buffer, sizeof buffer, "%o",
                           static_cast<unsigned>(r.mode));
      break;
    case F::kWay:
      return r.back ? "back" : "to";
    case F::kOwner:
      end = std::to_chars(buffer, buffer + sizeof buffer, r.facts.owner).ptr;
      break;
    case F::kGroup:
      end = std::to_chars(buffer, buffer + sizeof buffer, r.facts.group).ptr;
      break;
    case F::kFactsMode:
      end = std::to_chars(buffer, buffer + sizeof buffer, r.facts.mode, 8).ptr;
      break;
    case F::kAccessed:
      end = std::to_chars(buffer, buffer + sizeof buffer, r.facts.accessed).ptr;
      break;
    case F::kModified:
      end = std::to_chars(buffer, buffer + sizeof buffer, r.facts.modified).ptr;
      break;
    default:
      break;
  }
  return std::string_view(buffer, static_cast<std::size_t>(end - buffer));
}

// One of an entry's facts (owner, group, mode, times).
bool ReadFact(std::string_view text, Field field, platform::EntryFacts& facts) {
  switch (field) {
    case Field::kOwner:
      return ParseWhole(text, facts.owner);
    case Field::kGroup:
      return ParseWhole(text, facts.group);
    case Field::kFactsMode:
      return ParseWhole(text, facts.mode, 8);
    case Field::kAccessed:
      return ParseWhole(text, facts.accessed);
    default:
      return ParseWhole(text, facts.modified);
  }
}

// Reads the field's text (unescaped) into r; returns what is wrong with
// it, or "".
std::string_view ReadField(std::string_view text, Field field, Record& r) {
  // Every field but a run's start time, folder and options names something.
  if (text.empty() && field != F::kStarted && field != F::kFolder &&
      field != F::kOptions)
    return "empty field";
  if ((field == F::kDirectory || field == F::kToDirectory) && !Absolute(text))
    return "a folder that is not absolute";
  if ((field == F::kOldName || field == F::kNewName) && !PlainName(text))
    return "a name that is no entry of its folder";
  if (const auto member = TextOf(field)) {
    r.*member = text;
    return {};
  }
  if (const auto id = IdOf(field)) {
    if (ParseId(text, r.*id) && (field != F::kCopyEntry || r.id.known))
      return {};
    return id == &Record::id ? "bad entry identity" : "bad folder identity";
  }
  std::size_t last = 0;
  switch (field) {
    case F::kNumber:
    case F::kCount:
      if (!ParseRange(text, r.number, last) || last != r.number)
        return "bad number";
      break;
    case F::kRange:
      if (!ParseRange(text, r.number, r.last)) return "bad number";
      break;
    case F::kSequence:
      if (!ParseRange(text, r.sequence, last) || last != r.sequence)
        return "bad number";
      break;
    case F::kMode:
      if (!ParseMode(text, r.mode)) return "bad folder mode";
      break;
    case F::kWay:
      if (text != "to" && text != "back") return "bad way of a copy";
      r.back = text == "back";
      break;
    case F::kOwner:
    case F::kGroup:
    case F::kFactsMode:
    case F::kAccessed:
    case F::kModified:
      r.facts.known = true;
      if (!ReadFact(text, field, r.facts)) return "bad facts of an entry";
      break;
    default:
      break;
  }
  return {};
}

// Reads one record line into record; row is its kind's.
std::string ParseLine(std::string_view line, Record& record,
                      std::vector<std::string>& texts, const RecordRow*& row) {
  const std::size_t last_tab = line.rfind('\t');
  if (last_tab == std::string_view::npos) return "not a record";
  const std::string_view payload = line.substr(0, last_tab);
  if (!CheckMatches(payload, line.substr(last_tab + 1))) {
    return "damaged (its check does not match)";
  }
  std::string_view parts[kMostFields + 1];  // the word, then the fields
  std::size_t count = 0;                    // of the fields
  std::string_view word;
  for (std::size_t start = 0, i = 0;; ++i) {
    const std::size_t tab = payload.find('\t', start);
    const std::string_view part = payload.substr(start, tab - start);
    if (i == 0) word = part;
    if (i <= kMostFields) parts[i] = part;
    if (tab == std::string_view::npos) {
      count = i;
      break;
    }
    start = tab + 1;
  }
  row = nullptr;
  bool known_word = false;
  for (const RecordRow& r : kRows) {
    if (r.word != word) continue;
    known_word = true;
    if (r.Count() == count) {
      row = &r;
      break;
    }
  }
  if (!row)
    return known_word ? "wrong number of fields" : "unknown kind of record";
  record = Record{};
  record.kind = row->kind;
  texts.resize(std::max(texts.size(), count));
  for (std::size_t i = 0; i < count; ++i) {
    if (!Unescape(parts[i + 1], texts[i])) {
      return "bad escape or control byte in a field";
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view problem =
        ReadField(texts[i], row->fields[i], record);
    if (!problem.empty()) return std::string(problem);
  }
  return {};
}

// Reads one record line (without its line end) into the reader's history;
// returns what is wrong with it, or nothing.
std::string ReadRecord(std::string_view line, Reader& reader) {
  Record record;
  const RecordRow* row = nullptr;
  std::string problem = ParseLine(line, record, reader.texts, row);
  return problem.empty() ? row->apply(record, *row, reader) : problem;
}

std::string ApplyRun(const Record& record, const RecordRow&, Reader& reader) {
  HistoryRead& read = reader.read;
  HistoryRun run;
  run.id = record.run_id;
  run.started = record.started;
  run.folder = record.folder;
  run.options = record.options;
  run.sequence = record.sequence;
  reader.run_of[run.id] = read.runs.size();
  read.runs.push_back(std::move(run));
  reader.next_number.push_back(0);
  return {};
}

std::string ApplyStep(const Record& record, const RecordRow& row,
                      Reader& reader) {
  HistoryRun* run = reader.Run(record.run_id);
  if (!run) return "rename outside its run";
  const std::size_t at =
      static_cast<std::size_t>(run - reader.read.runs.data());
  HistoryRename step;
  step.kind = row.step;
  step.number = row.Has(F::kNumber) ? record.number : reader.next_number[at];
  step.directory = record.directory;
  step.old_name = record.old_name;
  step.to_directory = record.to_directory;
  step.new_name = record.new_name;
  step.id = record.id;
  step.folder_id = record.folder_id;
  step.to_folder_id = record.to_folder_id;
  step.mode = record.mode;
  if (!run->renames.empty() && run->renames.back().number >= step.number)
    return "a rename out of order";
  reader.next_number[at] = step.number + 1;
  run->renames.push_back(std::move(step));
  return {};
}

std::string ApplyCopy(const Record& record, const RecordRow&, Reader& reader) {
  HistoryRun* run = reader.Run(record.run_id);
  if (!run) return "copy outside its run";
  const bool copied = record.kind == RecordKind::kCopied;
  bool moves = false;
  if (!reader.ForRange(*run, record.number, record.number,
                       [&](HistoryRename& r) {
                         moves = IntoOtherFolder(r.kind);
                         if (!moves) return;
                         if (!copied) {
                           (record.back ? r.back : r.across) = true;
                         } else {
                           (record.back ? r.back_copied : r.copied) = true;
                           (record.back ? r.back_id : r.copy_id) = record.id;
                         }
                       }) ||
      !moves)
    return "copy of a move not recorded";
  return {};
}

// The facts of a move's file or of a removed folder, recorded with it.
std::string ApplyFacts(const Record& record, const RecordRow&, Reader& reader) {
  HistoryRun* run = reader.Run(record.run_id);
  if (!run) return "facts outside their run";
  bool fits = false;
  reader.ForRange(*run, record.number, record.number, [&](HistoryRename& r) {
    fits = IntoOtherFolder(r.kind) || r.kind == StepKind::kRemoveFolder;
    if (fits) r.facts = record.facts;
  });
  return fits ? "" : "facts of a step not recorded";
}

std::string ApplyMark(const Record& record, const RecordRow&, Reader& reader) {
  const bool made = record.kind == RecordKind::kMade;
  HistoryRun* run = reader.Run(record.run_id);
  if (!run)
    return made ? "made mark outside its run"
                : "undone mark for a run not in the history";
  if (!reader.ForRange(*run, record.number, record.last, [&](HistoryRename& r) {
        (made ? r.made : r.undone) = true;
      }))
    return "mark for a rename not recorded";
  return {};
}

// The latest run of that id not yet undone, so that a repeated id still
// undoes each run once.
std::string ApplyRunUndone(const Record& record, const RecordRow&,
                           Reader& reader) {
  std::vector<HistoryRun>& runs = reader.read.runs;
  for (auto r = runs.rbegin(); r != runs.rend(); ++r) {
    if (r->id == record.run_id && !r->undone) {
      r->undone = true;
      return {};
    }
  }
  return "undone mark for a run not in the history";
}

std::string ApplyEnd(const Record& record, const RecordRow&, Reader& reader) {
  HistoryRun* run = reader.Run(record.run_id);
  if (!run) return "end of a run not in the history";
  run->ended = true;
  return {};
}

}  // namespace

std::string HistoryHeader() {
  return std::string(kHeader) + '\n';
}

namespace {

// The record's line up to its check: its word and its fields.
void AppendFields(std::string& out, const Record& record) {
  const RecordRow& row = RowOf(record.kind);
  out.append(row.word);
  char buffer[48];
  for (std::size_t i = 0; i < kMostFields && row.fields[i] != F::kNone; ++i) {
    out += '\t';
    AppendEscaped(out, FieldText(record, row.fields[i], buffer));
  }
}

// What an unsealed line ends in until it is sealed: no check is so (a
// check is hex digits), and no field holds a tab.
constexpr std::string_view kOpenCheck = "\t........\n";

}  // namespace

void AppendRecord(std::string& out, const Record& record) {
  const std::size_t start = out.size();
  AppendFields(out, record);
  const std::uint32_t check = Fnv1a(std::string_view(out).substr(start));
  out.append(kOpenCheck);
  WriteCheck(&out[out.size() - 9], check);
}

void AppendUnsealed(std::string& out, const Record& record) {
  AppendFields(out, record);
  out.append(kOpenCheck);
}

void SealRecords(std::string& text) {
  // The open lines, four at a time; the last few alone.
  std::string_view payloads[4];
  char* checks[4];
  std::size_t open = 0;
  const std::string_view open_end = kOpenCheck.substr(0, kOpenCheck.size() - 1);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    if (!line.ends_with(open_end)) continue;
    payloads[open] = line.substr(0, line.size() - open_end.size());
    checks[open] = text.data() + end - 8;
    if (++open < 4) continue;
    std::uint32_t hashes[4];
    Fnv1aOfFour(payloads, hashes);
    for (std::size_t k = 0; k < 4; ++k) WriteCheck(checks[k], hashes[k]);
    open = 0;
  }
  for (std::size_t k = 0; k < open; ++k)
    WriteCheck(checks[k], Fnv1a(payloads[k]));
}

std::string FormatRecord(const Record& record) {
  std::string line;
  AppendRecord(line, record);
  return line;
}

std::string ParseRecord(std::string_view line, Record& record,
                        std::vector<std::string>& texts) {
  const RecordRow* row = nullptr;
  return ParseLine(line, record, texts, row);
}

std::string FormatRunStart(std::string_view id, std::string_view started,
                           std::string_view folder, std::string_view options,
                           std::size_t sequence) {
  return FormatRecord({.kind = RecordKind::kRun,
                       .run_id = id,
                       .started = started,
                       .folder = folder,
                       .options = options,
                       .sequence = sequence});
}

std::string FormatMade(std::string_view run_id, std::size_t first,
                       std::size_t last) {
  return FormatRecord({.kind = RecordKind::kMade,
                       .run_id = run_id,
                       .number = first,
                       .last = last});
}

std::string FormatUndone(std::string_view run_id, std::size_t first,
                         std::size_t last) {
  return FormatRecord({.kind = RecordKind::kUndone,
                       .run_id = run_id,
                       .number = first,
                       .last = last});
}

std::string FormatEnd(std::string_view run_id, std::size_t count) {
  return FormatRecord(
      {.kind = RecordKind::kEnd, .run_id = run_id, .number = count});
}

std::string FormatRunUndone(std::string_view run_id) {
  return FormatRecord({.kind = RecordKind::kRunUndone, .run_id = run_id});
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
    // A line a write cut short, ended by the next write: no damage.
    const bool torn = line.ends_with(kTornEnd);

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
                         (cut || torn ? "cut short" : problem));
    }
  }
  return true;
}

}  // namespace

HistoryRead ReadHistory(std::string_view text) {
  HistoryRead read;
  Reader reader{read, {}, {}, {}};
  read.known_format = ReadLines(text, reader, read.problems) && !text.empty();
  return read;
}

std::vector<std::string> ReadMore(HistoryRead& read, std::string_view text) {
  Reader reader{read, {}, {}, {}};
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
