#ifdef _WIN32
// Literal paths and the names Windows holds only through them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/literal_path.h"
#include "platform/windows/reserved_name.h"

namespace {

namespace windows = platform::windows;
using platform::Failure;

std::u16string Current() {
  wchar_t here[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, here);
  std::u16string out(reinterpret_cast<const char16_t*>(here), length);
  if (out.back() != u'\\') out.push_back(u'\\');
  return u"\\\\?\\" + out;
}

TEST(WindowsLiteralPath, EveryNameKeptExactly) {
  const std::u16string here = Current();
  struct Case {
    const char* folder;
    std::u16string literal;
  } cases[] = {
      {"", here},
      {"sub.\\x \\", here + u"sub.\\x \\"},
      {"a/./b/../c", here + u"a\\c\\"},
      {"C:\\dir.\\", u"\\\\?\\C:\\dir.\\"},
      {"C:/x/../../y", u"\\\\?\\C:\\y\\"},
      {"\\\\server\\share\\d", u"\\\\?\\UNC\\server\\share\\d\\"},
      {"\\\\?\\C:\\a..\\", u"\\\\?\\C:\\a..\\"},
      {"nul.txt\\", here + u"nul.txt\\"},
  };
  for (const Case& c : cases) {
    const windows::LiteralPath path = windows::LiteralFolder(c.folder);
    EXPECT_EQ(path.failure, Failure::kNone) << c.folder;
    EXPECT_TRUE(path.path == c.literal) << c.folder;
  }
  EXPECT_EQ(windows::LiteralFolder("bad \xff").failure, Failure::kRefusedName);
  const std::string deep = "C:\\" + std::string(windows::kLongestPath, 'x');
  EXPECT_EQ(windows::LiteralFolder(deep).failure, Failure::kTooLong);
  EXPECT_EQ(windows::Join(windows::LiteralFolder("C:\\"),
                          std::string(windows::kLongestPath, 'x'))
                .failure,
            Failure::kTooLong);
}

TEST(WindowsReservedName, DevicesAndFinalPeriodsOrSpaces) {
  struct Case {
    const char* name;
    Failure failure;
  } cases[] = {
      {"CON", Failure::kDeviceName},        {"nul.2010.avi", Failure::kDeviceName},
      {"Aux .txt", Failure::kDeviceName},   {"com0", Failure::kDeviceName},
      {"LPT9.x", Failure::kDeviceName},     {"COM\xc2\xb9.avi", Failure::kDeviceName},
      {"lpt\xc2\xb3", Failure::kDeviceName}, {"x y.", Failure::kFinalPeriodOrSpace},
      {"x y ", Failure::kFinalPeriodOrSpace}, {"console.txt", Failure::kNone},
      {"COM10", Failure::kNone},            {"LPT\xc2\xb4", Failure::kNone},
      {"nul (2010).avi", Failure::kNone},   {"a.con", Failure::kNone},
      {"prn_x", Failure::kNone},            {".x", Failure::kNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(windows::ReservedNameFailure(c.name), c.failure) << c.name;
}

}  // namespace
#endif  // _WIN32
