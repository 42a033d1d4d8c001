// The Windows handles that the program frees, each freeing itself.
#pragma once

#include <windows.h>

#include "platform/scoped_handle.h"

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

// A font, brush or pen that the program made.
template <typename Object>
struct GdiObjectTraits {
  using Handle = Object;
  static Handle None() { return nullptr; }
  static void Free(Handle object) { ::DeleteObject(object); }
};
using FontHandle = ScopedHandle<GdiObjectTraits<HFONT>>;
using BrushHandle = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using PenHandle = ScopedHandle<GdiObjectTraits<HPEN>>;

struct IconTraits {
  using Handle = HICON;
  static Handle None() { return nullptr; }
  static void Free(Handle icon) { ::DestroyIcon(icon); }
};
using IconHandle = ScopedHandle<IconTraits>;

// The screen's device context, from GetDC(nullptr).
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle None() { return nullptr; }
  static void Free(Handle dc) { ::ReleaseDC(nullptr, dc); }
};
using ScreenDc = ScopedHandle<ScreenDcTraits>;

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
