// What the rename run needs from the system, as one plain record of
// functions: the program fills it from the platform layer, tests fill it
// with a fake listing and a fake console.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace app {

struct RunServices {
  // The directory listing: the first name, the next names ("" at the end),
  // and the folder the names live in.
  std::function<std::string(std::string_view spec, int attribute_code)>
      list_first;
  std::function<std::string()> list_next;
  std::function<std::string()> list_directory;
  // Renames in `directory`; on failure returns false and a short reason.
  std::function<bool(std::string_view directory, std::string_view old_name,
                     std::string_view new_name, std::string& reason)>
      rename;
  // The console.
  std::function<void(std::string_view text)> print;
  std::function<void()> print_line_end;
  std::function<int()> cursor_column;
  // The cursor column after printing the text, without printing it; 0 where
  // that is known only by printing.  May be left empty: the same as 0.
  std::function<int(std::string_view text)> cursor_column_after;
  std::function<int()> screen_width;
  std::function<int(std::string_view text)> display_columns;
  std::function<std::u16string()> wait_key;
  // True where the shell expands an unquoted pattern before the program
  // sees it, so that a spec with a space may be a pattern the shell ate.
  bool shell_expands_patterns = false;
};

// What print_line_end writes, for a caller that writes a line in one go.
inline constexpr std::string_view kLineEnd = "\r\n";

// The services of the platform this program runs on.
RunServices PlatformServices();

}  // namespace app
