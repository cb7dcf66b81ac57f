#include "app/dry_run.h"

#include "app/failure_words.h"
#include "app/refused_name.h"

namespace app {
namespace {

std::string Key(std::string_view directory, std::string_view name) {
  std::string key(directory);
  key.push_back('\0');  // no name holds one: the key is never ambiguous
  key.append(name);
  return key;
}

}  // namespace

std::string PredictRename(RunServices& s, DryRunFolders& f,
                          std::string_view directory, std::string_view old_name,
                          std::string_view new_name) {
  if (const char* refusal = RefusalOf(old_name, new_name)) return refusal;
  if (old_name == new_name) return "";
  // What the system would refuse without trying.
  const platform::Outcome refused =
      s.check_names ? s.check_names(directory, old_name, new_name)
                    : platform::Outcome{};
  if (!refused.ok()) return FailureWords(refused, s);
  const std::string old_key = Key(directory, old_name);
  const std::string new_key = Key(directory, new_name);
  bool taken = f.taken.count(new_key) > 0;
  if (!taken && !f.freed.count(new_key)) {
    // A change of letter case on a file system that ignores case finds the
    // entry itself: no clash.
    taken = s.exists(directory, new_name) &&
            !s.same_entry(directory, old_name, new_name);
  }
  if (taken) return FailureWords({platform::Failure::kExists, 0}, s);
  f.taken.erase(old_key);
  f.freed.insert(old_key);
  f.freed.erase(new_key);
  f.taken.insert(new_key);
  return "";
}

bool RenamedAway(const DryRunFolders& f, std::string_view directory,
                 std::string_view name) {
  return f.freed.count(Key(directory, name)) > 0;
}

}  // namespace app
