#ifdef _WIN32
// The listing and the rename on a real folder of the system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/failure_reason.h"

namespace {

class WindowsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int n = 0;; ++n) {
      root_ = std::wstring(temp) + L"nwtest" +
              std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(n);
      if (CreateDirectoryW(root_.c_str(), nullptr)) break;
      ASSERT_LT(n, 1000);
    }
    root_ += L"\\";
    dir_ = platform::ToAnsi(std::u16string(root_.begin(), root_.end()));
  }
  void TearDown() override { RemoveAll(root_); }

  static void RemoveAll(const std::wstring& folder) {
    WIN32_FIND_DATAW record;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &record);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = record.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveAll(path + L"\\");
        else
          DeleteFileW(path.c_str());
      } while (FindNextFileW(search, &record));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  void MakeFile(const std::wstring& name, const std::string& content,
                DWORD attributes = 0) {
    std::wstring path = root_ + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    if (attributes) SetFileAttributesW(path.c_str(), attributes);
  }
  void MakeFolder(const std::wstring& name, DWORD attributes = 0) {
    std::wstring path = root_ + name;
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    if (attributes) SetFileAttributesW(path.c_str(), attributes);
  }
  std::string Content(const std::wstring& name) {
    HANDLE file = CreateFileW((root_ + name).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
  }
  // Every entry's own name, as the system spells it.
  std::vector<std::wstring> Entries() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW record;
    HANDLE search = FindFirstFileW((root_ + L"*").c_str(), &record);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      std::wstring name = record.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &record));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> List(const std::string& pattern, int code) {
    std::vector<std::string> names;
    for (std::string name = platform::ListFirst(dir_ + pattern, code);
         !name.empty(); name = platform::ListNext())
      names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::wstring root_;
  std::string dir_;
};

using Names = std::vector<std::string>;

TEST_F(WindowsFolder, SelectionModesPickByAttributes) {
  MakeFile(L"plain.txt", "p");
  MakeFile(L"readonly.txt", "r", FILE_ATTRIBUTE_READONLY);
  MakeFile(L"archived.txt", "a", FILE_ATTRIBUTE_ARCHIVE);
  MakeFile(L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(L"system.txt", "s", FILE_ATTRIBUTE_SYSTEM);
  MakeFolder(L"sub");
  MakeFolder(L"hiddensub", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(List("*", 0x80), (Names{"archived.txt", "plain.txt", "readonly.txt"}));
  EXPECT_EQ(List("*", 0x10),
            (Names{"archived.txt", "plain.txt", "readonly.txt", "sub"}));
  EXPECT_EQ(List("*", 0x90), (Names{"sub"}));
  EXPECT_EQ(List("*.txt", 0x80), (Names{"archived.txt", "plain.txt", "readonly.txt"}));
  EXPECT_EQ(List("nothing*", 0x80), Names{});
  EXPECT_EQ(platform::ListDirectory(), dir_);
}

TEST_F(WindowsFolder, AFolderSpecListsEverythingInIt) {
  MakeFile(L"a.txt", "a");
  MakeFile(L"noperiod", "n");
  std::string first = platform::ListFirst(dir_, 0x80);
  Names names{first, platform::ListNext()};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"a.txt", "noperiod"}));
  EXPECT_EQ(platform::ListNext(), "");
  EXPECT_EQ(platform::ListNext(), "");
  EXPECT_EQ(platform::ListFirst("", 0x80), "");
}

TEST_F(WindowsFolder, ListingIsReadWholeWhenItStarts) {
  MakeFile(L"a.txt", "a");
  MakeFile(L"b.txt", "b");
  MakeFile(L"c.txt", "c");
  Names seen;
  platform::ErrorSlot slot;
  for (std::string name = platform::ListFirst(dir_ + "*.txt", 0x80);
       !name.empty(); name = platform::ListNext()) {
    seen.push_back(name);
    // A new name that sorts after every old one would come back if the
    // listing were still reading the folder.
    ASSERT_TRUE(platform::RenameEntry(dir_, name, "z" + name, slot));
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (Names{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(WindowsFolder, ANewListingAbandonsTheOldOne) {
  MakeFile(L"a.txt", "a");
  MakeFile(L"b.txt", "b");
  MakeFile(L"c.log", "c");
  EXPECT_NE(platform::ListFirst(dir_ + "*.txt", 0x80), "");
  EXPECT_EQ(platform::ListFirst(dir_ + "*.log", 0x80), "c.log");
  EXPECT_EQ(platform::ListNext(), "");
}

TEST_F(WindowsFolder, RenameActsInTheListedFolder) {
  MakeFolder(L"sub");
  MakeFile(L"sub\\old.txt", "in sub");
  ASSERT_EQ(platform::ListFirst(dir_ + "sub\\*.txt", 0x80), "old.txt");
  EXPECT_EQ(platform::ListDirectory(), dir_ + "sub\\");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(platform::ListDirectory(), "old.txt",
                                    "new.txt", slot));
  EXPECT_EQ(slot.code, 0);
  EXPECT_EQ(Content(L"sub\\new.txt"), "in sub");
}

TEST_F(WindowsFolder, RenameNeverReplacesAnEntry) {
  MakeFile(L"a b.txt", "first");
  MakeFile(L"a c.txt", "second");
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir_, "a b.txt", "a c.txt", slot));
  EXPECT_EQ(std::string(slot.reason), "a file with that name exists");
  EXPECT_EQ(Content(L"a b.txt"), "first");
  EXPECT_EQ(Content(L"a c.txt"), "second");
}

TEST_F(WindowsFolder, RenameOfAMissingEntryIsReported) {
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir_, "gone.txt", "here.txt", slot));
  EXPECT_EQ(std::string(slot.reason), "not found");
  EXPECT_NE(slot.code, 0);
}

