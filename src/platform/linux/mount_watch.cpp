#include "platform/linux/mount_watch.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick::on_linux {

MountWatch::MountWatch() : descriptor_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}

MountWatch::~MountWatch() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace tarnwick::on_linux
