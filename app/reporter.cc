#include "app/reporter.h"

namespace app {
namespace {

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

bool ShowRename(Reporter& r, std::string_view shown, std::string_view old_name,
                std::string_view new_name, bool ask) {
  r.line.assign(ask ? "[y/N] " : "").append(shown);
  r.line.append(old_name).append(" ==> ");
  r.console.Print(r.line);
  r.line.assign(shown).append(new_name);
  // The wrapped name stands under the old one, past the question's mark.
  if (Wraps(r.console, r.line)) r.line.insert(0, ask ? "\n       " : "\n  ");
  if (!ask) {
    r.console.Print(r.line.append("\n"));
    return true;
  }
  if (r.console.Ask(r.line.append(" ")) == platform::Answer::kYes) return true;
  r.console.Print("[SKIPPED]\n");
  return false;
}

void ShowOutcome(Reporter& r, bool asked, const std::string& failure) {
  if (failure.empty()) {
    if (asked) r.console.Print("[OK]\n");
    return;
  }
  r.console.Print((asked ? "[FAILED: " : "  [FAILED: ") + failure + "]\n");
}

}  // namespace app
