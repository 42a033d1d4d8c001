// What a Windows disk mounted through ntfs-3g keeps of each entry beyond its
// Linux name: its short name and its Windows attributes, both as extended
// attributes of the entry's path.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace tarnwick::on_linux {

// Reads the extended attribute `attribute` of the entry at `path`, not
// following a link, into `buffer`, as the system does: the size of its value,
// or -1 with errno set (ENODATA where the entry has none, ERANGE where the
// value does not fit, ENOENT where there is no such entry).
using AttributeRead =
    std::function<ssize_t(const std::string& path, const char* attribute, std::span<char> buffer)>;
ssize_t ReadAttribute(const std::string& path, const char* attribute, std::span<char> buffer);

// Whether `folder` lies on a disk mounted through ntfs-3g: a FUSE file system
// that answers for the Windows attributes of the folder itself.
bool IsNtfs3gFolder(const std::string& folder);

// The second half of that, for a folder already known to lie on FUSE.
bool AnswersForWindowsAttributes(const std::string& folder);

// The Windows attributes of the entry at `path` (not following a link), or
// nullopt where the disk keeps none.
std::optional<std::uint32_t> WindowsAttributesOf(const std::string& path,
                                                 const AttributeRead& read = ReadAttribute);

// The short name that the disk keeps for `name` in `folder` (which ends in
// "/"): the stored name where it is a valid 8.3 name, the entry's own name
// when it has none (as for a name that already is 8.3, or on a disk with
// short names off) or one that is not valid, or nullopt when there is no
// such entry.
std::optional<std::string> NtfsShortNameOf(const std::string& folder, const std::string& name,
                                           const AttributeRead& read = ReadAttribute);

}  // namespace tarnwick::on_linux
