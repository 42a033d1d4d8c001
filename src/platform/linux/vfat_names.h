// The short names that a FAT disk keeps, as the kernel's vfat driver gives
// them: VFAT_IOCTL_READDIR_BOTH reads a folder one entry at a time, each as
// its short name beside its long one.
#pragma once

#include <linux/msdos_fs.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/short_name_table.h"

namespace tarnwick::on_linux {

struct VfatNames {
  std::string long_name;
  std::string short_name;
  bool operator==(const VfatNames&) const = default;
};

// What the driver fills in for one entry: the short name first, then the
// long name, whose length is 0 when the entry has only its short name.
using VfatEntry = __fat_dirent[2];

// The names of one entry; nullopt for "." and "..", and for an entry with
// no name at all. An entry whose short name is no valid 8.3 name goes by its
// long name alone, as one with no short name does.
std::optional<VfatNames> NamesFromVfatEntry(const VfatEntry& entry);

// Reads entries until `read_next` gives 0 (the end); nullopt as soon as it
// gives less than 0 (an error, or a disk that is not FAT).
using VfatReadNext = std::function<int(VfatEntry&)>;
std::optional<std::vector<VfatNames>> ReadVfatEntries(const VfatReadNext& read_next);

// Every entry of `folder` but "." and "..", through the driver; nullopt when
// the folder cannot be read so, as on any disk that is not FAT.
std::optional<std::vector<VfatNames>> ReadVfatFolder(const std::string& folder);

// The short name of every entry by its long name, and of every short name by
// itself: the driver finds an entry by either, and so does Windows.
ShortNameTable ShortNamesByName(const std::vector<VfatNames>& names);

}  // namespace tarnwick::on_linux
