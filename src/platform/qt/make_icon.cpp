// Writes the program's icon as PNG files for the desktop: make_icon FOLDER
// gives FOLDER/tarnwick-SIZE.png for each size a desktop uses.
#include <QImage>
#include <cstdio>

#include "platform/qt/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon FOLDER\n");
    return 2;
  }
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const QString path =
        QString::fromLocal8Bit(argv[1]) + QStringLiteral("/tarnwick-%1.png").arg(size);
    if (!tarnwick::qt::DrawProgramIcon(size).save(path)) {
      std::fprintf(stderr, "make_icon: cannot write %s\n", path.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
