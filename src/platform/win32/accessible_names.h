// What the window asks a screen reader to say of a control beyond what the
// control says of itself: a name for a control that has no caption of its
// own, and for the path label, whose name says what it holds, the text it
// shows. Windows takes them by dynamic annotation (IAccPropServices); the
// window's tests put a fake in its place that records them, since Wine does
// not take them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace tarnwick::win32 {

class AccessibleNames {
 public:
  virtual ~AccessibleNames() = default;

  // `control` is announced as `name`; its description is `description`. Each
  // replaces what was said before. None of them fails for the user: where
  // the system takes no annotation, the control goes by what it says itself.
  virtual void SetName(HWND control, const std::wstring& name) = 0;
  virtual void SetDescription(HWND control, const std::wstring& description) = 0;

  // What was said of `control` is forgotten, before it is destroyed.
  virtual void Forget(HWND control) = 0;
};

// Through Microsoft Active Accessibility's dynamic annotation, with COM on
// the calling thread, which is to be the window's, for as long as the
// result lives. COM loads oleacc.dll, which the program does not import, by
// its registered path. Where COM or the service cannot be had, it says
// nothing.
std::unique_ptr<AccessibleNames> SystemAccessibleNames();

}  // namespace tarnwick::win32
