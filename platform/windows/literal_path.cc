#include "platform/windows/literal_path.h"

#include <windows.h>

#include <vector>

#include "platform/windows/text_convert.h"

namespace platform::windows {
namespace {

bool IsDrive(std::u16string_view path) {
  return path.size() >= 2 && path[1] == u':' &&
         ((path[0] >= u'A' && path[0] <= u'Z') ||
          (path[0] >= u'a' && path[0] <= u'z'));
}

// The system's full form of a short start ("." for the current folder, "D:"
// for the current folder of a drive, "\" for the root of the current drive).
std::u16string FullForm(const wchar_t* start) {
  std::u16string full(kLongestPath + 1, u'\0');
  const DWORD length = GetFullPathNameW(
      start, static_cast<DWORD>(full.size()),
      reinterpret_cast<wchar_t*>(full.data()), nullptr);
  if (length == 0 || length > kLongestPath) return u"";
  full.resize(length);
  return full;
}

// The literal form of a full path the system gave (with a drive or a UNC
// share), and the length of its root, which ".." never leaves.
std::u16string Literal(std::u16string full, std::size_t& root) {
  for (char16_t& c : full)
    if (c == u'/') c = u'\\';
  if (full.empty() || full.back() != u'\\') full.push_back(u'\\');
  if (full.starts_with(u"\\\\?\\") || full.starts_with(u"\\\\.\\")) {
    root = full.find(u'\\', 4);
    root = root == std::u16string::npos ? full.size() : root + 1;
    return full;
  }
  if (full.starts_with(u"\\\\")) {  // \\server\share\...
    std::u16string out = u"\\\\?\\UNC\\" + full.substr(2);
    const std::size_t server_end = out.find(u'\\', 8);
    const std::size_t share_end =
        server_end == std::u16string::npos ? server_end
                                           : out.find(u'\\', server_end + 1);
    root = share_end == std::u16string::npos ? out.size() : share_end + 1;
    return out;
  }
  root = 7;  // \\?\D:\ .
  return u"\\\\?\\" + full;
}

}  // namespace

LiteralPath LiteralFolder(std::string_view folder) {
  LiteralPath out;
  std::u16string wide = ToWide(folder);
  if (wide.empty() && !folder.empty()) return {u"", Failure::kRefusedName};
  for (char16_t& c : wide)
    if (c == u'/') c = u'\\';
  // Where the path starts, as the system tells it, and the rest of it.
  std::u16string start;
  std::size_t rest = 0;
  if (wide.starts_with(u"\\\\")) {
    // A UNC share or a literal path is already full: its root is kept.
    std::size_t root = 0;
    start = Literal(wide, root);
    out.path = start.substr(0, root);
    rest = root;
    wide = start;
  } else if (IsDrive(wide) && wide.size() > 2 && wide[2] == u'\\') {
    std::size_t root = 0;
    out.path = Literal(wide.substr(0, 3), root);
    rest = 3;
  } else {
    std::u16string base;
    if (IsDrive(wide)) {
      base = FullForm(reinterpret_cast<const wchar_t*>(wide.substr(0, 2).c_str()));
      rest = 2;
    } else if (!wide.empty() && wide[0] == u'\\') {
      base = FullForm(L"\\");
      rest = 1;
    } else {
      base = FullForm(L".");
    }
    if (base.empty()) return {u"", Failure::kTooLong};
    std::size_t root = 0;
    out.path = Literal(base, root);
    // The folder the system gave may sit below the root: its names are kept,
    // and ".." may leave them.
    std::u16string below = out.path.substr(root);
    out.path.resize(root);
    wide = below + wide.substr(rest);
    rest = 0;
  }
  const std::size_t root = out.path.size();
  std::size_t at = rest;
  while (at <= wide.size()) {
    std::size_t end = wide.find(u'\\', at);
    if (end == std::u16string::npos) end = wide.size();
    const std::u16string_view name(wide.data() + at, end - at);
    if (name == u"..") {
      if (out.path.size() > root) {
        const std::size_t cut = out.path.rfind(u'\\', out.path.size() - 2);
        out.path.resize(cut < root ? root : cut + 1);
      }
    } else if (!name.empty() && name != u".") {
      out.path.append(name);
      out.path.push_back(u'\\');
    }
    at = end + 1;
  }
  if (out.path.size() > kLongestPath) return {u"", Failure::kTooLong};
  return out;
}

LiteralPath Join(const LiteralPath& folder, std::string_view name) {
  if (folder.failure != Failure::kNone) return folder;
  const std::u16string wide = ToWide(name);
  if (wide.empty() && !name.empty()) return {u"", Failure::kRefusedName};
  LiteralPath out{folder.path + wide, Failure::kNone};
  if (out.path.size() > kLongestPath) return {u"", Failure::kTooLong};
  return out;
}

}  // namespace platform::windows
