#include "platform/linux/exfat_disks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/linux/handles.h"

namespace tarnwick::on_linux {
namespace {

constexpr std::size_t kSectorSize = 512;

// "MAJOR:MINOR", as sysfs and udev name a block device.
std::string DeviceNumber(dev_t device) {
  return std::to_string(::major(device)) + ":" + std::to_string(::minor(device));
}

// The text of a small file of the system's (sysfs, udev's database); empty
// where it cannot be read.
std::string TextOf(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// What follows `key` on the first line of `text` that begins with it.
std::optional<std::string> ValueOf(std::string_view text, std::string_view key) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    if (line.starts_with(key)) return std::string(line.substr(key.size()));
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace

bool IsExfatBootSector(std::string_view first_bytes) {
  return first_bytes.size() >= 11 && first_bytes.substr(3, 8) == "EXFAT   ";
}

std::optional<std::string> ReadBootSector(dev_t device) {
  // The kernel's own name for the device, under /dev.
  const std::optional<std::string> name =
      ValueOf(TextOf("/sys/dev/block/" + DeviceNumber(device) + "/uevent"), "DEVNAME=");
  if (!name || name->empty() || name->find("..") != std::string::npos) return std::nullopt;
  // Not blocking, and checked to be that very device, so that a node in its
  // place that is something else is never read.
  const Descriptor disk(
      ::open(("/dev/" + *name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat status {};
  if (!disk || ::fstat(disk.get(), &status) != 0 || !S_ISBLK(status.st_mode) ||
      status.st_rdev != device) {
    return std::nullopt;
  }
  std::string sector(kSectorSize, '\0');
  const ssize_t size = ::pread(disk.get(), sector.data(), sector.size(), 0);
  if (size < 0) return std::nullopt;
  sector.resize(static_cast<std::size_t>(size));
  return sector;
}

std::optional<std::string> UdevFileSystemType(std::string_view udev_entry) {
  return ValueOf(udev_entry, "E:ID_FS_TYPE=");
}

bool DeviceHoldsExfat(dev_t device, const BootSectorRead& read_boot_sector,
                      const std::string& udev_data) {
  if (const std::optional<std::string> sector = read_boot_sector(device)) {
    return IsExfatBootSector(*sector);
  }
  return UdevFileSystemType(TextOf(udev_data + "b" + DeviceNumber(device))) == "exfat";
}

bool FolderOnExfatDevice(const std::string& folder) {
  struct stat status {};
  // A device number of major 0 belongs to no block device.
  if (::stat(folder.c_str(), &status) != 0 || ::major(status.st_dev) == 0) return false;
  return DeviceHoldsExfat(status.st_dev);
}

}  // namespace tarnwick::on_linux
