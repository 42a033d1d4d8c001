// What a Windows disk mounted through ntfs-3g keeps of each entry beyond its
// Linux name: its short name and its Windows attributes, both as extended
// attributes of the entry's path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick::on_linux {

// Whether `folder` lies on a disk mounted through ntfs-3g: a FUSE file system
// that answers for the Windows attributes of the folder itself.
bool IsNtfs3gFolder(const std::string& folder);

// The second half of that, for a folder already known to lie on FUSE.
bool AnswersForWindowsAttributes(const std::string& folder);

// The Windows attributes of the entry at `path` (not following a link), or
// nullopt where the disk keeps none.
std::optional<std::uint32_t> WindowsAttributesOf(const std::string& path);

// The short name that the disk keeps for `name` in `folder` (which ends in
// "/"): the stored name, the entry's own name when it has none (as for a name
// that already is 8.3, or on a disk with short names off), or nullopt when
// there is no such entry.
std::optional<std::string> NtfsShortNameOf(const std::string& folder, const std::string& name);

}  // namespace tarnwick::on_linux
