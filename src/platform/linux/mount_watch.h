// Tells when the system's mounts change, so that the drive list can follow
// a disk that is plugged in or taken out.
#pragma once

#include "platform/linux/handles.h"

namespace tarnwick::on_linux {

// /proc/self/mountinfo, held open: the kernel marks it with an exceptional
// condition (POLLPRI) after every change of the mounts, which an event loop
// can wait for; each wait that reports it takes note of it.
class MountWatch {
 public:
  MountWatch();

  // The descriptor to wait on; -1 where the system has no such file.
  int descriptor() const { return descriptor_.get(); }

 private:
  Descriptor descriptor_;
};

}  // namespace tarnwick::on_linux
