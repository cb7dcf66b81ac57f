#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "posix_temp_dir.h"

namespace {

using posix_test::TempDir;

// Another user than the one the tests run as: CI runs them as root, and a
// copy that keeps its owner is only seen with a file of someone else's.
constexpr uid_t kOther = 65534;

// An ACL as the kernel keeps it in system.posix_acl_access: the owner rwx,
// user 1000 r, the group r-x, the mask r-x, others nothing.
std::string Acl() {
  std::string acl;
  auto add = [&acl](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      acl.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  add(2, 4);  // version
  const std::uint32_t kNone = 0xFFFFFFFF;
  for (const auto& [tag, perm, id] : std::vector<std::array<std::uint32_t, 3>>{
           {0x01, 7, kNone}, {0x02, 4, 1000}, {0x04, 5, kNone},
           {0x10, 5, kNone}, {0x20, 0, kNone}}) {
    add(tag, 2);
    add(perm, 2);
    add(id, 4);
  }
  return acl;
}

std::string Attribute(const std::string& path, const char* name) {
  std::string value(256, '\0');
  const ssize_t got = getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return value;
}

// A gibibyte with 8 KiB of data, another user's, set-user-id, with an
// attribute of its own and an ACL: the copy has its holes, its owner and
// group, both attributes, its mode but set-user-id, and its times.
TEST(PosixCopyFile, TheCopyKeepsHolesOwnerAttributesModeAndTimes) {
  TempDir dir;
  dir.MakeDir("from");
  dir.MakeDir("to");
  const int fd = open(dir.Path("from/f").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  const std::string head(4096, 'h'), tail(4096, 't');
  constexpr off_t kSize = off_t{1} << 30, kMiddle = kSize / 2;
  ASSERT_EQ(ftruncate(fd, kSize), 0);
  ASSERT_EQ(pwrite(fd, head.data(), head.size(), 0), 4096);
  ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), kMiddle), 4096);
  ASSERT_EQ(fchown(fd, kOther, kOther), 0)
      << "the test gives the file to another user: run it as root";
  const std::string acl = Acl();
  ASSERT_EQ(fsetxattr(fd, "user.origin", "downloads", 9, 0), 0);
  ASSERT_EQ(fsetxattr(fd, "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
  ASSERT_EQ(fchmod(fd, 04750), 0);
  const struct timespec times[2] = {{1000, 1}, {1234567891, 987654321}};
  ASSERT_EQ(futimens(fd, times), 0);
  close(fd);

  platform::Copied copied;
  const platform::Outcome outcome = platform::SystemFileSystem().CopyInto(
      {dir.Path("from/"), nullptr}, "f", {dir.Path("to/"), nullptr}, "g",
      copied, {});
  ASSERT_TRUE(outcome.ok()) << outcome.code;
  EXPECT_EQ(copied.bytes, static_cast<std::uint64_t>(kSize));
  EXPECT_FALSE(copied.owner_lost || copied.group_lost);
  EXPECT_TRUE(copied.attributes_lost.empty());

  struct stat st;
  ASSERT_EQ(lstat(dir.Path("to/g").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, kSize);
  EXPECT_LT(st.st_blocks * 512, 1 << 20) << "the holes stay holes";
  EXPECT_EQ(st.st_uid, kOther);
  EXPECT_EQ(st.st_gid, kOther);
  EXPECT_EQ(st.st_mode & 07777, 0750u) << "never set-user-id";
  EXPECT_EQ(st.st_atim.tv_sec, 1000);
  EXPECT_EQ(st.st_mtim.tv_sec, 1234567891);
  EXPECT_EQ(st.st_mtim.tv_nsec, 987654321);
  EXPECT_EQ(Attribute(dir.Path("to/g"), "user.origin"), "downloads");
  EXPECT_EQ(Attribute(dir.Path("to/g"), "system.posix_acl_access"),
            Attribute(dir.Path("from/f"), "system.posix_acl_access"));
  const int in = open(dir.Path("to/g").c_str(), O_RDONLY);
  std::string read(4096, '\0');
  EXPECT_EQ(pread(in, read.data(), read.size(), 0), 4096);
  EXPECT_EQ(read, head);
  EXPECT_EQ(pread(in, read.data(), read.size(), kMiddle), 4096);
  EXPECT_EQ(read, tail);
  EXPECT_EQ(pread(in, read.data(), read.size(), kMiddle - 4096), 4096);
  EXPECT_EQ(read, std::string(4096, '\0'));
  close(in);
}

// Undo gives a file and a folder back their owner, group, mode with
// set-user-id, and times; never through a link.
TEST(PosixCopyFile, SetFactsGivesBackOwnerModeAndTimes) {
  TempDir dir;
  dir.WriteFile("f", "bytes");
  dir.MakeDir("d");
  ASSERT_EQ(symlink("f", dir.Path("link").c_str()), 0);
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Folder top{dir.Dir(), nullptr};
  const platform::EntryFacts facts{true, kOther, kOther, 04751,
                                   5000000001, 6000000007};
  ASSERT_TRUE(files.SetFacts(top, "f", facts).ok());
  ASSERT_TRUE(files.SetFacts({dir.Path("d/"), nullptr}, ".",
                             {true, kOther, 0, 02775, 7000000000, 8000000000})
                  .ok());
  EXPECT_EQ(files.SetFacts(top, "link", {true, 0, 0, 0600, 0, 0}).failure,
            platform::Failure::kNotAFile);
  struct stat st;
  ASSERT_EQ(lstat(dir.Path("f").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kOther);
  EXPECT_EQ(st.st_gid, kOther);
  EXPECT_EQ(st.st_mode & 07777, 04751u);
  EXPECT_EQ(st.st_atim.tv_sec, 5);
  EXPECT_EQ(st.st_atim.tv_nsec, 1);
  EXPECT_EQ(st.st_mtim.tv_sec, 6);
  EXPECT_EQ(st.st_mtim.tv_nsec, 7);
  ASSERT_EQ(lstat(dir.Path("d").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kOther);
  EXPECT_EQ(st.st_mode & 07777, 02775u);
  EXPECT_EQ(st.st_mtim.tv_sec, 8);
  EXPECT_EQ(files.Stat(top, "f").facts, facts);
}

}  // namespace
