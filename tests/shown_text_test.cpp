#include "window/shown_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

// A width as a toolkit might measure it: a Japanese character counts 2, any
// other code unit 1.
double Width(TextView text) {
  double width = 0;
  for (const char16_t unit : text) width += unit >= 0x3000 && unit < 0xD800 ? 2 : 1;
  return width;
}

Text Joined(const std::vector<Text>& lines) {
  Text all;
  for (const Text& line : lines) all += line;
  return all;
}

TEST(ShownText, DrawsEachLoneSurrogateAsTheReplacementCharacter) {
  // "caf" and two bytes that are no UTF-8; an emoji, a pair, stays.
  EXPECT_EQ(ShownText(u"caf\xDCE9\xDCFF.txt \U0001F600"), u"caf\uFFFD\uFFFD.txt \U0001F600");
  // Halves of pairs, each alone, and in the wrong order.
  EXPECT_EQ(ShownText(u"\xD83D"
                      u"a\xDE00\xDE00\xD83D"),
            u"\uFFFD"
            u"a\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(ShownText(u"日本語~1.TXT"), u"日本語~1.TXT");
}

TEST(WrapToWidth, BreaksAtTheArrowThenASeparatorThenASpaceThenAnywhere) {
  struct Case {
    Text text;
    double width;
    std::vector<Text> lines;
  };
  const Text x250(250, u'x');
  const Case cases[] = {
      // What fits stays whole.
      {u"a/b c ⇔ ABC~1", 13, {u"a/b c ⇔ ABC~1"}},
      // The arrow first, though a separator and spaces come before it.
      {u"dir/long name.txt ⇔ LONGNA~1.TXT", 24, {u"dir/long name.txt ⇔ ", u"LONGNA~1.TXT"}},
      {u"LONGNA~1.TXT ⇔ dir/long name.txt", 24, {u"LONGNA~1.TXT ⇔ ", u"dir/long name.txt"}},
      // An arrow that would be cut goes whole to the next line.
      {u"long name.txt ⇔ LONGNA~1.TXT", 15, {u"long name.txt", u" ⇔ LONGNA~1.TXT"}},
      // A path at its separators, either kind.
      {u"パス名－/tmp/folder1/folder2/", 16, {u"パス名－/tmp/", u"folder1/folder2/"}},
      {u"パス名－C:\\WORK\\PROJEC~1\\", 16, {u"パス名－C:\\WORK\\", u"PROJEC~1\\"}},
      // A space only where it leaves the line at least half full.
      {u"aaaaaaaa bbbbbb", 12, {u"aaaaaaaa ", u"bbbbbb"}},
      {u"aaaa bbbbbbbbbb", 12, {u"aaaa bbbbbbb", u"bbb"}},
      // A name without any of them, anywhere; Japanese by its width.
      {x250 + u".txt", 100, {Text(100, u'x'), Text(100, u'x'), Text(50, u'x') + u".txt"}},
      {u"日本語のファイル名", 7, {u"日本語", u"のファ", u"イル名"}},
      // A pair is never split; what is wider than the line is a line alone.
      {u"\U0001F600\U0001F600", 3, {u"\U0001F600", u"\U0001F600"}},
      {u"ab", 0.5, {u"a", u"b"}},
      {u"", 10, {}},
  };
  for (const Case& each : cases) {
    const std::vector<Text> lines = WrapToWidth(each.text, each.width, Width);
    EXPECT_EQ(lines, each.lines) << each.width;
    EXPECT_EQ(Joined(lines), each.text);
  }
}

TEST(ToolTipLines, WrapTheLineToTheScreenAndTheSentenceToAWidthThatReads) {
  const Text line = Text(30, u'n') + u" ⇔ NNNNNN~1";
  const Text sentence = u"短い名前: ディスクに記録されている名前です。";
  // The line fits the screen: the sentence wraps to the line's width.
  std::vector<Text> lines = ToolTipLines(line, sentence, 100, 20, Width);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], line);
  EXPECT_EQ(lines[1] + lines[2], sentence);
  EXPECT_LE(Width(lines[1]), Width(line));
  // A short line: the sentence, after its line break, wraps to the reading
  // width.
  lines = ToolTipLines(u"a ⇔ A", u"\r\n" + sentence, 100, 20, Width);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], u"a ⇔ A");
  EXPECT_EQ(lines[1], u"短い名前: ");
  EXPECT_EQ(lines[2], u"ディスクに記録されて");
  // Neither is wider than the screen.
  lines = ToolTipLines(line, sentence, 16, 20, Width);
  EXPECT_EQ(Joined(lines), line + sentence);
  for (const Text& each : lines) EXPECT_LE(Width(each), 16) << lines.size();
  // The label's tooltip has no sentence.
  EXPECT_EQ(ToolTipLines(line, u"", 100, 20, Width), std::vector<Text>{line});
}

}  // namespace
}  // namespace tarnwick
