// The Windows handles that the program frees, each freeing itself.
#pragma once

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include "base/scoped_handle.h"

namespace tarnwick::win32 {

// A search of a folder, from FindFirstFileW.
struct FindTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle search) { ::FindClose(search); }
};
using FindHandle = ScopedHandle<FindTraits>;

// Memory that the system allocated with LocalAlloc for the caller.
using LocalMemory = ScopedHandle<DefaultIsNone<HLOCAL, ::LocalFree>>;

// A font, bitmap, brush or pen that the program made.
template <typename Object>
using GdiObjectTraits = DefaultIsNone<Object, ::DeleteObject>;
using FontHandle = ScopedHandle<GdiObjectTraits<HFONT>>;
using BitmapHandle = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using BrushHandle = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using PenHandle = ScopedHandle<GdiObjectTraits<HPEN>>;

using IconHandle = ScopedHandle<DefaultIsNone<HICON, ::DestroyIcon>>;

// The device context of a window, or of the screen for none, from GetDC.
struct WindowDc {
  HWND window = nullptr;
  HDC dc = nullptr;
  bool operator==(const WindowDc&) const = default;
};
inline void ReleaseWindowDc(WindowDc handle) { ::ReleaseDC(handle.window, handle.dc); }
using WindowDcHandle = ScopedHandle<DefaultIsNone<WindowDc, ReleaseWindowDc>>;

inline WindowDcHandle GetWindowDc(HWND window) {
  return WindowDcHandle(WindowDc{window, ::GetDC(window)});
}

// A device context that the program made, from CreateCompatibleDC.
using MemoryDcHandle = ScopedHandle<DefaultIsNone<HDC, ::DeleteDC>>;

using MenuHandle = ScopedHandle<DefaultIsNone<HMENU, ::DestroyMenu>>;
using AcceleratorHandle = ScopedHandle<DefaultIsNone<HACCEL, ::DestroyAcceleratorTable>>;

// The paths dropped on a window, from WM_DROPFILES.
using DropHandle = ScopedHandle<DefaultIsNone<HDROP, ::DragFinish>>;

// Memory for the clipboard, from GlobalAlloc; once the clipboard has it, it
// is the clipboard's to free.
using GlobalMemory = ScopedHandle<DefaultIsNone<HGLOBAL, ::GlobalFree>>;

// The clipboard, open for this program until it goes.
inline void CloseClipboardHeld(bool /*held*/) { ::CloseClipboard(); }
using ClipboardHold = ScopedHandle<DefaultIsNone<bool, CloseClipboardHeld>>;

// An object selected into a device context: the one it replaced is put back.
struct Selection {
  HDC dc = nullptr;
  HGDIOBJ replaced = nullptr;
  bool operator==(const Selection&) const = default;
};
inline void RestoreSelection(Selection selection) {
  ::SelectObject(selection.dc, selection.replaced);
}
using SelectedObject = ScopedHandle<DefaultIsNone<Selection, RestoreSelection>>;

// Selects `object` into `dc` until the result goes.
inline SelectedObject Select(HDC dc, HGDIOBJ object) {
  return SelectedObject(Selection{dc, ::SelectObject(dc, object)});
}

}  // namespace tarnwick::win32
