// The drive list on Linux: the mounted file systems that hold files.
#pragma once

#include <string_view>
#include <vector>

#include "platform/platform_services.h"

namespace tarnwick::posix {

// The drives that the text of /proc/self/mountinfo describes: every mount
// point of a file system that holds files (not proc, sysfs, cgroup, devpts
// and the like), once, sorted, each shown as its mount point.
std::vector<Drive> DrivesFromMountInfo(std::string_view mountinfo);

}  // namespace tarnwick::posix