TEST_F(WindowsFolder, ACaseOnlyRenameChangesTheCase) {
  MakeFile(L"hello.txt", "hi");
  MakeFolder(L"some dir");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir_, "hello.txt", "Hello.txt", slot));
  EXPECT_TRUE(platform::RenameEntry(dir_, "some dir", "Some Dir", slot));
  EXPECT_EQ(slot.code, 0);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Hello.txt", L"Some Dir"}));
  EXPECT_EQ(Content(L"Hello.txt"), "hi");
}

TEST_F(WindowsFolder, RefusedNamesLeaveEverythingAsItWas) {
  MakeFile(L"keep.txt", "k");
  struct Case {
    std::string from, to, reason;
  } cases[] = {
      {"keep.txt", "a?.txt", "name refused: it contains ? or *"},
      {"keep.txt", "a*.txt", "name refused: it contains ? or *"},
      {"k?ep.txt", "new.txt", "name refused: it contains ? or *"},
      {"keep.txt", std::string(257, 'x'), "name too long"},
      {"keep.txt", "", "name refused: it is empty"},
      {"keep.txt", "..\\out.txt", "name refused: it contains \\ or /"},
      {"keep.txt", "sub/out.txt", "name refused: it contains \\ or /"},
  };
  for (const Case& c : cases) {
    platform::ErrorSlot slot;
    EXPECT_FALSE(platform::RenameEntry(dir_, c.from, c.to, slot)) << c.to;
    EXPECT_EQ(std::string(slot.reason), c.reason) << c.to;
    EXPECT_NE(slot.code, 0);
  }
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"keep.txt"});
}

TEST_F(WindowsFolder, ANameTheCodePageCannotWriteIsNeverRenamedWrongly) {
  // U+0101 and U+4E2D are not in the ANSI code page.
  MakeFile(L"\u0101b.txt", "outside");
  MakeFile(L"x\u4e2d.txt", "cjk");
  platform::ErrorSlot slot;
  for (const std::string& name : List("*.txt", 0x80)) {
    EXPECT_FALSE(platform::RenameEntry(dir_, name, "renamed " + name, slot))
        << name;
  }
  EXPECT_EQ(Entries(),
            (std::vector<std::wstring>{L"x\u4e2d.txt", L"\u0101b.txt"}));
}

TEST(WindowsText, ConvertsThroughTheAnsiCodePage) {
  EXPECT_EQ(platform::ToWide(""), u"");
  EXPECT_EQ(platform::ToAnsi(u""), "");
  EXPECT_EQ(platform::ToWide("Some.Movie.avi"), u"Some.Movie.avi");
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += char(byte);
  std::string back = platform::ToAnsi(platform::ToWide(all));
  // Code page 1252 leaves five bytes unassigned; every other byte comes back.
  if (GetACP() == 1252) {
    EXPECT_EQ(platform::ToWide("caf\xe9"), u"caf\u00e9");
    EXPECT_EQ(back, all);
  }
  EXPECT_EQ(platform::DisplayColumns("caf\xe9"), 4);
}

TEST(WindowsText, CaseOfOneCodePoint) {
  EXPECT_EQ(platform::CodePointLower(U'A'), U'a');
  EXPECT_EQ(platform::CodePointUpper(U'a'), U'A');
  EXPECT_EQ(platform::CodePointLower(U'\u00c9'), U'\u00e9');
  EXPECT_EQ(platform::CodePointUpper(U'\u0101'), U'\u0100');
  EXPECT_EQ(platform::CodePointLower(U'\U00010400'), U'\U00010400');
  EXPECT_EQ(platform::CodePointLower(0xD800), char32_t(0xD800));
  EXPECT_TRUE(platform::CodePointIsCased(U'x'));
  EXPECT_TRUE(platform::CodePointIsCased(U'\u00c9'));
  EXPECT_FALSE(platform::CodePointIsCased(U'1'));
  EXPECT_FALSE(platform::CodePointIsCased(U' '));
}

TEST(WindowsFailureReason, NamesTheCommonCodes) {
  using platform::FailureReason;
  EXPECT_STREQ(FailureReason(183), "a file with that name exists");
  EXPECT_STREQ(FailureReason(80), "a file with that name exists");
  EXPECT_STREQ(FailureReason(5), "permission denied");
  EXPECT_STREQ(FailureReason(2), "not found");
  EXPECT_STREQ(FailureReason(3), "not found");
  EXPECT_STREQ(FailureReason(32), "in use by another program");
  EXPECT_STREQ(FailureReason(123), "name refused: invalid characters");
  const char* other = FailureReason(1234);
  EXPECT_STREQ(other, "error 1234");
  FailureReason(4321);
  EXPECT_STREQ(other, "error 1234");  // still valid after other codes
}

}  // namespace
#endif  // _WIN32
