#include "platform/win32/common_controls.h"

#include <stdexcept>
#include <string>

#include "platform/win32/system_libraries.h"

namespace tarnwick::win32 {
namespace {

template <typename Function>
void Find(HMODULE library, const char* name, Function& function) {
  function = FunctionOf<Function>(library, name);
  if (function == nullptr) {
    throw std::runtime_error(std::string("the common controls (comctl32.dll) have no ") + name);
  }
}

CommonControls LoadCommonControls() {
  const HMODULE library = LoadRedirectedLibrary(L"comctl32.dll");
  if (library == nullptr) {
    throw std::runtime_error("cannot load the common controls (comctl32.dll): error " +
                             std::to_string(::GetLastError()));
  }
  CommonControls functions{};
  Find(library, "InitCommonControlsEx", functions.InitCommonControlsEx);
  Find(library, "SetWindowSubclass", functions.SetWindowSubclass);
  Find(library, "RemoveWindowSubclass", functions.RemoveWindowSubclass);
  Find(library, "DefSubclassProc", functions.DefSubclassProc);
  return functions;
}

}  // namespace

const CommonControls& TheCommonControls() {
  static const CommonControls functions = LoadCommonControls();
  return functions;
}

}  // namespace tarnwick::win32
