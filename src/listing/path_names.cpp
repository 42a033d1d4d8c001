#include "listing/path_names.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace tarnwick {
namespace {

// The length of `bytes` without the run of `fill` bytes that ends it, 32
// bytes at a time: the short-path buffer is mostly that run.
std::size_t LengthBeforeTrailing(std::string_view bytes, char fill) {
  const std::uint64_t fill_word = 0x0101010101010101u * static_cast<unsigned char>(fill);
  std::size_t end = bytes.size();
  for (; end >= 32; end -= 32) {
    std::uint64_t words[4];
    std::memcpy(words, bytes.data() + end - 32, 32);
    if (((words[0] ^ fill_word) | (words[1] ^ fill_word) | (words[2] ^ fill_word) |
         (words[3] ^ fill_word)) != 0) {
      break;
    }
  }
  while (end > 0 && bytes[end - 1] == fill) --end;
  return end;
}

// Leading and trailing U+0020 removed; other white space stays.
TextView TrimSpaces(TextView text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return {};
  const auto last = text.find_last_not_of(u' ');
  return text.substr(first, last - first + 1);
}

// Leaves in `work.returned` the text the service left in the buffer, in
// Unicode: through the system code page when it can hold the path, through
// the wide service otherwise (a Korean or emoji name on a Japanese system
// would reach the code-page service as "?" and get no short form although it
// has one).
void CallShortPathService(SystemServices& system, const Text& long_path, ShortPathWork& work) {
  if (!system.ToSystemCodePageInto(long_path, work.path_bytes)) {
    work.returned.assign(kShortPathBufferSize, u' ');
    system.GetShortPathNameW(long_path, std::span<char16_t>(work.returned));
    return;
  }
  // The work buffer in the code page: a space there is one byte, so the
  // buffer is that byte 1024 times.
  const std::optional<std::string> space = system.ToSystemCodePage(u" ");
  if (!space || space->size() != 1) {
    throw std::logic_error("the system code page does not hold spaces as single bytes");
  }
  // On the stack: made afresh for each call all the same, without a trip
  // to the heap.
  std::array<char, kShortPathBufferSize> buffer;
  buffer.fill(space->front());
  system.GetShortPathNameA(work.path_bytes, std::span<char>(buffer));
  // The whole buffer comes back, but the spaces that end it would only be
  // trimmed again: they are left as they are, but for the first, which a
  // double-byte character before it may take as its second byte.
  const std::string_view returned(buffer.data(), buffer.size());
  const std::size_t written = LengthBeforeTrailing(returned, space->front());
  const std::size_t used = written == 0 ? 0 : std::min(returned.size(), written + 1);
  system.FromSystemCodePageInto(returned.substr(0, used), work.returned);
}

}  // namespace

TextView GetShortFileName(SystemServices& system, const Text& LongFN, ShortPathWork& work) {
  CallShortPathService(system, LongFN, work);
  // Trimming comes first, so only the spaces after the terminating NUL go;
  // spaces inside the short path stay.
  const TextView trimmed = TrimSpaces(work.returned);
  return trimmed.substr(0, trimmed.find(u'\0'));
}

Text GetShortFileName(SystemServices& system, const Text& LongFN) {
  ShortPathWork work;
  return Text(GetShortFileName(system, LongFN, work));
}

TextView GetFileNameView(TextView ShortFN, char16_t separator) {
  const auto last = ShortFN.rfind(separator);
  if (last == TextView::npos) return {};
  return ShortFN.substr(last + 1);
}

Text GetFileName(Text ShortFN, char16_t separator) {
  return Text(GetFileNameView(ShortFN, separator));
}

}  // namespace tarnwick
