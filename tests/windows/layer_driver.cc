// A stand-in for the program's rename run, for end-to-end checks of the
// Windows layer under Wine before the real run exists.  Tail:
//   [/c] [/d|/D] [/u] spec   lists spec; the new name has its periods of the
//                            stem and underscores turned into spaces (/u also
//                            upper-cases the first letter); /c asks first
//   /keys N                  waits for N keys and prints each answer in hex
//   /tail                    prints the command tail
//   /screen                  prints the cursor column and the window width
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

platform::ErrorSlot slot;

void Print(const std::string& text) { platform::PrintText(text, slot); }
void Line(const std::string& text) {
  Print(text);
  platform::PrintLineEnd(slot);
}

bool Cut(std::string& tail, const std::string& option) {
  std::size_t at = tail.find(option + " ");
  if (at == std::string::npos) return false;
  tail.erase(at, option.size() + 1);
  return true;
}

std::string Cleaned(std::string name, bool upper_first) {
  std::size_t period = name.rfind('.');
  std::size_t stem_end = period == std::string::npos ? name.size() : period;
  for (std::size_t i = 0; i < stem_end; ++i)
    if (name[i] == '.' || name[i] == '_') name[i] = ' ';
  if (upper_first && !name.empty() && name[0] >= 'a' && name[0] <= 'z')
    name[0] = static_cast<char>(name[0] - 32);
  return name;
}

int Run(std::string tail) {
  if (tail.rfind("/tail", 0) == 0) {
    std::string shown = "[";
    shown += platform::ToAnsi(platform::CommandTail());
    shown += "]";
    Line(shown);
    return 0;
  }
  if (tail.rfind("/screen", 0) == 0) {
    Line(std::to_string(platform::CursorColumn()) + " " +
         std::to_string(platform::ScreenWidth()));
    return 0;
  }
  if (tail.rfind("/keys ", 0) == 0) {
    int count = std::stoi(tail.substr(6));
    for (int i = 0; i < count; ++i) {
      std::string shown;
      for (char16_t unit : platform::WaitKey()) {
        char hex[8];
        std::snprintf(hex, sizeof(hex), "%04x ", unsigned(unit));
        shown += hex;
      }
      Line(shown);
    }
    return 0;
  }
  tail += " ";
  bool confirm = Cut(tail, "/c");
  int code = Cut(tail, "/D") ? 0x90 : Cut(tail, "/d") ? 0x10 : 0x80;
  bool upper = Cut(tail, "/u");
  std::string spec = tail.substr(0, tail.size() - 1);
  std::string name = platform::ListFirst(spec, code);
  if (name.empty()) {
    Line("Error: No matches to \"" + spec + "\"");
    Line("");
    return 0;
  }
  int exit_code = 0;
  for (; !name.empty(); name = platform::ListNext()) {
    std::string new_name = Cleaned(name, upper);
    if (new_name == name) continue;
    platform::ErrorSlot rename;
    if (confirm) {
      Print("[y/N] " + name + " ==> " + new_name + " ");
      if (platform::WaitKey() != u"y") {
        Line("[SKIPPED]");
        continue;
      }
    } else {
      Line(name + " ==> " + new_name);
    }
    bool ok = platform::RenameEntry(platform::ListDirectory(), name, new_name,
                                    rename);
    if (!ok) exit_code = 1;
    std::string failed = std::string("[FAILED: ") + rename.reason + "]";
    if (confirm) Line(ok ? "[OK]" : failed);
    else if (!ok) Line("  " + failed);
  }
  Line("Done");
  Line("");
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  platform::StartProgram(argc, argv);
  platform::EndProgram(Run(platform::ToAnsi(platform::CommandTail())));
}
