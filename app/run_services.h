// What the run needs from the system, as one plain record of functions: the
// program fills it from the platform layer, tests with a fake folder and a
// fake console.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace app {

struct RunServices {
  // The folder.
  std::function<platform::Listing(std::string_view operand)> list;
  std::function<platform::Outcome(std::string_view directory,
                                  std::string_view old_name,
                                  std::string_view new_name)>
      rename;
  std::function<platform::Outcome(std::string_view directory,
                                  std::string_view old_name,
                                  std::string_view new_name)>
      check_names;
  std::function<bool(std::string_view directory, std::string_view name)>
      exists;
  std::function<bool(std::string_view directory, std::string_view a,
                     std::string_view b)>
      same_entry;
  std::function<std::string(int code)> describe_error;
  // Held around a change in two steps; may be left empty.
  std::function<void()> hold_interrupts, release_interrupts;
  // The user's files, for the undo history.
  std::function<std::string(platform::UserFile file)> user_file_path;
  std::function<platform::FileText(std::string_view path)> read_file;
  std::function<platform::FileText(
      std::string_view path,
      const std::function<void(std::string_view piece)>& each)>
      scan_file;
  std::function<bool(std::string_view path, std::string_view text)>
      append_file, replace_file;
  std::function<std::string(std::string_view directory)> absolute_folder;
  std::function<std::string()> utc_now;
  std::function<long()> process_number;
  // The console.
  std::function<void(std::string_view text)> print;
  std::function<void(std::string_view line)> print_error;
  std::function<int()> cursor_column;
  std::function<int()> screen_width;
  std::function<int(std::string_view text)> display_columns;
  std::function<platform::Answer(std::string_view prompt)> ask;
  // What separates folders in a path.
  char folder_separator = '/';
  // The case of letters beyond ASCII.
  const text::CaseMapping* letter_case = &text::AsciiOnlyMapping();
};

// The services of the platform this program runs on.
RunServices PlatformServices();

}  // namespace app
