#include "platform/win32/drop_files.h"

#include <cstdint>

namespace tarnwick::win32 {
namespace {

// DROPFILES, the same on both architectures: pFiles (a 32-bit offset from
// the block's start), pt (two 32-bit coordinates), fNC and fWide (32-bit
// Booleans).
constexpr std::size_t kPathsOffsetAt = 0;
constexpr std::size_t kWideAt = 16;
constexpr std::size_t kHeaderSize = 20;

// Windows keeps the block little-endian, as every Windows on x86 is.
std::uint32_t ReadUint32(std::span<const std::byte> block, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
  }
  return value;
}

std::vector<Text> ReadWidePaths(std::span<const std::byte> paths) {
  Text units(paths.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned>(paths[2 * i]) |
                                     static_cast<unsigned>(paths[2 * i + 1]) << 8);
  }
  std::vector<Text> read;
  for (std::size_t start = 0;;) {
    const std::size_t end = units.find(u'\0', start);
    if (end == Text::npos || end == start) return read;
    read.push_back(units.substr(start, end - start));
    start = end + 1;
  }
}

std::vector<Text> ReadCodePagePaths(std::span<const std::byte> paths,
                                    const CodePageDecoder& from_code_page) {
  const std::string_view bytes(reinterpret_cast<const char*>(paths.data()), paths.size());
  std::vector<Text> read;
  // In a double-byte code page (932) no trail byte is 0: a NUL always ends
  // the path.
  for (std::size_t start = 0;;) {
    const std::size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos || end == start) return read;
    read.push_back(from_code_page(bytes.substr(start, end - start)));
    start = end + 1;
  }
}

}  // namespace

std::vector<Text> ReadDropFiles(std::span<const std::byte> block,
                                const CodePageDecoder& from_code_page) {
  if (block.size() < kHeaderSize) return {};
  const std::uint32_t paths_offset = ReadUint32(block, kPathsOffsetAt);
  if (paths_offset < kHeaderSize || paths_offset > block.size()) return {};
  const std::span<const std::byte> paths = block.subspan(paths_offset);
  return ReadUint32(block, kWideAt) != 0 ? ReadWidePaths(paths)
                                         : ReadCodePagePaths(paths, from_code_page);
}

}  // namespace tarnwick::win32
