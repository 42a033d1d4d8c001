// The program's icon in the window's title bar and task bar.
#pragma once

#include <QIcon>

namespace tarnwick::qt {

// The icon at the sizes a desktop asks for, from the pictures built into the
// program (drawn by src/icon/tarnwick_icon.py).
QIcon ProgramIcon();

}  // namespace tarnwick::qt
