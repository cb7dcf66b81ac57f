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
  RemoveDirectoryW((wide + L"\\runs").c_str());
  RemoveDirectoryW(wide.c_str());
}

}  // namespace
#endif
