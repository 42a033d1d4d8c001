// What a screen reader is given beyond what Qt gives by itself.
#pragma once

namespace tarnwick::qt {

// Lets the drive list (DriveList) be read by its accessible name, as every
// other control is, with the drive it shows as its value: Qt names a combo
// box on Linux by the text it shows and leaves saying what it is to a label
// beside it, which this window has not. Installs once, however often called.
void InstallAccessibility();

}  // namespace tarnwick::qt
