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
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle None() { return nullptr; }
  static void Free(Handle memory) { ::LocalFree(memory); }
};
using LocalMemory = ScopedHandle<LocalMemoryTraits>;

// A font, bitmap, brush or pen that the program made.
template <typename Object>
struct GdiObjectTraits {
  using Handle = Object;
  static Handle None() { return nullptr; }
  static void Free(Handle object) { ::DeleteObject(object); }
};
using FontHandle = ScopedHandle<GdiObjectTraits<HFONT>>;
using BitmapHandle = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using BrushHandle = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using PenHandle = ScopedHandle<GdiObjectTraits<HPEN>>;

struct IconTraits {
  using Handle = HICON;
  static Handle None() { return nullptr; }
  static void Free(Handle icon) { ::DestroyIcon(icon); }
};
using IconHandle = ScopedHandle<IconTraits>;

// The device context of a window, or of the screen for none, from GetDC.
struct WindowDc {
  HWND window = nullptr;
  HDC dc = nullptr;
  bool operator==(const WindowDc&) const = default;
};
struct WindowDcTraits {
  using Handle = WindowDc;
  static Handle None() { return {}; }
  static void Free(Handle handle) { ::ReleaseDC(handle.window, handle.dc); }
};
using WindowDcHandle = ScopedHandle<WindowDcTraits>;

inline WindowDcHandle GetWindowDc(HWND window) {
  return WindowDcHandle(WindowDc{window, ::GetDC(window)});
}

// A device context that the program made, from CreateCompatibleDC.
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle None() { return nullptr; }
  static void Free(Handle dc) { ::DeleteDC(dc); }
};
using MemoryDcHandle = ScopedHandle<MemoryDcTraits>;

struct MenuTraits {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static void Free(Handle menu) { ::DestroyMenu(menu); }
};
using MenuHandle = ScopedHandle<MenuTraits>;

struct AcceleratorTraits {
  using Handle = HACCEL;
  static Handle None() { return nullptr; }
  static void Free(Handle table) { ::DestroyAcceleratorTable(table); }
};
using AcceleratorHandle = ScopedHandle<AcceleratorTraits>;

// The paths dropped on a window, from WM_DROPFILES.
struct DropTraits {
  using Handle = HDROP;
  static Handle None() { return nullptr; }
  static void Free(Handle drop) { ::DragFinish(drop); }
};
using DropHandle = ScopedHandle<DropTraits>;

// Memory for the clipboard, from GlobalAlloc; once the clipboard has it, it
// is the clipboard's to free.
struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static Handle None() { return nullptr; }
  static void Free(Handle memory) { ::GlobalFree(memory); }
};
using GlobalMemory = ScopedHandle<GlobalMemoryTraits>;

// The clipboard, open for this program until it goes.
struct ClipboardHoldTraits {
  using Handle = bool;
  static Handle None() { return false; }
  static void Free(Handle) { ::CloseClipboard(); }
};
using ClipboardHold = ScopedHandle<ClipboardHoldTraits>;

// An object selected into a device context: the one it replaced is put back.
struct Selection {
  HDC dc = nullptr;
  HGDIOBJ replaced = nullptr;
  bool operator==(const Selection&) const = default;
};
struct SelectionTraits {
  using Handle = Selection;
  static Handle None() { return {}; }
  static void Free(Handle selection) { ::SelectObject(selection.dc, selection.replaced); }
};
using SelectedObject = ScopedHandle<SelectionTraits>;

// Selects `object` into `dc` until the result goes.
inline SelectedObject Select(HDC dc, HGDIOBJ object) {
  return SelectedObject(Selection{dc, ::SelectObject(dc, object)});
}

}  // namespace tarnwick::win32
