#include "app/cross_device_move.h"

#include <cstdint>

#include "app/failure_words.h"
#include "app/volume_identity.h"

namespace app {

std::string CopyTemporary(std::string_view tag) {
  return ".namewisp-copy-" + std::string(tag) + ".tmp";
}

platform::EntryId CopyIdentity(platform::FileSystem& files,
                               const platform::Folder& folder,
                               std::string_view name) {
  return KeepsEntryNumbers(files.VolumeType(folder))
             ? files.Identify(folder, name)
             : files.StampOf(folder, name);
}

std::string MoveAcross(platform::FileSystem& files, const platform::Folder& from,
                       std::string_view old_name, const platform::Folder& to,
                       std::string_view new_name, std::string_view tag,
                       CopyRecorder& recorder) {
  const platform::EntryId before = files.StampOf(from, old_name);
  if (!before.known) return FailureWords({platform::Failure::kNotFound, 0}, files);
  if (files.Exists(to, new_name))
    return FailureWords({platform::Failure::kExists, 0}, files);
  if (!recorder.Record(CopyStep::kCopy, {}))
    return "its copy cannot be recorded for undo";
  const std::string temporary = CopyTemporary(tag);
  std::uint64_t bytes = 0;
  platform::Outcome outcome =
      files.CopyInto(from, old_name, to, temporary, bytes);
  if (!outcome.ok()) return FailureWords(outcome, files);
  // The copy has every byte the file had when the move began, and the file
  // did not change meanwhile (a download still written, say).
  const platform::EntryId copied = files.StampOf(to, temporary);
  if (bytes != before.volume || copied.volume != bytes ||
      !(files.StampOf(from, old_name) == before)) {
    files.RemoveFile(to, temporary);
    return "it changed while it was copied: the copy is removed, the file "
           "stays where it was";
  }
  const platform::EntryId copy = CopyIdentity(files, to, temporary);
  if (!recorder.Record(CopyStep::kCopied, copy)) {
    files.RemoveFile(to, temporary);
    return "its copy cannot be recorded for undo";
  }
  outcome = files.Rename(to, temporary, new_name);
  if (!outcome.ok()) {
    files.RemoveFile(to, temporary);
    return FailureWords(outcome, files);
  }
  files.SyncFolder(to);
  outcome = files.RemoveFile(from, old_name);
  if (!outcome.ok()) {
    // The file stays where it was, so its copy goes: one file, as before.
    files.RemoveFile(to, new_name);
    files.SyncFolder(to);
    return FailureWords(outcome, files) + " (the file stays where it was)";
  }
  files.SyncFolder(from);
  return "";
}

}  // namespace app
