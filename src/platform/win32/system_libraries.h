// Where the Windows programs' DLLs come from: the system folder alone. A
// program that people unpack and run where they downloaded it would
// otherwise load a DLL from its own folder, or from the current one, before
// the system's: whoever left the program there may have left a DLL of the
// same name beside it. So the programs import only Windows' known DLLs,
// which always come from the system, restrict the search before anything
// else, and load every other DLL through this module.
#pragma once

#include <windows.h>

namespace tarnwick::win32 {

// The first act of each program: from here on, a DLL loaded by name comes
// from the system folder only. Windows 7 without update KB2533623 has no
// such restriction; there the current folder leaves the search, and the DLLs
// that Windows' own DLLs load by name are loaded from the system folder
// first, so that those loads find them already loaded.
void RestrictLibrarySearch();

// What RestrictLibrarySearch does on a system without the restriction,
// apart, so that a test can run it where the restriction exists.
void RestrictLibrarySearchWithoutDefaultDirectories();

// `name` (such as L"mpr.dll") from the system folder, by its full path, and
// what it loads from there too; nullptr, with the error in GetLastError(),
// when it cannot be loaded. It stays loaded for the life of the program.
HMODULE LoadSystemLibrary(const wchar_t* name);

// `name` as the program's manifest redirects it (comctl32 version 6, from
// the side-by-side store), else from the system folder. A load by name is
// what lets the redirection apply; it never searches the program's folder.
HMODULE LoadRedirectedLibrary(const wchar_t* name);

// The function `name` of `library` as `Function`, a function pointer type;
// nullptr where either is missing.
template <typename Function>
Function FunctionOf(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

}  // namespace tarnwick::win32
