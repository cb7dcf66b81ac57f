#include "app/run_services.h"
#include "platform/platform.h"

namespace app {

RunServices PlatformServices() {
  RunServices s;
  s.list_first = [](std::string_view spec, int code) {
    return platform::ListFirst(spec, code);
  };
  s.list_next = [] { return platform::ListNext(); };
  s.list_directory = [] { return platform::ListDirectory(); };
  s.rename = [](std::string_view directory, std::string_view old_name,
                std::string_view new_name, std::string& reason) {
    platform::ErrorSlot slot;
    if (platform::RenameEntry(directory, old_name, new_name, slot)) return true;
    reason = slot.reason;
    return false;
  };
  // A failed write is recorded and left there: the renames matter more than
  // their record, so the run goes on (output to a closed pipe, a full disk).
  s.print = [](std::string_view text) {
    platform::ErrorSlot slot;
    platform::PrintText(text, slot);
  };
  s.print_line_end = [] {
    platform::ErrorSlot slot;
    platform::PrintLineEnd(slot);
  };
  s.cursor_column = [] { return platform::CursorColumn(); };
  s.cursor_column_after = [](std::string_view text) {
    return platform::CursorColumnAfter(text);
  };
  s.screen_width = [] { return platform::ScreenWidth(); };
  s.display_columns = [](std::string_view text) {
    return platform::DisplayColumns(text);
  };
  s.wait_key = [] { return platform::WaitKey(); };
  s.shell_expands_patterns = platform::ShellExpandsPatterns();
  return s;
}

}  // namespace app
