#include "listing/path_names.h"

#include <stdexcept>

namespace tarnwick {
namespace {

// Leading and trailing U+0020 removed; other white space stays.
TextView TrimSpaces(TextView text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return {};
  const auto last = text.find_last_not_of(u' ');
  return text.substr(first, last - first + 1);
}

// The text the service left in the buffer, in Unicode: through the system
// code page when it can hold the path, through the wide service otherwise
// (a Korean or emoji name on a Japanese system would reach the code-page
// service as "?" and get no short form although it has one).
Text CallShortPathService(SystemServices& system, const Text& long_path) {
  Text work(kShortPathBufferSize, u' ');
  const std::optional<std::string> path_bytes = system.ToSystemCodePage(long_path);
  if (!path_bytes) {
    system.GetShortPathNameW(long_path, std::span<char16_t>(work));
    return work;
  }
  std::optional<std::string> buffer = system.ToSystemCodePage(work);
  if (!buffer || buffer->size() != kShortPathBufferSize) {
    throw std::logic_error("the system code page does not hold spaces as single bytes");
  }
  system.GetShortPathNameA(*path_bytes, std::span<char>(*buffer));
  return system.FromSystemCodePage(*buffer);
}

}  // namespace

Text GetShortFileName(SystemServices& system, Text LongFN) {
  const Text returned = CallShortPathService(system, LongFN);
  // Trimming comes first, so only the spaces after the terminating NUL go;
  // spaces inside the short path stay.
  const TextView trimmed = TrimSpaces(returned);
  return Text(trimmed.substr(0, trimmed.find(u'\0')));
}

Text GetFileName(Text ShortFN, char16_t separator) {
  const auto last = ShortFN.rfind(separator);
  if (last == Text::npos) return {};
  return ShortFN.substr(last + 1);
}

}  // namespace tarnwick
