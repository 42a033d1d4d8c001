// The system's errors on Linux as the program reports them.
#pragma once

#include <string>

#include "platform/system_services.h"

namespace tarnwick::on_linux {

// What an errno value means for the program.
ErrorKind ErrorKindOf(int error);

// An error for `path`: `description` (naming it) and the system's words.
PlatformError SystemError(int error, Text path, const std::string& description);

}  // namespace tarnwick::on_linux
