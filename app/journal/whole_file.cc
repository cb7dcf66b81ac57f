#include "app/journal/whole_file.h"

namespace app {

platform::FileText ReadWholeFile(platform::UserFiles& files,
                                 std::string_view path) {
  std::string text;
  platform::FileText file = files.ScanFile(
      path, [&](std::string_view piece) { text.append(piece); });
  if (file.read) file.text = std::move(text);
  return file;
}

}  // namespace app
