#include "platform/linux/vfat_names.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "fat/fat_short_names.h"
#include "platform/linux/handles.h"

namespace tarnwick::on_linux {
namespace {

// One name as the driver wrote it: `d_reclen` bytes, but never past the end
// of the field or its first NUL, whatever the length says.
std::string_view NameOf(const __fat_dirent& dirent) {
  const std::size_t stored = ::strnlen(dirent.d_name, sizeof dirent.d_name);
  return {dirent.d_name, std::min<std::size_t>(dirent.d_reclen, stored)};
}

}  // namespace

std::optional<VfatNames> NamesFromVfatEntry(const VfatEntry& entry) {
  std::string_view short_name = NameOf(entry[0]);
  std::string_view long_name = NameOf(entry[1]);
  // An entry with only a short name goes by it.
  if (long_name.empty()) long_name = short_name;
  if (long_name.empty() || long_name == "." || long_name == "..") return std::nullopt;
  // A short name that is no valid 8.3 name (one with a separator or a
  // control character in it, or too long in code page 932, as a damaged disk
  // or a code page that does not match may give) counts as none kept.
  if (!fat::IsValidShortName(short_name)) short_name = long_name;
  return VfatNames{std::string(long_name), std::string(short_name)};
}

std::optional<std::vector<VfatNames>> ReadVfatEntries(const VfatReadNext& read_next) {
  std::vector<VfatNames> names;
  while (true) {
    VfatEntry entry{};
    const int result = read_next(entry);
    if (result < 0) return std::nullopt;
    if (result == 0) return names;
    if (std::optional<VfatNames> found = NamesFromVfatEntry(entry)) {
      names.push_back(std::move(*found));
    }
  }
}

std::optional<std::vector<VfatNames>> ReadVfatFolder(const std::string& folder) {
  const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!descriptor) return std::nullopt;
  return ReadVfatEntries([fd = descriptor.get()](VfatEntry& entry) {
    return ::ioctl(fd, VFAT_IOCTL_READDIR_BOTH, &entry);
  });
}

ShortNameTable ShortNamesByName(const std::vector<VfatNames>& names) {
  ShortNameTable short_names;
  std::size_t name_bytes = 0;
  std::size_t short_bytes = 0;
  for (const VfatNames& entry : names) {
    name_bytes += entry.long_name.size() + entry.short_name.size();
    short_bytes += 2 * entry.short_name.size();
  }
  short_names.Reserve(names.size() * 2, name_bytes, short_bytes);
  for (const VfatNames& entry : names) short_names.Set(entry.short_name, entry.short_name);
  // A long name always names its own entry.
  for (const VfatNames& entry : names) short_names.Set(entry.long_name, entry.short_name);
  return short_names;
}

}  // namespace tarnwick::on_linux
