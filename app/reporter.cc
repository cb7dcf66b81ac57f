#include "app/reporter.h"

#include "text/utf8.h"

namespace app {
namespace {

// A character that writes nothing yet changes what the terminal shows: the
// C1 controls, and the marks that turn text around or hide between letters
// (bidirectional overrides and isolates, zero-width spaces and joiners).
bool Unseen(char32_t c) {
  return (c >= 0x80 && c < 0xA0) || c == 0x061C || c == 0x180E ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

void AppendEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (c >= 0x80) {
      const text::CodePoint point = text::DecodeUtf8(text, i);
      if (point.length > 0 && !Unseen(point.value)) {
        out.append(text.substr(i, point.length));
        i += point.length;
        continue;
      }
      // Not UTF-8, or a control character of its own: byte by byte.
      const std::size_t bytes = point.length > 0 ? point.length : 1;
      for (std::size_t b = 0; b < bytes; ++b) {
        const auto byte = static_cast<unsigned char>(text[i + b]);
        out.append("\\x").push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
      }
      i += bytes;
      continue;
    }
    ++i;
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\v': out += "\\v"; break;
      default:  // octal, as ls shows it: "\033"
        out.push_back('\\');
        out.push_back(static_cast<char>('0' + (c >> 6)));
        out.push_back(static_cast<char>('0' + ((c >> 3) & 7)));
        out.push_back(static_cast<char>('0' + (c & 7)));
    }
  }
}

// No byte but printable ASCII: nothing to escape.
bool Plain(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

// True when the new name, printed from the cursor on, would reach the last
// column of the window or beyond.
bool Wraps(platform::Console& console, std::string_view new_name) {
  const int column = console.CursorColumn();
  const int width = console.ScreenWidth();
  // A name never takes more columns than bytes: when even its bytes fit, it
  // need not be measured.
  return width - column < static_cast<int>(new_name.size()) &&
         width < column + console.DisplayColumns(new_name);
}

}  // namespace

std::string Escaped(std::string_view text) {
  std::string out;
  if (Plain(text)) {
    out.assign(text);
  } else {
    AppendEscaped(out, text);
  }
  return out;
}

std::string ForScreen(platform::Console& console, std::string_view text) {
  std::string out;
  if (Plain(text) || !console.IsTerminal()) {
    out.assign(text);
  } else {
    AppendEscaped(out, text);
  }
  return out;
}

namespace {

// Appends the text as ForScreen shows it, without a copy where it is plain.
void AppendShown(std::string& line, bool terminal, std::string_view text) {
  if (!terminal || Plain(text)) {
    line.append(text);
  } else {
    AppendEscaped(line, text);
  }
}

}  // namespace

platform::Answer ShowRename(Reporter& r, std::string_view shown,
                            std::string_view old_name,
                            std::string_view new_name, bool ask) {
  return ShowMove(r, shown, old_name, shown, new_name, ask);
}

platform::Answer ShowMove(Reporter& r, std::string_view shown,
                          std::string_view old_name, std::string_view new_shown,
                          std::string_view new_name, bool ask) {
  const bool terminal = r.console.IsTerminal();
  r.line.assign(ask ? "[y/N] " : "");
  AppendShown(r.line, terminal, shown);
  AppendShown(r.line, terminal, old_name);
  r.line.append(" ==> ");
  r.console.Print(r.line);
  r.line.clear();
  AppendShown(r.line, terminal, new_shown);
  AppendShown(r.line, terminal, new_name);
  // The wrapped name stands under the old one, past the question's mark.
  if (Wraps(r.console, r.line)) r.line.insert(0, ask ? "\n       " : "\n  ");
  if (!ask) {
    r.console.Print(r.line.append("\n"));
    return platform::Answer::kYes;
  }
  // Where the output goes to a file, the question is also shown on the
  // terminal, escaped as a terminal needs it.
  std::string on_terminal;
  if (!terminal) {
    on_terminal = "[y/N] ";
    AppendShown(on_terminal, true, shown);
    AppendShown(on_terminal, true, old_name);
    on_terminal.append(" ==> ");
    AppendShown(on_terminal, true, new_shown);
    AppendShown(on_terminal, true, new_name);
    on_terminal.append(" ");
  }
  const platform::Answer answer =
      r.console.Ask(r.line.append(" "), on_terminal);
  if (answer == platform::Answer::kNo || answer == platform::Answer::kQuit)
    r.console.Print("[SKIPPED]\n");
  return answer;
}

void ShowOutcome(Reporter& r, bool asked, const std::string& failure) {
  if (failure.empty()) {
    if (asked) r.console.Print("[OK]\n");
    return;
  }
  r.console.Print((asked ? "[FAILED: " : "  [FAILED: ") + failure + "]\n");
}

}  // namespace app

namespace app {

std::string SummaryLine(const RunCounts& counts, bool dry_run) {
  std::string line;
  auto add = [&line](std::size_t count, const char* words) {
    if (count == 0) return;
    if (!line.empty()) line += ", ";
    line += std::to_string(count);
    line += words;
  };
  add(counts.renamed, dry_run ? " to rename" : " renamed");
  add(counts.moved, dry_run ? " to move" : " moved");
  add(counts.linked, dry_run ? " to link" : " linked");
  add(counts.copied, dry_run ? " to copy" : " copied");
  add(counts.already, " already in the library");
  add(counts.failed, dry_run ? " would fail" : " failed");
  add(counts.skipped, " skipped");
  add(counts.left_alone, " left alone");
  return line;
}

}  // namespace app
