// The paths of a Windows drop block (DROPFILES), read from the fuzzer's
// bytes as the block: any header, any offset, any terminators. Nothing may be
// read past the block (AddressSanitizer sees the fuzzer's buffer end), and
// the paths read must be the block's own: each path followed by its NUL,
// one after the other from where the header says they start, up to the
// empty path that ends them or a path that the block's end cuts off.
#include "platform/win32/drop_files.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "fuzz_check.h"

namespace {

// Each byte as the code unit of the same value, so that a path read from a
// block in the code page can be found in the block again.
tarnwick::Text Widened(std::string_view bytes) {
  tarnwick::Text text;
  for (const char byte : bytes) text.push_back(static_cast<unsigned char>(byte));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> block(reinterpret_cast<const std::byte*>(data), size);
  const std::vector<tarnwick::Text> paths = tarnwick::win32::ReadDropFiles(block, Widened);

  std::uint32_t offset = 0;
  std::uint32_t wide = 0;
  if (size >= 20) {
    std::memcpy(&offset, data, 4);
    std::memcpy(&wide, data + 16, 4);
  }
  if (size < 20 || offset < 20 || offset > size) {
    FUZZ_CHECK(paths.empty());
    return 0;
  }
  const std::size_t unit_size = wide != 0 ? 2 : 1;
  const auto unit_at = [&](std::size_t at) -> unsigned {
    return unit_size == 2 ? data[at] | data[at + 1] << 8 : data[at];
  };

  std::size_t at = offset;
  for (const tarnwick::Text& path : paths) {
    FUZZ_CHECK(!path.empty());
    for (const char16_t unit : path) {
      FUZZ_CHECK(at + unit_size <= size);
      FUZZ_CHECK(unit != u'\0' && unit == unit_at(at));
      at += unit_size;
    }
    // Its NUL, within the block.
    FUZZ_CHECK(at + unit_size <= size && unit_at(at) == 0);
    at += unit_size;
  }
  // What follows is the empty path that ends the list, or a path that the
  // block's end cuts off: no path was left out.
  if (at + unit_size <= size && unit_at(at) != 0) {
    for (; at + unit_size <= size; at += unit_size) FUZZ_CHECK(unit_at(at) != 0);
  }
  return 0;
}
