#include "platform/posix/mounts.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/lossless_utf8.h"

namespace tarnwick::posix {
namespace {

// File systems of the kernel's own that hold no files of the user's.
constexpr std::string_view kPseudoFileSystems[] = {
    "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2",        "configfs",
    "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl",        "hugetlbfs",
    "mqueue",     "nsfs",        "proc",     "pstore",   "ramfs",          "rpc_pipefs",
    "securityfs", "selinuxfs",   "sysfs",    "tracefs",  "fuse.gvfsd-fuse"};

// mountinfo writes a space, tab, newline and backslash in a path as \040,
// \011, \012 and \134.
std::string Unescape(std::string_view field) {
  std::string path;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.size() == 3 &&
          std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        path.push_back(
            static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0')));
        i += 3;
        continue;
      }
    }
    path.push_back(field[i]);
  }
  return path;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t position = 0;
  while (position < line.size()) {
    const std::size_t end = std::min(line.find(' ', position), line.size());
    fields.push_back(line.substr(position, end - position));
    position = end + 1;
  }
  return fields;
}

}  // namespace

std::vector<Drive> DrivesFromMountInfo(std::string_view mountinfo) {
  std::vector<std::string> mount_points;
  std::size_t position = 0;
  while (position < mountinfo.size()) {
    const std::size_t end = std::min(mountinfo.find('\n', position), mountinfo.size());
    const std::vector<std::string_view> fields = Fields(mountinfo.substr(position, end - position));
    position = end + 1;
    // ID parent major:minor root mount-point options [optional...] - type source options
    const auto dash = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 5 || dash == fields.end() || dash + 1 == fields.end()) continue;
    const std::string_view type = *(dash + 1);
    if (std::find(std::begin(kPseudoFileSystems), std::end(kPseudoFileSystems), type) !=
        std::end(kPseudoFileSystems)) {
      continue;
    }
    mount_points.push_back(Unescape(fields[4]));
  }
  std::sort(mount_points.begin(), mount_points.end());
  mount_points.erase(std::unique(mount_points.begin(), mount_points.end()), mount_points.end());
  std::vector<Drive> drives;
  for (const std::string& mount_point : mount_points) {
    const Text root = DecodeFileName(mount_point);
    drives.push_back({root, root});
  }
  return drives;
}

}  // namespace tarnwick::posix
