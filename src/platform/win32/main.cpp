// Tarnwick on Windows: the window is created with its controls, Form_Load
// makes the first listing, then the window is shown. Closing it ends the
// program.
#include <windows.h>

#include <exception>

#include "platform/win32/common_controls.h"
#include "platform/win32/main_window.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_system_services.h"
#include "window/texts.h"

namespace {

int ShowStartError(const tarnwick::Text& message) {
  ::MessageBoxW(nullptr, tarnwick::win32::ToWide(message).c_str(),
                tarnwick::win32::ToWide(tarnwick::kWindowCaption).c_str(), MB_ICONERROR);
  return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // Before anything else: no DLL from the program's folder or the current one.
  tarnwick::win32::RestrictLibrarySearch();
  // A drive with no disk in it (an empty card reader) gives the program's own
  // message, not the system's box that asks to insert one.
  ::SetErrorMode(SEM_FAILCRITICALERRORS);
  try {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    tarnwick::win32::TheCommonControls().InitCommonControlsEx(&controls);
    const auto system = tarnwick::CreateSystemServices();
    const tarnwick::Text start_folder = system->CurrentFolder();
    tarnwick::win32::MainWindow window(*system, instance);
    window.Create(start_folder);
    window.Load();
    ::ShowWindow(window.handle(), show);
    return window.Run();
  } catch (const tarnwick::PlatformError& error) {
    // The folder the program starts in cannot be read: there is nothing to show.
    return ShowStartError(tarnwick::ErrorMessage(error));
  } catch (const std::exception& fault) {
    // Anything else that stops the start, such as common controls that
    // cannot be loaded.
    return ShowStartError(tarnwick::InternalFaultMessage(fault));
  }
}
