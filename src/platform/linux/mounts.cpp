#include "platform/linux/mounts.h"

#include <stdlib.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "platform/linux/folder_reader.h"
#include "platform/linux/handles.h"
#include "text/lossless_utf8.h"

namespace tarnwick::on_linux {
namespace {

// File systems of the kernel's own that hold no files of the user's.
constexpr std::string_view kPseudoFileSystems[] = {
    "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2",        "configfs",
    "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl",        "hugetlbfs",
    "mqueue",     "nsfs",        "proc",     "pstore",   "ramfs",          "rpc_pipefs",
    "securityfs", "selinuxfs",   "sysfs",    "tracefs",  "fuse.gvfsd-fuse"};

// The system's own folders: what is mounted in them (tmpfs on /run/user/0 or
// /dev/shm, cgroup2 on /sys/fs/cgroup) is the system's, whatever its type.
// Only the removable media that /run/media holds are the user's.
bool IsSystemsOwnMount(std::string_view mount_point) {
  const auto within = [mount_point](std::string_view folder) {
    return mount_point.starts_with(folder) &&
           (mount_point.size() == folder.size() || mount_point[folder.size()] == '/');
  };
  if (within("/run/media")) return false;
  return within("/dev") || within("/proc") || within("/sys") || within("/run");
}

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

}  // namespace

std::string UnescapeLabel(std::string_view name) {
  const auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string label;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
        hex(name[i + 3]) >= 0) {
      label.push_back(static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3])));
      i += 3;
      continue;
    }
    label.push_back(name[i]);
  }
  return label;
}

namespace {

std::optional<std::string> CanonicalPath(const std::string& path) {
  const AllocatedText resolved(::realpath(path.c_str(), nullptr));
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
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

std::vector<Drive> DrivesFromMountInfo(std::string_view mountinfo, const LabelOf& label_of) {
  // Mount point to source; a later mount on the same point hides the earlier.
  std::map<std::string, std::string> mounts;
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
    // A mount point is an absolute path; a field that is not one (a damaged
    // line) would give a drive the folder list cannot go to.
    std::string mount_point = Unescape(fields[4]);
    if (!mount_point.starts_with('/') || IsSystemsOwnMount(mount_point)) continue;
    mounts[std::move(mount_point)] =
        dash + 2 != fields.end() ? Unescape(*(dash + 2)) : std::string();
  }
  std::vector<Drive> drives;
  for (const auto& [mount_point, source] : mounts) {
    const Text root = DecodeFileName(mount_point);
    Text text = root;
    if (label_of) {
      if (const std::optional<std::string> label = label_of(source); label && !label->empty()) {
        text += u" [" + DecodeFileName(*label) + u"]";
      }
    }
    drives.push_back({text, root});
  }
  return drives;
}

LabelOf LabelsInFolder(const std::string& folder) {
  std::map<std::string, std::string> labels;
  FolderReader reader(folder);
  while (const dirent* entry = reader.Next()) {
    if (std::optional<std::string> disk = CanonicalPath(folder + "/" + entry->d_name)) {
      labels.emplace(std::move(*disk), UnescapeLabel(entry->d_name));
    }
  }
  if (labels.empty()) return {};
  return [labels = std::move(labels)](const std::string& source) -> std::optional<std::string> {
    if (!source.starts_with('/')) return std::nullopt;
    const std::optional<std::string> disk = CanonicalPath(source);
    if (!disk) return std::nullopt;
    const auto found = labels.find(*disk);
    if (found == labels.end()) return std::nullopt;
    return found->second;
  };
}

}  // namespace tarnwick::on_linux
