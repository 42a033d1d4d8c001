#include "text/lossless_utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

TEST(LosslessUtf8, DecodesValidUtf8AsUnicode) {
  EXPECT_EQ(DecodeFileName("readme.txt"), u"readme.txt");
  EXPECT_EQ(DecodeFileName("\xE6\x97\xA5\xE6\x9C\xAC"), u"\u65E5\u672C");
  EXPECT_EQ(DecodeFileName("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
  EXPECT_EQ(DecodeFileName(std::string_view("a\0b", 3)), Text(u"a\0b", 3));
}

TEST(LosslessUtf8, EscapesEveryByteOfAnInvalidSequence) {
  struct Case {
    std::string bytes;
    Text text;
  };
  const Case cases[] = {
      {"\xFF", u"\xDCFF"},
      {"a\x80z", u"a\xDC80z"},
      {"\xC0\x80", u"\xDCC0\xDC80"},                      // overlong NUL
      {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},            // overlong "/"
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // beyond U+10FFFF
      {"\xE6\x97", u"\xDCE6\xDC97"},                      // cut short
      {"\xE6\x97"
       "A",
       u"\xDCE6\xDC97"
       u"A"},
      {"\x82\xA0", u"\xDC82\xDCA0"},  // Shift_JIS "あ"
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeFileName(c.bytes), c.text);
    EXPECT_EQ(EncodeFileName(c.text), c.bytes);
  }
}

TEST(LosslessUtf8, EveryByteSequenceComesBackAsItWas) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int i = length(random); i > 0; --i) bytes.push_back(static_cast<char>(byte(random)));
    const Text text = DecodeFileName(bytes);
    ASSERT_EQ(EncodeFileName(text), bytes);
  }
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(EncodeFileName(DecodeFileName(one)), one);
  }
}

TEST(LosslessUtf8, RefusesTextThatNoBytesDecodeTo) {
  EXPECT_EQ(EncodeFileName(u"\xD800"), std::nullopt);        // a lone high surrogate
  EXPECT_EQ(EncodeFileName(u"a\xDC7F"), std::nullopt);       // a low one that escapes no byte
  EXPECT_EQ(EncodeFileName(u"\xDCC3\xDCA9"), std::nullopt);  // would read back as "é"
  EXPECT_EQ(EncodeFileName(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace tarnwick
