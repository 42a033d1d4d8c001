// The paths of a drop block, as the shell makes one and as another program
// might make it wrong; a path in the system's code page (932) comes through
// the system's own conversion.
#include "platform/win32/drop_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_system_services.h"

namespace tarnwick::win32 {
namespace {

// A DROPFILES header: where the paths start, and whether they are UTF-16.
std::vector<std::byte> Header(std::uint32_t paths_offset, bool wide) {
  std::vector<std::byte> block(20, std::byte{0});
  std::memcpy(block.data(), &paths_offset, 4);
  block[16] = std::byte{wide ? std::uint8_t{1} : std::uint8_t{0}};
  return block;
}

void Append(std::vector<std::byte>& block, const Text& units) {
  for (const char16_t unit : units) {
    block.push_back(static_cast<std::byte>(unit & 0xFF));
    block.push_back(static_cast<std::byte>(unit >> 8));
  }
}

void Append(std::vector<std::byte>& block, const std::string& bytes) {
  for (const char byte : bytes) block.push_back(static_cast<std::byte>(byte));
}

class DropFiles : public ::testing::Test {
 protected:
  std::vector<Text> Read(const std::vector<std::byte>& block) {
    return ReadDropFiles(
        block, [this](std::string_view bytes) { return system.FromSystemCodePage(bytes); });
  }
  Win32SystemServices system;
};

TEST_F(DropFiles, ReadsEveryPathOfAWideBlockAsTheShellMakesIt) {
  std::vector<std::byte> block = Header(20, true);
  Append(block, Text(u"C:\\\u65E5\u672C\\a.txt\0D:\\\U0001F600 b\0\0", 21));
  EXPECT_EQ(Read(block), (std::vector<Text>{u"C:\\\u65E5\u672C\\a.txt", u"D:\\\U0001F600 b"}));
}

// "ソ" and "表" end in 0x5C, the byte of "\": it belongs to the character.
TEST_F(DropFiles, ReadsACodePageBlockThroughTheSystemsConversion) {
  std::vector<std::byte> block = Header(24, false);
  Append(block, std::string("\0\0\0\0C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt\0\0", 22));
  EXPECT_EQ(Read(block), std::vector<Text>{u"C:\\\u30BD\u30D5\u30C8\\\u8868.txt"});
}

TEST_F(DropFiles, ReadsNoFurtherThanTheBlockWhateverTheHeaderSays) {
  std::vector<std::byte> two_paths = Header(20, true);
  Append(two_paths, Text(u"C:\\a\0C:\\b\0\0", 11));
  // No empty path after the last: the block's end ends the list.
  std::vector<std::byte> unended = two_paths;
  unended.resize(unended.size() - 2);
  EXPECT_EQ(Read(unended), (std::vector<Text>{u"C:\\a", u"C:\\b"}));
  // A path cut off by the block's end names another file: it is left out.
  std::vector<std::byte> cut = two_paths;
  cut.resize(cut.size() - 4);
  EXPECT_EQ(Read(cut), std::vector<Text>{u"C:\\a"});
  // An odd byte at the end is half a code unit.
  cut.push_back(std::byte{'x'});
  EXPECT_EQ(Read(cut), std::vector<Text>{u"C:\\a"});

  // Paths that start inside the header, or past the block's end, or a block
  // shorter than its header: nothing.
  for (const std::uint32_t offset : {0u, 19u, 43u, 0xFFFFFFFFu}) {
    std::vector<std::byte> block = two_paths;
    std::memcpy(block.data(), &offset, 4);
    EXPECT_TRUE(Read(block).empty()) << offset;
  }
  EXPECT_TRUE(Read(std::vector<std::byte>(two_paths.begin(), two_paths.begin() + 19)).empty());
  // The offset at the very end: an empty list.
  std::vector<std::byte> at_end = Header(20, true);
  EXPECT_TRUE(Read(at_end).empty());
}

}  // namespace
}  // namespace tarnwick::win32
