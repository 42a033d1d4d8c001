#include "platform/win32/system_libraries.h"

#include <string>

namespace tarnwick::win32 {
namespace {

// The DLLs that Windows' own DLLs load by name where the search cannot be
// restricted: the common controls' themes and the desktop composition
// (uxtheme, dwmapi), and the version resources (version).
constexpr const wchar_t* kDelegatedLibraries[] = {L"uxtheme.dll", L"dwmapi.dll", L"version.dll"};

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Present on Windows 8 and later, and on Windows 7 with KB2533623, which
// brings the LOAD_LIBRARY_SEARCH_* flags with it.
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesOfTheSystem() {
  static const auto function = FunctionOf<SetDefaultDllDirectoriesFunction>(
      ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  return function;
}

bool SearchFlagsKnown() { return SetDefaultDllDirectoriesOfTheSystem() != nullptr; }

std::wstring SystemFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) return {};
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);
  }
}

}  // namespace

void RestrictLibrarySearch() {
  if (const auto set_default_directories = SetDefaultDllDirectoriesOfTheSystem();
      set_default_directories != nullptr && set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return;
  }
  RestrictLibrarySearchWithoutDefaultDirectories();
}

void RestrictLibrarySearchWithoutDefaultDirectories() {
  // The program's own folder stays first in the search; only loads made by
  // full path are safe from it.
  ::SetDllDirectoryW(L"");
  for (const wchar_t* name : kDelegatedLibraries) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + L'\\' + name;
  // A full path loads that file; the flag says where what it loads comes
  // from: the system folder, or (without the flags) the DLL's own folder
  // first, which is the system folder too.
  return ::LoadLibraryExW(
      path.c_str(), nullptr,
      SearchFlagsKnown() ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadRedirectedLibrary(const wchar_t* name) {
  if (SearchFlagsKnown()) return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without the flags a load by name searches the program's folder first,
  // unless the manifest redirects the name, which is asked here.
  ACTCTX_SECTION_KEYED_DATA redirection{};
  redirection.cbSize = sizeof redirection;
  if (::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name,
                                 &redirection)) {
    return ::LoadLibraryW(name);
  }
  return LoadSystemLibrary(name);
}

}  // namespace tarnwick::win32
