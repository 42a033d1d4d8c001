#include "platform/qt/mount_notifier.h"

#include <QSocketNotifier>

namespace tarnwick::qt {

MountNotifier::MountNotifier(QObject* parent) : QObject(parent) {
  // Where the system has no mount table to watch, the drive list stays as
  // it was read at the start.
  if (watch_.descriptor() < 0) return;
  notifier_ = new QSocketNotifier(watch_.descriptor(), QSocketNotifier::Exception, this);
  connect(notifier_, &QSocketNotifier::activated, this, &MountNotifier::mountsChanged);
}

}  // namespace tarnwick::qt
