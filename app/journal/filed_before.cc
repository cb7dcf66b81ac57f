#include "app/journal/filed_before.h"

#include <algorithm>
#include <tuple>

#include "app/journal/history.h"
#include "app/journal/history_format.h"
#include "app/journal/whole_file.h"

namespace app {
namespace {

bool Before(const platform::EntryId& a, const platform::EntryId& b) {
  return std::tie(a.by_name, a.volume, a.index) <
         std::tie(b.by_name, b.volume, b.index);
}

}  // namespace

std::vector<platform::EntryId> FiledBefore(platform::UserFiles& files) {
  std::vector<platform::EntryId> filed;
  const std::string folder = files.UserFilePath(platform::UserFile::kRuns);
  std::vector<platform::StoredFile> stored;
  if (folder.empty() || !files.ListStored(folder, stored)) return filed;
  for (const platform::StoredFile& f : stored) {
    if (!f.name.ends_with(kRunEnding)) continue;
    const std::string path = folder + f.name;
    if (JournalUndone(files, path)) continue;
    const platform::FileText text = ReadWholeFile(files, path);
    if (!text.read) continue;
    for (const HistoryRun& run : ReadHistory(text.text).runs) {
      if (RunUndone(run)) continue;
      for (const HistoryRename& r : run.renames)
        if (KeepsEntry(r.kind) && r.made && !r.undone && r.id.known)
          filed.push_back(r.id);
    }
  }
  std::sort(filed.begin(), filed.end(), Before);
  return filed;
}

bool WasFiled(const std::vector<platform::EntryId>& filed,
              const platform::EntryId& id) {
  return id.known && std::binary_search(filed.begin(), filed.end(), id, Before);
}

}  // namespace app
