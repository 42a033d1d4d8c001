#include "platform/win32/system_error.h"

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace tarnwick::win32 {
namespace {

// The system's message for `error` in the user's language, without the line
// break it ends with.
Text SystemMessage(DWORD error) {
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  const LocalMemory owned(message);
  if (length == 0 || message == nullptr) return {};
  std::wstring_view text(message, length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.remove_suffix(1);
  }
  return FromWide(text);
}

}  // namespace

ErrorKind ErrorKindOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
      return ErrorKind::AccessDenied;
    case ERROR_NOT_READY:
      return ErrorKind::NotReady;
    default:
      return ErrorKind::Other;
  }
}

PlatformError SystemError(DWORD error, Text path, const std::string& description) {
  std::string what = description + " (error " + std::to_string(error);
  Text message = SystemMessage(error);
  if (!message.empty()) what += ": " + ToUtf8(message);
  what += ")";
  return PlatformError(ErrorKindOf(error), std::move(path), what, std::move(message));
}

}  // namespace tarnwick::win32
