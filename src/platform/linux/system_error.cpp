#include "platform/linux/system_error.h"

#include <cerrno>
#include <cstring>

namespace tarnwick::on_linux {

ErrorKind ErrorKindOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ErrorKind::NotFound;
    case EACCES:
    case EPERM:
      return ErrorKind::AccessDenied;
    case ENOMEDIUM:
      return ErrorKind::NotReady;
    default:
      return ErrorKind::Other;
  }
}

PlatformError SystemError(int error, Text path, const std::string& description) {
  return PlatformError(ErrorKindOf(error), std::move(path),
                       description + ": " + std::strerror(error));
}

}  // namespace tarnwick::on_linux
