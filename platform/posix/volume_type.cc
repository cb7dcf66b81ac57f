// The file system a folder is on, by the number the kernel gives each kind.
#include <sys/vfs.h>

#include <array>
#include <string>
#include <string_view>

#include "platform/posix/file_system.h"

namespace platform::posix {
namespace {

struct Kind {
  unsigned long magic;
  const char* name;
};

// Those of interest to the program: where entries keep their numbers, and
// where they do not.
constexpr Kind kKinds[] = {
    {0xEF53, "ext4"},         {0x58465342, "xfs"},   {0x9123683E, "btrfs"},
    {0x01021994, "tmpfs"},    {0xF2F52010, "f2fs"},  {0x794C7630, "overlay"},
    {0x2FC12FC1, "zfs"},      {0x5346544E, "ntfs"},  {0x7366746E, "ntfs3"},
    {0x65735546, "fuse"},     {0x2011BAB0, "exfat"}, {0x4D44, "vfat"},
    {0x6969, "nfs"},          {0xFF534D42, "cifs"},  {0xFE534D42, "smb2"},
    {0x517B, "smb"},          {0x01021997, "9p"},    {0x00C36400, "ceph"},
    {0x9660, "iso9660"},      {0x15013346, "udf"},
};

// The bytes that no FAT or exFAT name holds: " * : < > ? \ | and those
// below 0x20.
constexpr auto kNotHeld = [] {
  std::array<bool, 256> refused{};
  for (int c = 0; c < 0x20; ++c) refused[c] = true;
  for (const char c : std::string_view("\"*:<>?\\|"))
    refused[static_cast<unsigned char>(c)] = true;
  return refused;
}();

}  // namespace

std::string VolumeTypeOf(int folder_fd) {
  struct statfs fs;
  if (fstatfs(folder_fd, &fs) != 0) return "";
  for (const Kind& kind : kKinds)
    if (static_cast<unsigned long>(fs.f_type) == kind.magic) return kind.name;
  return "";
}

bool VolumeHoldsName(std::string_view volume_type, std::string_view name) {
  if (volume_type != "exfat" && volume_type != "vfat") return true;
  // Every rename asks: a table a byte, and no branch before the name's end
  // (names are short).
  bool refused = false;
  for (const char c : name) refused |= kNotHeld[static_cast<unsigned char>(c)];
  return !refused;
}

}  // namespace platform::posix
