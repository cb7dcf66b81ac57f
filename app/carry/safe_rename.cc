#include "app/carry/safe_rename.h"

#include "app/failure_words.h"
#include "app/carry/refused_name.h"
#include "app/journal/volume_identity.h"
#include "text/case.h"

namespace app {
namespace {

// A file system that ignores case takes "Hello" for "hello": the entry goes
// to a temporary name of its own first, one that tells undo which rename it
// belongs to.  Both steps are made under the caller's hold on interrupts,
// and a failed second step gives the entry its old name back: it is never
// left under the temporary one but by a kill.
platform::Outcome ChangeCase(platform::FileSystem& files,
                             const platform::Folder& folder,
                             std::string_view old_name,
                             std::string_view new_name,
                             std::string_view detour_tag) {
  const std::string detour = CaseDetour(detour_tag);
  platform::Outcome outcome = files.Move(folder, old_name, folder, detour);
  if (outcome.ok()) {
    outcome = files.Move(folder, detour, folder, new_name);
    if (!outcome.ok()) files.Move(folder, detour, folder, old_name);
  }
  return outcome;
}

}  // namespace

std::string CaseDetour(std::string_view tag) {
  return ".namewisp-case-" + std::string(tag) + ".tmp";
}

bool MayDifferInCaseOnly(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool ascii = static_cast<unsigned char>(a[i]) < 0x80 &&
                       static_cast<unsigned char>(b[i]) < 0x80;
    if (ascii && text::AsciiLower(a[i]) != text::AsciiLower(b[i])) return false;
  }
  return true;
}

bool SameEntry(platform::FileSystem& files, const platform::Folder& folder,
               std::string_view a, std::string_view b) {
  const platform::EntryId first = files.Stat(folder, a).id;
  return first.known && first == files.Stat(folder, b).id;
}

std::string SafeRename(platform::FileSystem& files,
                       const platform::Folder& folder,
                       std::string_view old_name, std::string_view new_name,
                       std::string_view detour_tag, NewName source) {
  if (const char* refusal = RefusalOf(old_name, new_name)) return refusal;
  if (old_name == new_name) return "";
  // Refused before any step, so that a change of case never takes its first
  // step towards a name the system would refuse.
  if (const platform::Outcome refused = files.CheckNames(
          folder, old_name, new_name, source == NewName::kMade);
      !refused.ok())
    return FailureWords(refused);
  // Some systems report success for a change of case they did not make, so
  // a change that may be one of case alone asks first.  Others refuse it as
  // a clash: the same answer then.
  const bool case_only = MayDifferInCaseOnly(old_name, new_name) &&
                         SameEntry(files, folder, old_name, new_name);
  platform::Outcome outcome =
      case_only ? ChangeCase(files, folder, old_name, new_name, detour_tag)
                : files.Move(folder, old_name, folder, new_name);
  if (outcome.failure == platform::Failure::kExists && !case_only &&
      MayDifferInCaseOnly(old_name, new_name) &&
      (SameEntry(files, folder, old_name, new_name) ||
       !KeepsEntryNumbers(files.DescribeFolder(folder).volume_type))) {
    // Where identities cannot tell (FUSE's exFAT numbers each spelling
    // apart), the detour tells instead: its second step finds the name
    // free only when it was the entry's own.
    outcome = ChangeCase(files, folder, old_name, new_name, detour_tag);
  }
  return outcome.ok() ? "" : FailureWords(outcome);
}

std::string SafeMove(platform::FileSystem& files, const platform::Folder& from,
                     std::string_view old_name, const platform::Folder& to,
                     std::string_view new_name, NewName source,
                     CopyRecorder* across, std::string_view tag) {
  if (const char* refusal = RefusalOf(old_name, new_name)) return refusal;
  if (const platform::Outcome refused =
          files.CheckNames(to, old_name, new_name, source == NewName::kMade);
      !refused.ok())
    return FailureWords(refused);
  const platform::Outcome moved = files.Move(from, old_name, to, new_name);
  if (moved.failure == platform::Failure::kOtherVolume && across)
    return MoveAcross(files, from, old_name, to, new_name, tag, *across);
  return FailureWords(moved);
}

}  // namespace app
