// Tells when the system's mounts change, so that the drive list can follow
// a disk that is plugged in or taken out.
#pragma once

namespace tarnwick::on_linux {

// /proc/self/mountinfo, held open: the kernel marks it with an exceptional
// condition (POLLPRI) after every change of the mounts, which an event loop
// can wait for; each wait that reports it takes note of it.
class MountWatch {
 public:
  MountWatch();
  ~MountWatch();
  MountWatch(const MountWatch&) = delete;
  MountWatch& operator=(const MountWatch&) = delete;

  // The descriptor to wait on; -1 where the system has no such file.
  int descriptor() const { return descriptor_; }

 private:
  int descriptor_;
};

}  // namespace tarnwick::on_linux
