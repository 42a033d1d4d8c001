#include "platform/linux/mount_watch.h"

#include <fcntl.h>

namespace tarnwick::on_linux {

MountWatch::MountWatch() : descriptor_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}

}  // namespace tarnwick::on_linux
