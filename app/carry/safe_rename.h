// The rename of one entry as the run makes it, on every platform: refused
// names never reach the system, an existing entry is never replaced, and a
// change of letter case that the file system takes for the same name goes
// through a temporary name.
#pragma once

#include <string>
#include <string_view>

#include "app/carry/cross_device_move.h"
#include "platform/file_system.h"

namespace app {

// Where the new name comes from: the rules make it, or undo gives an entry
// back the name it had, which may be one the system's programs cannot open
// (a device's name on Windows): never made, but given back.
enum class NewName { kMade, kGivenBack };

// "" when the entry now has its new name, else the words of the failure.
// A change of case goes through CaseDetour(detour_tag): a run calls it with
// interrupts held, so that the two steps are never cut apart.
std::string SafeRename(platform::FileSystem& files,
                       const platform::Folder& folder,
                       std::string_view old_name, std::string_view new_name,
                       std::string_view detour_tag,
                       NewName source = NewName::kMade);

// The same for a move of old_name of from into to as new_name, in one step;
// between two file systems, with a recorder, through a copy (MoveAcross,
// its temporary named by tag).
std::string SafeMove(platform::FileSystem& files, const platform::Folder& from,
                     std::string_view old_name, const platform::Folder& to,
                     std::string_view new_name,
                     NewName source = NewName::kMade,
                     CopyRecorder* across = nullptr,
                     std::string_view tag = {});

// The temporary name of a change of case: the tag is the run's id and the
// rename's number, so that undo finds an entry that a kill left there.
std::string CaseDetour(std::string_view tag);

// The case rule keeps every letter's length in bytes: a change of case alone
// leaves the length, the ASCII letters but for their case, and every other
// ASCII byte.  False when the names cannot differ in case only.
bool MayDifferInCaseOnly(std::string_view a, std::string_view b);

// True when both names denote one entry that the system can identify.
bool SameEntry(platform::FileSystem& files, const platform::Folder& folder,
               std::string_view a, std::string_view b);

}  // namespace app
