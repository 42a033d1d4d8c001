// Tarnwick on Windows: the window is created with its controls, Form_Load
// makes the first listing, then the window is shown. Closing it ends the
// program.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "platform/win32/main_window.h"
#include "platform/win32/win32_system_services.h"
#include "window/texts.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // A drive with no disk in it (an empty card reader) gives the program's own
  // message, not the system's box that asks to insert one.
  ::SetErrorMode(SEM_FAILCRITICALERRORS);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const auto system = tarnwick::CreateSystemServices();
  try {
    const tarnwick::Text start_folder = system->CurrentFolder();
    tarnwick::win32::MainWindow window(*system, instance);
    window.Create(start_folder);
    window.Load();
    ::ShowWindow(window.handle(), show);
    return window.Run();
  } catch (const tarnwick::PlatformError& error) {
    // The folder the program starts in cannot be read: there is nothing to show.
    ::MessageBoxW(nullptr, tarnwick::win32::ToWide(tarnwick::ErrorMessage(error)).c_str(),
                  tarnwick::win32::ToWide(tarnwick::kWindowCaption).c_str(), MB_ICONERROR);
    return 1;
  }
}
