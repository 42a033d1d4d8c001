#include "platform/linux/ntfs_names.h"

#include <linux/magic.h>
#include <sys/vfs.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>

#include "fat/fat_short_names.h"

namespace tarnwick::on_linux {
namespace {

// The attributes in big-endian order, the same on every machine; the other
// form, "system.ntfs_attrib", is in the machine's own order.
constexpr const char* kAttributesName = "system.ntfs_attrib_be";
constexpr const char* kShortNameName = "system.ntfs_dos_name";

}  // namespace

ssize_t ReadAttribute(const std::string& path, const char* attribute, std::span<char> buffer) {
  return ::lgetxattr(path.c_str(), attribute, buffer.data(), buffer.size());
}

bool IsNtfs3gFolder(const std::string& folder) {
  struct statfs disk {};
  if (::statfs(folder.c_str(), &disk) != 0 || disk.f_type != FUSE_SUPER_MAGIC) return false;
  return AnswersForWindowsAttributes(folder);
}

bool AnswersForWindowsAttributes(const std::string& folder) {
  return WindowsAttributesOf(folder).has_value();
}

std::optional<std::uint32_t> WindowsAttributesOf(const std::string& path,
                                                 const AttributeRead& read) {
  std::array<char, 4> bytes{};
  if (read(path, kAttributesName, bytes) != 4) return std::nullopt;
  const auto byte = [&bytes](std::size_t i) { return std::uint32_t{std::uint8_t(bytes[i])}; };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

std::optional<std::string> NtfsShortNameOf(const std::string& folder, const std::string& name,
                                           const AttributeRead& read) {
  // A short name is at most 12 characters; 256 bytes hold them in any form.
  std::array<char, 256> buffer{};
  const ssize_t size = read(folder + name, kShortNameName, buffer);
  if (size < 0 && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
  // A stored name that is no valid 8.3 name (one with a separator or a
  // control character in it, "." or "..", or too long in code page 932)
  // would go on into the label and every short path copied: it counts as
  // none kept.
  if (size > 0 && static_cast<std::size_t>(size) <= buffer.size()) {
    const std::string_view stored(buffer.data(), static_cast<std::size_t>(size));
    if (fat::IsValidShortName(stored)) return std::string(stored);
  }
  // No short name kept (ENODATA), or one that cannot be read or used:
  // Windows shows such an entry by its own name.
  return name;
}

}  // namespace tarnwick::on_linux
