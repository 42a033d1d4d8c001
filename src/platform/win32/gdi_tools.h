// Drawing tools of the Win32 window, apart from the window itself: the dpi,
// the screen's work area, the folder glyph, a font that draws every
// character a name needs, and the heights of controls that the system sizes
// its own way.
#pragma once

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include "platform/win32/handles.h"

namespace tarnwick::win32 {

// The window's dpi where the system can tell it (Windows 10 and later), else
// the screen's.
UINT DpiOf(HWND window);

// The work area (the screen less the task bar) of the screen that holds the
// most of `window`.
RECT WorkAreaOf(HWND window);

// A small icon of the system's, or none.
IconHandle StockIcon(SHSTOCKICONID id);

// A folder drawn by hand, where the system has no icon for one.
void DrawFolderGlyph(HDC dc, int left, int top, int size, bool open);

// Makes the closed drop-down list `height` pixels high.
void SetClosedHeight(HWND drop_down, int height);

// The height of a line of `font` in `control` with nothing clipped; 0 where
// the system cannot tell.
int FullLineHeight(HWND control, HFONT font);

// `font`, or where it leaves out "_", the next pixel size that draws it.
FontHandle FontThatDrawsUnderscores(LOGFONTW font);

}  // namespace tarnwick::win32
