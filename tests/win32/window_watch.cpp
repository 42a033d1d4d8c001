// Runs a window program as a user would and reads what it shows:
//   window_watch PROGRAM.exe [MODULE.dll...]
// starts PROGRAM in the current folder, waits for its window to show its
// first listing, writes the label's text and then each line of the list to
// standard output (UTF-8, one a line), writes "MODULE.dll: PATH" for each
// MODULE to standard error (the file the program loaded it from, or "not
// loaded"), and closes the window. Exits with the program's own exit status,
// or 3 when no window showed within a minute, 4 when the program did not end
// once closed.
// clang-format off
#include <windows.h>
#include <psapi.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/main_window.h"
#include "platform/win32/system_libraries.h"

namespace {

struct Search {
  DWORD process;
  HWND window;
};

BOOL CALLBACK TakeShownWindowOf(HWND window, LPARAM l) {
  auto* search = reinterpret_cast<Search*>(l);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (process != search->process || std::wstring(name) != L"TarnwickMainWindow" ||
      !::IsWindowVisible(window)) {
    return TRUE;
  }
  search->window = window;
  return FALSE;
}

// Text in another process's control: the system carries these messages'
// text across.
std::wstring TextOf(HWND control, UINT length_message, UINT text_message, WPARAM index) {
  const LRESULT length = ::SendMessageW(control, length_message, index, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(control, text_message, text_message == WM_GETTEXT ? text.size() : index,
                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void WriteLine(DWORD stream, const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

// The file that `process` loaded `name` from.
std::wstring ModuleFile(HANDLE process, const std::wstring& name) {
  std::vector<HMODULE> modules(1024);
  DWORD bytes = 0;
  if (!::K32EnumProcessModules(process, modules.data(),
                               static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &bytes)) {
    return L"(cannot be told)";
  }
  modules.resize(std::min<std::size_t>(modules.size(), bytes / sizeof(HMODULE)));
  for (const HMODULE module : modules) {
    wchar_t base[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    if (::K32GetModuleBaseNameW(process, module, base, MAX_PATH) &&
        ::lstrcmpiW(base, name.c_str()) == 0 &&
        ::K32GetModuleFileNameExW(process, module, file, MAX_PATH)) {
      return file;
    }
  }
  return L"not loaded";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  // A planted DLL in the current folder may run only in the program watched.
  tarnwick::win32::RestrictLibrarySearch();
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
    return 2;
  }
  ::CloseHandle(started.hThread);
  Search search{started.dwProcessId, nullptr};
  for (int tries = 0; tries < 600 && search.window == nullptr; ++tries) {
    if (::WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) break;
    ::EnumWindows(TakeShownWindowOf, reinterpret_cast<LPARAM>(&search));
  }
  DWORD status = 3;
  if (search.window != nullptr) {
    using tarnwick::win32::kLabel1Id;
    using tarnwick::win32::kList1Id;
    WriteLine(STD_OUTPUT_HANDLE,
              TextOf(::GetDlgItem(search.window, kLabel1Id), WM_GETTEXTLENGTH, WM_GETTEXT, 0));
    const HWND list = ::GetDlgItem(search.window, kList1Id);
    const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      WriteLine(STD_OUTPUT_HANDLE, TextOf(list, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i)));
    }
    for (int i = 2; i < argc; ++i) {
      WriteLine(STD_ERROR_HANDLE,
                std::wstring(argv[i]) + L": " + ModuleFile(started.hProcess, argv[i]));
    }
    ::PostMessageW(search.window, WM_CLOSE, 0, 0);
    status = 4;
  }
  if (::WaitForSingleObject(started.hProcess, 30000) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(started.hProcess, &status);
  } else {
    ::TerminateProcess(started.hProcess, status);
  }
  ::CloseHandle(started.hProcess);
  return static_cast<int>(status);
}
