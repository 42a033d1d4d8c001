#include "platform/win32/text.h"

#include <climits>
#include <stdexcept>

namespace tarnwick::win32 {

int CountFor(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    throw std::length_error("the text is too long for the system's conversions");
  }
  return static_cast<int>(size);
}

std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }

Text FromWide(std::wstring_view text) { return Text(text.begin(), text.end()); }

std::string ToUtf8(TextView text) {
  if (text.empty()) return {};
  const std::wstring wide = ToWide(text);
  const int count = CountFor(wide.size());
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) throw std::runtime_error("cannot convert text to UTF-8");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace tarnwick::win32
