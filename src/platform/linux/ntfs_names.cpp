#include "platform/linux/ntfs_names.h"

#include <linux/magic.h>
#include <sys/vfs.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>

namespace tarnwick::on_linux {
namespace {

// The attributes in big-endian order, the same on every machine; the other
// form, "system.ntfs_attrib", is in the machine's own order.
constexpr const char* kAttributesName = "system.ntfs_attrib_be";
constexpr const char* kShortNameName = "system.ntfs_dos_name";

}  // namespace

bool IsNtfs3gFolder(const std::string& folder) {
  struct statfs disk {};
  if (::statfs(folder.c_str(), &disk) != 0 || disk.f_type != FUSE_SUPER_MAGIC) return false;
  return AnswersForWindowsAttributes(folder);
}

bool AnswersForWindowsAttributes(const std::string& folder) {
  return WindowsAttributesOf(folder).has_value();
}

std::optional<std::uint32_t> WindowsAttributesOf(const std::string& path) {
  std::array<unsigned char, 4> bytes{};
  if (::lgetxattr(path.c_str(), kAttributesName, bytes.data(), bytes.size()) != 4) {
    return std::nullopt;
  }
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

std::optional<std::string> NtfsShortNameOf(const std::string& folder, const std::string& name) {
  // A short name is at most 12 characters; 256 bytes hold them in any form.
  std::array<char, 256> buffer{};
  const std::string path = folder + name;
  const ssize_t size = ::lgetxattr(path.c_str(), kShortNameName, buffer.data(), buffer.size());
  if (size > 0) return std::string(buffer.data(), static_cast<std::size_t>(size));
  if (size < 0 && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
  // No short name kept (ENODATA), or one that cannot be read: Windows shows
  // such an entry by its own name.
  return name;
}

}  // namespace tarnwick::on_linux
