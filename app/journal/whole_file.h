// A whole user file, read through the file system's pieces.
#pragma once

#include <string_view>

#include "platform/user_files.h"

namespace app {

platform::FileText ReadWholeFile(platform::UserFiles& files,
                                 std::string_view path);

}  // namespace app
