// What a window's controls show, read back through their messages, for the
// tests of the Win32 window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_system_services.h"

namespace tarnwick::testing {

// A control's window text.
inline Text TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return win32::FromWide(text);
}

// Every line of a list box, in its order.
inline std::vector<Text> ListLines(HWND list) {
  std::vector<Text> lines;
  const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(length));
    lines.push_back(win32::FromWide(line));
  }
  return lines;
}

}  // namespace tarnwick::testing
