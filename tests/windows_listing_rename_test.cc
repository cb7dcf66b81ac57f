#ifdef _WIN32
// The listing and the rename on a real folder of the system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/plan/operand.h"
#include "platform/platform.h"
#include "platform/windows/text_convert.h"

namespace {

namespace windows = platform::windows;

platform::Listing ListOperand(const std::string& operand) {
  return app::ListOperand(platform::SystemFileSystem(), operand,
                          platform::PathStyle::kWindows);
}

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
    dir_ = windows::ToUtf8(std::u16string(root_.begin(), root_.end())).text;
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
  // Each entry as "name:kind", kind f(ile) or d(irectory), "h" if hidden.
  std::vector<std::string> List(const std::string& operand) {
    std::vector<std::string> names;
    for (const platform::Entry& e : ListOperand(dir_ + operand).entries) {
      names.push_back(e.name + ":" +
                      (e.kind == platform::EntryKind::kDirectory ? "d" : "f") +
                      (e.hidden ? "h" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  platform::Failure Rename(const std::string& from, const std::string& to,
                           const platform::Folder* folder = nullptr) {
    const platform::Folder& in =
        folder ? *folder : platform::Folder{dir_, nullptr};
    return platform::SystemFileSystem().Move(in, from, in, to).failure;
  }

  std::wstring root_;
  std::string dir_;
};

using Names = std::vector<std::string>;

using platform::Failure;

TEST_F(WindowsFolder, ListsKindsAndHiddenOrSystemEntries) {
  MakeFile(L"plain.txt", "p");
  MakeFile(L"readonly.txt", "r", FILE_ATTRIBUTE_READONLY);
  MakeFile(L"archived.txt", "a", FILE_ATTRIBUTE_ARCHIVE);
  MakeFile(L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(L"system.txt", "s", FILE_ATTRIBUTE_SYSTEM);
  MakeFolder(L"sub");
  MakeFolder(L"hiddensub", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(List("*"), (Names{"archived.txt:f", "hidden.txt:fh", "hiddensub:dh",
                              "plain.txt:f", "readonly.txt:f", "sub:d",
                              "system.txt:fh"}));
  EXPECT_EQ(List("*.txt").size(), 5u);
  EXPECT_EQ(List("nothing*"), Names{});
  EXPECT_EQ(ListOperand(dir_ + "*").folder.path, dir_);
  // A folder operand lists everything in it; "." and ".." never come back.
  EXPECT_EQ(List("").size(), 7u);
}

// The program matches the pattern: a short name the system made for an
// entry ("FILM~1.AVI" for "film.avif") never makes the entry match.
TEST_F(WindowsFolder, PatternsMatchTheNamesAlone) {
  MakeFile(L"film.avif", "f");
  MakeFile(L"long name of a film.avi", "a");
  MakeFile(L"noext", "n");
  EXPECT_EQ(List("*.avi"), Names{"long name of a film.avi:f"});
  EXPECT_EQ(List("*."), Names{});
  EXPECT_EQ(List("FILM.AVIF"), Names{"film.avif:f"});  // the system's lookup
}

TEST_F(WindowsFolder, ListingIsReadWholeWhenItStarts) {
  MakeFile(L"a.txt", "a");
  MakeFile(L"b.txt", "b");
  MakeFile(L"c.txt", "c");
  Names seen;
  for (const platform::Entry& e : ListOperand(dir_ + "*.txt").entries) {
    seen.push_back(e.name);
    // A new name that sorts after every old one would come back if the
    // listing were still reading the folder.
    ASSERT_EQ(Rename(e.name, "z" + e.name), Failure::kNone);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (Names{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(WindowsFolder, RenameActsInTheListedFolder) {
  MakeFolder(L"sub");
  MakeFile(L"sub\\old.txt", "in sub");
  const platform::Listing listing = ListOperand(dir_ + "sub\\*.txt");
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(listing.folder.path, dir_ + "sub\\");
  EXPECT_TRUE(platform::SystemFileSystem()
                  .Move(listing.folder, "old.txt", listing.folder, "new.txt")
                  .ok());
  EXPECT_EQ(Content(L"sub\\new.txt"), "in sub");
}

// Undo makes a removed download folder again with the attributes it had.
TEST_F(WindowsFolder, AFolderModeIsGivenBackWhole) {
  MakeFolder(L"pack", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Folder here{dir_, nullptr};
  const std::uint32_t mode =
      files.DescribeFolder({dir_ + "pack\\", nullptr}).mode;
  EXPECT_TRUE(mode & FILE_ATTRIBUTE_SYSTEM);
  platform::Folder made;
  ASSERT_TRUE(files.MakeFolder(here, "again", mode, made).ok());
  EXPECT_EQ(files.DescribeFolder(made).mode, mode);
  ASSERT_TRUE(files.MakeFolder(here, "plain", 0, made).ok());
  EXPECT_FALSE(files.DescribeFolder(made).mode & FILE_ATTRIBUTE_SYSTEM);
}

// A link is the file under a second name, never over another entry and
// never of a folder; the first bytes of a file are read, of a folder none.
TEST_F(WindowsFolder, LinkAndReadStart) {
  MakeFolder(L"lib");
  MakeFile(L"film.mkv", "frames");
  MakeFile(L"lib\\taken.mkv", "other");
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Folder here{dir_, nullptr};
  const platform::Folder lib{dir_ + "lib\\", nullptr};
  ASSERT_TRUE(files.Link(here, "film.mkv", lib, "Film (2010).mkv").ok());
  EXPECT_EQ(files.Stat(lib, "Film (2010).mkv").id, files.Stat(here, "film.mkv").id);
  EXPECT_EQ(files.Link(here, "film.mkv", lib, "taken.mkv").failure,
            platform::Failure::kExists);
  EXPECT_EQ(files.Link(here, "lib", here, "lib2").failure,
            platform::Failure::kNotAFile);
  std::string bytes;
  EXPECT_TRUE(files.ReadStart(lib, "Film (2010).mkv", 3, bytes).ok());
  EXPECT_EQ(bytes, "fra");
  EXPECT_EQ(files.ReadStart(here, "lib", 3, bytes).failure,
            platform::Failure::kNotAFile);
}

TEST_F(WindowsFolder, RenameFailures) {
  MakeFile(L"a b.txt", "first");
  MakeFile(L"a c.txt", "second");
  EXPECT_EQ(Rename("a b.txt", "a c.txt"), Failure::kExists);
  EXPECT_EQ(Rename("gone.txt", "here.txt"), Failure::kNotFound);
  EXPECT_EQ(Rename("a b.txt", std::string(257, 'x')), Failure::kTooLong);
  EXPECT_EQ(Rename("a b.txt", "..\\out.txt"), Failure::kRefusedName);
  // Windows cannot hold a wildcard in a name (POSIX can).
  for (const char* name : {"a?.txt", "a*.txt"})
    EXPECT_EQ(Rename("a b.txt", name), Failure::kWildcardName) << name;
  EXPECT_EQ(Content(L"a b.txt"), "first");
  EXPECT_EQ(Content(L"a c.txt"), "second");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"a b.txt", L"a c.txt"}));
}

// Names that ordinary paths would cut or take for a device are listed and
// renamed as they are; such a name is never given.
TEST_F(WindowsFolder, NamesOrdinaryPathsCannotHold) {
  MakeFile(L"x.y", "plain");
  platform::FileSystem& files = platform::SystemFileSystem();
  struct Case {
    const wchar_t* made;  // made through its literal path
    const char* old_name;
    const char* new_name;
    Failure failure;
  } cases[] = {
      {L"x.y.", "x.y.", "x y", Failure::kNone},
      {L"t .avi ", "t .avi ", "t.avi", Failure::kNone},
      {L"nul.2010.avi", "nul.2010.avi", "nul (2010).avi", Failure::kNone},
      {L"LPT1.XviD.avi", "LPT1.XviD.avi", "LPT1 (x).avi", Failure::kNone},
      {L"a_b.", "a_b.", "a b.", Failure::kFinalPeriodOrSpace},
      {L"c_d", "c_d", "c d ", Failure::kFinalPeriodOrSpace},
      {L"e_f", "e_f", "CON.avi", Failure::kDeviceName},
  };
  for (const Case& c : cases) {
    const std::wstring literal = L"\\\\?\\" + root_ + c.made;
    const HANDLE made = CreateFileW(literal.c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, 0, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    const platform::Listing listing = ListOperand(dir_ + "*");
    const bool listed = std::any_of(
        listing.entries.begin(), listing.entries.end(),
        [&](const platform::Entry& e) { return e.name == c.old_name; });
    EXPECT_TRUE(listed) << c.old_name;
    EXPECT_TRUE(files.Stat(listing.folder, c.old_name).exists) << c.old_name;
    EXPECT_EQ(
        files.CheckNames(listing.folder, c.old_name, c.new_name, true).failure,
        c.failure)
        << c.new_name;
    if (c.failure == Failure::kNone) {
      EXPECT_TRUE(
          files.Move(listing.folder, c.old_name, listing.folder, c.new_name)
              .ok())
          << c.old_name;
    }
  }
  EXPECT_EQ(Content(L"x.y"), "plain");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{
                           L"LPT1 (x).avi", L"a_b.", L"c_d", L"e_f",
                           L"nul (2010).avi", L"t.avi", L"x y", L"x.y"}));
}

// Folders deeper than the old limit of 260 units are listed, entered and
// renamed in.
TEST_F(WindowsFolder, PathsLongerThanTheOldLimit) {
  platform::FileSystem& files = platform::SystemFileSystem();
  const std::string name(200, 'd');
  const std::wstring wide(200, L'd');
  std::wstring path = L"\\\\?\\" + root_;
  for (int depth = 0; depth < 3; ++depth) {
    path += wide + L"\\";
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  }
  const HANDLE made = CreateFileW((path + L"f_1.txt").c_str(), GENERIC_WRITE,
                                  0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(made, INVALID_HANDLE_VALUE);
  CloseHandle(made);
  platform::Listing listing = ListOperand(dir_ + name);
  for (int depth = 0; depth < 3; ++depth) {
    ASSERT_EQ(listing.entries.size(), 1u);
    listing = files.ListBelow(listing.folder, listing.entries[0]);
    ASSERT_TRUE(listing.failure.ok());
  }
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(
      files.Move(listing.folder, "f_1.txt", listing.folder, "f 1.txt").failure,
      Failure::kNone);
  // By the path alone, as undo names it.
  const platform::Folder by_path{files.DescribeFolder(listing.folder).absolute,
                                 nullptr};
  EXPECT_GT(by_path.path.size(), 600u);
  EXPECT_TRUE(files.Stat(by_path, "f 1.txt").exists);
  EXPECT_EQ(files.Move(by_path, "f 1.txt", by_path, "f_1.txt").failure,
            Failure::kNone);
  EXPECT_NE(GetFileAttributesW((path + L"f_1.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(WindowsFolder, CaseOnlyChangesFindTheEntryItself) {
  MakeFile(L"hello.txt", "hi");
  MakeFile(L"other.txt", "o");
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Folder folder{dir_, nullptr};
  EXPECT_TRUE(files.Stat(folder, "hello.txt").id.known);
  EXPECT_TRUE(files.Stat(folder, "hello.txt").id ==
              files.Stat(folder, "HELLO.txt").id);
  EXPECT_FALSE(files.Stat(folder, "hello.txt").id ==
               files.Stat(folder, "other.txt").id);
  EXPECT_TRUE(files.Stat(folder, "HELLO.TXT").exists);
  EXPECT_FALSE(files.Stat(folder, "none.txt").exists);
  // The dry run compares names in this form.
  EXPECT_EQ(files.NameKey(folder, "x_\xc3\xa9i.txt"),
            files.NameKey(folder, "X_\xc3\x89I.TXT"));
  EXPECT_NE(files.NameKey(folder, "x y.txt"), files.NameKey(folder, "x_y.txt"));
}

TEST_F(WindowsFolder, EveryNameIsRenamedByItsOwnCharactersButALoneSurrogate) {
  // Outside code page 1252, and a second byte of 0x5F in code page 932.
  MakeFile(L"\u0101b_c.txt", "outside");
  MakeFile(L"\u30c0\u30f3\u30b9_test.txt", "dance");
  // Where the file system can hold a lone surrogate (not under Wine).
  std::wstring lone = L"x";
  lone.push_back(static_cast<wchar_t>(0xD800));
  lone += L"_y.txt";
  const HANDLE made = CreateFileW((root_ + lone).c_str(), GENERIC_WRITE, 0,
                                  nullptr, CREATE_NEW, 0, nullptr);
  const bool lone_made = made != INVALID_HANDLE_VALUE;
  if (lone_made) CloseHandle(made);
  const platform::Listing listing = ListOperand(dir_ + "*.txt");
  for (const platform::Entry& e : listing.entries) {
    std::string renamed = e.name;
    renamed[renamed.rfind('_')] = ' ';
    const Failure failure = Rename(e.name, renamed, &listing.folder);
    EXPECT_EQ(failure, e.name[0] == 'x' ? Failure::kRefusedName : Failure::kNone)
        << e.name;
  }
  std::vector<std::wstring> kept = {L"\u0101b c.txt",
                                    L"\u30c0\u30f3\u30b9 test.txt"};
  if (lone_made) kept.insert(kept.begin(), lone);
  EXPECT_EQ(Entries(), kept);
  EXPECT_EQ(Content(L"\u30c0\u30f3\u30b9 test.txt"), "dance");
}

TEST(WindowsText, Utf8BothWaysAndColumns) {
  EXPECT_EQ(windows::ToWide(""), u"");
  EXPECT_EQ(windows::ToWide("caf\xc3\xa9 \xe6\x9d\xb1"), u"caf\u00e9 \u6771");
  EXPECT_EQ(windows::ToWide("bad \xff"), u"");  // not UTF-8: never guessed
  const windows::Utf8Text back = windows::ToUtf8(u"\U0001F600 \u30c0");
  EXPECT_EQ(back.text, "\xf0\x9f\x98\x80 \xe3\x83\x80");
  EXPECT_TRUE(back.exact);
  std::u16string lone = u"a";
  lone.push_back(0xDC00);
  EXPECT_FALSE(windows::ToUtf8(lone).exact);
  struct Case {
    const char* text;
    int columns;
  } cases[] = {
      {"caf\xc3\xa9", 4},                   // café
      {"\xe6\x9d\xb1\xe4\xba\xac", 4},        // 東京
      {"\xe3\x83\x80\xe3\x83\xb3", 4},        // ダン
      {"\xef\xbe\x80", 1},                  // half-width katakana
      {"\xf0\x9f\x98\x80", 2},              // an emoji
      {"e\xcc\x81", 1},                     // e and a combining accent
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::SystemConsole().DisplayColumns(c.text), c.columns) << c.text;
}

TEST(WindowsText, CodePagesGetNoLookAlikes) {
  struct Case {
    unsigned code_page;
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {1252, u"\u0141\u00f3d\u017a_\u0105\u0119", "?\xf3" "d?_??"},  // Łódź_ąę
      {1252, u"Stra\u00dfe", "Stra\xdf" "e"},
      {932, u"Stra\u00dfe \u30c0", "Stra?e \x83_"},
      {65001, u"\u0141\u00f3d\u017a", "\xc5\x81\xc3\xb3" "d\xc5\xba"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(windows::ToCodePage(c.code_page, c.text), c.bytes) << c.code_page;
}

}  // namespace
#endif  // _WIN32
