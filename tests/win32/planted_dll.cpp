// A DLL such as someone could leave beside a program that people unpack and
// run where they downloaded it, named after a DLL that the program or the
// system loads. Once loaded it leaves a marker beside itself,
// "NAME.dll.ran", holding the path of the program it ran in.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(self, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  ::lstrcatW(marker, L".ran");
  wchar_t program[MAX_PATH] = {};
  const DWORD program_length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  const HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  ::WriteFile(file, program, program_length * sizeof(wchar_t), &written, nullptr);
  ::CloseHandle(file);
  return TRUE;
}
