// Windows error codes as the program's errors.
#pragma once

#include <windows.h>

#include <string>

#include "platform/system_services.h"

namespace tarnwick::win32 {

// What a Windows error code means for the listing.
ErrorKind ErrorKindOf(DWORD error);

// `description` (plain English, naming the path) followed by the system's
// own message for `error`, which is also the error's system words.
PlatformError SystemError(DWORD error, Text path, const std::string& description);

}  // namespace tarnwick::win32
