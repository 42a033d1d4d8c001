// Where the programs' DLLs come from. What a planted DLL does is tested from
// outside, on the programs themselves (planted_dll_check.cmake); here, what
// only a system without the search restriction would run.
#include "platform/win32/system_libraries.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace tarnwick::win32 {
namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring FileOf(HMODULE module) {
  wchar_t file[MAX_PATH] = {};
  ::GetModuleFileNameW(module, file, MAX_PATH);
  return Lower(file);
}

// Without the restriction, the DLLs that Windows' own DLLs load by name are
// loaded first by their full path, so that those loads find them loaded.
TEST(SystemLibraries, WithoutTheRestrictionLoadsWhatSystemDllsLoadByNameFromTheSystemFolder) {
  wchar_t system_folder[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryW(system_folder, MAX_PATH), 0u);
  for (const wchar_t* name : {L"uxtheme.dll", L"dwmapi.dll"}) {
    ASSERT_EQ(::GetModuleHandleW(name), nullptr) << "loaded before the test";
  }
  RestrictLibrarySearchWithoutDefaultDirectories();
  for (const wchar_t* name : {L"uxtheme.dll", L"dwmapi.dll"}) {
    const HMODULE module = ::GetModuleHandleW(name);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FileOf(module), Lower(std::wstring(system_folder) + L"\\" + name));
  }
}

}  // namespace
}  // namespace tarnwick::win32
