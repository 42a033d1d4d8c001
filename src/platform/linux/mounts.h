// The drive list on Linux: the mounted file systems that hold files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_services.h"

namespace tarnwick::on_linux {

// The label of the disk that a mount came from (its source, such as
// "/dev/sdb1"), or nullopt where none is known.
using LabelOf = std::function<std::optional<std::string>(const std::string& source)>;

// The drives that the text of /proc/self/mountinfo describes, as a file
// manager offers them: every mount point of a file system that holds files
// (not proc, sysfs, cgroup, devpts and the like) outside the system's own
// /dev, /proc, /sys and /run (but /run/media), once, sorted, each shown as its mount point and,
// where `label_of` knows one, the label of what is mounted there last:
// "/mnt/windows [WINDISK]".
std::vector<Drive> DrivesFromMountInfo(std::string_view mountinfo, const LabelOf& label_of = {});

// The labels that a folder like /dev/disk/by-label gives, read once: one link
// a label, named by the label (with udev's \xNN escapes) and leading to the
// disk. A mount's source matches when it leads to the same disk. Empty where
// the folder has no labels.
LabelOf LabelsInFolder(const std::string& folder);

// A label from the name of its link: udev writes \xNN for a byte that a file
// name should not hold, such as "/" or a space; anything else stands for
// itself.
std::string UnescapeLabel(std::string_view name);

}  // namespace tarnwick::on_linux
