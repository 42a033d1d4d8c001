// Resource IDs of tarnwick.exe, shared by tarnwick.rc and the program.
#pragma once

// The program icon: 32x32 in 2 and 16 colours, 16x16 in 16 colours.
#define IDI_TARNWICK 1
