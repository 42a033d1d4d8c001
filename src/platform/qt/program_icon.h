// The program's icon, drawn in code: a card holding a long name and a short
// one, joined by a double arrow.
#pragma once

#include <QIcon>
#include <QImage>

namespace tarnwick::qt {

// The picture at `size` × `size` pixels.
QImage DrawProgramIcon(int size);

// The icon at the sizes a desktop asks for.
QIcon ProgramIcon();

}  // namespace tarnwick::qt
