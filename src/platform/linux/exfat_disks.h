// Telling an exFAT disk, which keeps no short names, where its driver does
// not say what it is: exfat-fuse mounts it as "fuseblk", as ntfs-3g mounts
// an NTFS disk.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::on_linux {

// Whether `first_bytes`, the start of a disk, are an exFAT boot sector: its
// file system's name, "EXFAT" and three spaces, at offset 3.
bool IsExfatBootSector(std::string_view first_bytes);

// The first sector of the block device `device`, read through its node in
// /dev, or nullopt where it cannot be read (by a user who may not read the
// disk itself, or where the node is not there).
using BootSectorRead = std::function<std::optional<std::string>(dev_t device)>;
std::optional<std::string> ReadBootSector(dev_t device);

// The file system that udev found on a disk: ID_FS_TYPE in the text of its
// database entry (/run/udev/data/bMAJOR:MINOR), or nullopt where it names none.
std::optional<std::string> UdevFileSystemType(std::string_view udev_entry);

// Whether the block device `device` holds exFAT: by its boot sector where it
// can be read, else by what udev found on it (in `udev_data`, a folder path
// with a final "/"); false where neither tells.
bool DeviceHoldsExfat(dev_t device, const BootSectorRead& read_boot_sector = ReadBootSector,
                      const std::string& udev_data = "/run/udev/data/");

// Whether `folder` lies on a disk mounted from a block device that holds
// exFAT. (A FUSE disk mounted from a block device has that device's number.)
bool FolderOnExfatDevice(const std::string& folder);

}  // namespace tarnwick::on_linux
