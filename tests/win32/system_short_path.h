// What the system's own wide short-path service gives, asked as the tests
// ask it, without the services' own long-path helpers.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/win32_system_services.h"

namespace tarnwick::testing {

// `path` (a drive's or a share's) with the prefix that makes the system take
// it as it is, whatever its length and however its names end.
inline std::wstring AsItIs(const Text& path) {
  const std::wstring wide = win32::ToWide(path);
  return wide.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + wide.substr(2) : L"\\\\?\\" + wide;
}

// The short form of `path` from GetShortPathNameW, asked AsItIs and given
// back without the prefix; empty when there is none.
inline Text SystemShortPath(const Text& path) {
  wchar_t buffer[2048] = {};
  const DWORD length = ::GetShortPathNameW(AsItIs(path).c_str(), buffer, 2048);
  if (length == 0 || length >= 2048) return {};
  const std::wstring answer(buffer, length);
  if (answer.starts_with(L"\\\\?\\UNC\\")) return u"\\\\" + win32::FromWide(answer.substr(8));
  return win32::FromWide(answer.starts_with(L"\\\\?\\") ? answer.substr(4) : answer);
}

}  // namespace tarnwick::testing
