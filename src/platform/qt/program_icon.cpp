#include "platform/qt/program_icon.h"

#include <QString>

namespace tarnwick::qt {

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/tarnwick-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace tarnwick::qt
