#include "platform/qt/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tarnwick::qt {

QImage DrawProgramIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);

  // The card.
  painter.setPen(QPen(QColor(0x1F, 0x4E, 0x79), 1.2));
  painter.setBrush(QColor(0xF4, 0xF8, 0xFC));
  painter.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 3, 3);

  // A long name above, a short one below.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2E, 0x75, 0xB6));
  painter.drawRoundedRect(QRectF(5, 8, 22, 4), 1.5, 1.5);
  painter.setBrush(QColor(0xC5, 0x5A, 0x11));
  painter.drawRoundedRect(QRectF(5, 20, 10, 4), 1.5, 1.5);

  // The double arrow between them.
  QPainterPath arrow;
  arrow.moveTo(21, 13.5);
  arrow.lineTo(24.5, 16.25);
  arrow.lineTo(21, 19);
  arrow.closeSubpath();
  arrow.moveTo(21, 19);
  painter.setBrush(QColor(0x1F, 0x4E, 0x79));
  painter.drawPath(arrow);
  QPainterPath back;
  back.moveTo(17.5, 13.5);
  back.lineTo(14, 16.25);
  back.lineTo(17.5, 19);
  back.closeSubpath();
  painter.drawPath(back);
  painter.drawRect(QRectF(17, 15.25, 4.5, 2));
  painter.end();
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(QPixmap::fromImage(DrawProgramIcon(size)));
  }
  return icon;
}

}  // namespace tarnwick::qt
