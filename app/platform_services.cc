#include "app/run_services.h"
#include "platform/platform.h"

namespace app {

RunServices PlatformServices() {
  RunServices s;
  s.list = platform::List;
  s.rename = platform::RenameEntry;
  s.check_names = platform::CheckNames;
  s.exists = platform::EntryExists;
  s.same_entry = platform::SameEntry;
  s.describe_error = platform::DescribeError;
  s.hold_interrupts = platform::HoldInterrupts;
  s.release_interrupts = platform::ReleaseInterrupts;
  s.user_file_path = platform::UserFilePath;
  // A whole file is its pieces in turn.
  s.read_file = [](std::string_view path) {
    std::string text;
    platform::FileText file = platform::ScanFileText(
        path, [&](std::string_view piece) { text.append(piece); });
    if (file.read) file.text = std::move(text);
    return file;
  };
  s.scan_file = platform::ScanFileText;
  s.append_file = platform::AppendFileText;
  s.replace_file = platform::ReplaceFileText;
  s.absolute_folder = platform::AbsoluteFolder;
  s.utc_now = platform::UtcNow;
  s.process_number = platform::ProcessNumber;
  s.print = platform::Print;
  s.print_error = platform::PrintError;
  s.cursor_column = platform::CursorColumn;
  s.screen_width = platform::ScreenWidth;
  s.display_columns = platform::DisplayColumns;
  s.ask = platform::Ask;
  s.letter_case = &platform::LetterCase();
  s.folder_separator = platform::FolderSeparator();
  return s;
}

}  // namespace app
