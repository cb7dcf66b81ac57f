#ifdef _WIN32
// The journals on a real folder of the system: locked for their life, with
// readers never kept out, and removed only when their lock is free.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/text_convert.h"

namespace {

using platform::JournalState;

platform::UserFiles& Files() { return platform::SystemUserFiles(); }

TEST(WindowsUserFiles, AJournalIsLockedForItsLifeAndReadersGoOn) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring wide = std::wstring(temp) + L"nwjournal" +
                            std::to_wstring(GetCurrentProcessId());
  const std::string folder =
      platform::windows::ToUtf8(std::u16string(wide.begin(), wide.end())).text +
      "\\runs\\";
  const std::string path = folder + "a.run";
  platform::OpenedJournal own = Files().CreateJournal(path);
  ASSERT_EQ(own.state, JournalState::kOpen);
  ASSERT_TRUE(own.file->Append("one\n") && own.file->Sync());
  EXPECT_EQ(Files().CreateJournal(path).state, JournalState::kExists);
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kLocked);
  EXPECT_FALSE(Files().RemoveJournal(path));
  std::string text;
  EXPECT_TRUE(Files()
                  .ScanFile(path, [&](std::string_view p) { text.append(p); })
                  .read);
  EXPECT_EQ(text, "one\n");
  std::vector<platform::StoredFile> stored;
  ASSERT_TRUE(Files().ListStored(folder, stored));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].name, "a.run");
  EXPECT_EQ(stored[0].bytes, 4u);
  own.file.reset();
  {
    platform::OpenedJournal again = Files().OpenJournal(path);
    ASSERT_EQ(again.state, JournalState::kOpen);
    ASSERT_TRUE(again.file->Append("two\n"));
  }
  text.clear();
  Files().ScanFile(path, [&](std::string_view p) { text.append(p); }, 4);
  EXPECT_EQ(text, "two\n");
  EXPECT_TRUE(Files().RemoveJournal(path));
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kFailed);
  // Removed, or replaced, while its run goes on: it cannot be written.
  // Wine tells no deletion pending on a file still open (Windows does),
  // and a system that keeps an open file from being replaced leaves
  // nothing to notice.
  const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
  const std::wstring run = wide + L"\\runs\\a.run", other = run + L".new";
  for (const bool replaced : {false, true}) {
    platform::OpenedJournal going = Files().CreateJournal(path);
    ASSERT_EQ(going.state, JournalState::kOpen);
    bool noticed = !wine;
    if (replaced) {
      CloseHandle(CreateFileW(other.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr));
      noticed = MoveFileExW(other.c_str(), run.c_str(), MOVEFILE_REPLACE_EXISTING);
    } else {
      EXPECT_TRUE(DeleteFileW(run.c_str()));
    }
    if (noticed) {
      EXPECT_FALSE(going.file->Append("three\n") && going.file->Sync()) << replaced;
    }
    going.file.reset();
    DeleteFileW(other.c_str());
    DeleteFileW(run.c_str());
  }
  RemoveDirectoryW((wide + L"\\runs").c_str());
  RemoveDirectoryW(wide.c_str());
}

}  // namespace
#endif
