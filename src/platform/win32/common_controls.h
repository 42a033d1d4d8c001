// The common controls' functions that the window calls, from comctl32 as
// the program's manifest picks it (version 6). The program does not import
// comctl32: the loader would load it, and the DLLs that it loads by name
// (uxtheme), before the program's first line could restrict where DLLs come
// from. So it is loaded at its first use, after RestrictLibrarySearch, and
// reached through this table.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

namespace tarnwick::win32 {

struct CommonControls {
  decltype(&::InitCommonControlsEx) InitCommonControlsEx;
  decltype(&::SetWindowSubclass) SetWindowSubclass;
  decltype(&::RemoveWindowSubclass) RemoveWindowSubclass;
  decltype(&::DefSubclassProc) DefSubclassProc;
};

// Loaded at the first call. Throws std::runtime_error when comctl32 or one of
// its functions cannot be had.
const CommonControls& TheCommonControls();

}  // namespace tarnwick::win32
