// A whole user file, read through the file system's pieces.
#pragma once

#include <string_view>

#include "platform/file_system.h"

namespace app {

platform::FileText ReadWholeFile(platform::FileSystem& files,
                                 std::string_view path);

}  // namespace app
