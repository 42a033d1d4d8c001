// The Linux mount watch as a Qt signal: the drive list follows a disk that
// is plugged in or taken out. It stands beside the window, which only hears
// the signal.
#pragma once

#include <QObject>

#include "platform/linux/mount_watch.h"

class QSocketNotifier;

namespace tarnwick::qt {

class MountNotifier final : public QObject {
  Q_OBJECT

 public:
  explicit MountNotifier(QObject* parent = nullptr);

 signals:
  // The mounts changed: a disk came or went.
  void mountsChanged();

 private:
  on_linux::MountWatch watch_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tarnwick::qt
