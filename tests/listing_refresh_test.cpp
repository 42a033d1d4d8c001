#include "listing/listing_refresh.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/list_lines.h"

namespace tarnwick {
namespace {

using testing::FakeControls;
using testing::FakeSystem;

const Text kArrow = u" \u21D4 ";
const Text kPrefix = u"\u30D1\u30B9\u540D\uFF0D";

// A folder of C:\Work with long, Japanese and already short names.
struct WorkFolder {
  FakeSystem system;
  FakeControls controls;

  WorkFolder() {
    controls.path = u"C:\\Work";
    system.AddFolder(u"C:\\Work\\", {u"Long File Name.txt", u"README.TXT",
                                     u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB.txt",
                                     u"abcd.txt", u"Abc Extra.txt"});
    system.short_paths[u"C:\\Work\\"] = u"C:\\WORK\\";
    system.short_paths[u"C:\\Work\\Long File Name.txt"] = u"C:\\WORK\\LONGFI~1.TXT";
    system.short_paths[u"C:\\Work\\README.TXT"] = u"C:\\WORK\\README.TXT";
    system.short_paths[u"C:\\Work\\\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB.txt"] =
        u"C:\\WORK\\\u65E5\u672C\u8A9E~1.TXT";
    system.short_paths[u"C:\\Work\\abcd.txt"] = u"C:\\WORK\\abcd.txt";
    system.short_paths[u"C:\\Work\\Abc Extra.txt"] = u"C:\\WORK\\ABCEXT~1.TXT";
  }
};

TEST(ListFileName, ListsByEitherNameWithThatNameFirst) {
  // WorkFolder's files by long name.
  const testing::FileNames by_long[] = {
      {u"Abc Extra.txt", u"ABCEXT~1.TXT"},
      {u"abcd.txt", u"abcd.txt"},
      {u"Long File Name.txt", u"LONGFI~1.TXT"},
      {u"README.TXT", u"README.TXT"},
      {u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB.txt", u"\u65E5\u672C\u8A9E~1.TXT"}};
  // By short name the first two change places: "abcd" before "abcext~1".
  const testing::FileNames by_short[] = {by_long[1], by_long[0], by_long[2], by_long[3],
                                         by_long[4]};
  for (const bool by_long_name : {true, false}) {
    SCOPED_TRACE(by_long_name);
    WorkFolder folder;
    folder.controls.by_long_name = by_long_name;
    ListFileName(folder.controls, folder.system);
    EXPECT_EQ(folder.controls.label, kPrefix + u"C:\\WORK\\");
    EXPECT_EQ(
        folder.controls.lines,
        testing::ListLines(by_long_name ? std::span(by_long) : std::span(by_short), by_long_name));
    EXPECT_EQ(folder.system.patterns, (std::vector<Text>{u"C:\\Work\\*.*", u"C:\\Work\\*.*"}));
  }
}

TEST(ListFileName, SortsShortNamesWithTailsAfterTheirStems) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\D\\";
  controls.by_long_name = false;
  system.AddFolder(u"C:\\D\\", {u"abc 2.txt", u"abcd.txt", u"abc 1.txt", u"abc.txt", u"a_b"});
  system.short_paths[u"C:\\D\\abc 2.txt"] = u"C:\\D\\ABC~2.TXT";
  system.short_paths[u"C:\\D\\abcd.txt"] = u"C:\\D\\ABCD.TXT";
  system.short_paths[u"C:\\D\\abc 1.txt"] = u"C:\\D\\ABC~1.TXT";
  system.short_paths[u"C:\\D\\abc.txt"] = u"C:\\D\\ABC.TXT";
  system.short_paths[u"C:\\D\\a_b"] = u"C:\\D\\A_B";
  ListFileName(controls, system);
  const std::vector<Text> expected = {
      u"A_B" + kArrow + u"a_b",
      u"ABC.TXT" + kArrow + u"abc.txt",
      u"ABCD.TXT" + kArrow + u"abcd.txt",
      u"ABC~1.TXT" + kArrow + u"abc 1.txt",
      u"ABC~2.TXT" + kArrow + u"abc 2.txt",
  };
  EXPECT_EQ(controls.lines, expected);
}

TEST(ListFileName, KeepsTheEnumerationOrderOfEqualKeys) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"/data";
  system.separator = u'/';
  system.AddFolder(u"/data/", {u"b", u"Notes.TXT", u"a", u"NOTES.txt", u"notes.txt",
                               u"\uFF2E\uFF4F", u"\uFF4E\uFF4F"});
  ListFileName(controls, system);
  // No short forms here, so every line ends with the separator and nothing.
  const std::vector<Text> expected = {
      u"a" + kArrow,
      u"b" + kArrow,
      u"Notes.TXT" + kArrow,
      u"NOTES.txt" + kArrow,
      u"notes.txt" + kArrow,
      u"\uFF2E\uFF4F" + kArrow,
      u"\uFF4E\uFF4F" + kArrow,
  };
  EXPECT_EQ(controls.lines, expected);
  EXPECT_EQ(controls.label, kPrefix);
}

TEST(ListFileName, TurnsRedrawOffOnlyAroundTheAddedLines) {
  WorkFolder folder;
  ListFileName(folder.controls, folder.system);
  std::vector<std::string> expected = {"label", "clear", "redraw off"};
  expected.insert(expected.end(), 5, "add");
  expected.push_back("redraw on");
  EXPECT_EQ(folder.controls.calls, expected);
}

TEST(ListFileName, LeavesRedrawAloneForAFolderWithoutFiles) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\Empty\\";
  controls.lines = {u"a stale line"};
  system.AddFolder(u"C:\\Empty\\", {});
  system.short_paths[u"C:\\Empty\\"] = u"C:\\EMPTY\\";
  ListFileName(controls, system);
  EXPECT_EQ(controls.calls, (std::vector<std::string>{"label", "clear"}));
  EXPECT_TRUE(controls.lines.empty());
  EXPECT_EQ(controls.label, kPrefix + u"C:\\EMPTY\\");
  EXPECT_EQ(system.patterns.size(), 1u);
}

TEST(ListFileName, AddsNoSecondSeparatorToARoot) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\";
  system.AddFolder(u"C:\\", {u"AUTOEXEC.BAT"});
  system.short_paths[u"C:\\"] = u"C:\\";
  system.short_paths[u"C:\\AUTOEXEC.BAT"] = u"C:\\AUTOEXEC.BAT";
  ListFileName(controls, system);
  EXPECT_EQ(system.patterns, std::vector<Text>(2, u"C:\\*.*"));
  EXPECT_EQ(controls.label, kPrefix + u"C:\\");
  // One file: one line, and the sort has nothing to compare.
  EXPECT_EQ(controls.lines, std::vector<Text>{u"AUTOEXEC.BAT" + kArrow + u"AUTOEXEC.BAT"});
}

TEST(ListFileName, GivesAnEmptyPathItsSeparator) {
  FakeSystem system;
  FakeControls controls;
  system.AddFolder(u"\\", {u"X.TXT"});
  ListFileName(controls, system);
  EXPECT_EQ(system.patterns[0], u"\\*.*");
  EXPECT_EQ(system.narrow_requests, (std::vector<Text>{u"\\", u"\\X.TXT"}));
}

TEST(ListFileName, MakesOneShortPathCallPerFileAfterTheFolders) {
  WorkFolder folder;
  ListFileName(folder.controls, folder.system);
  ASSERT_EQ(folder.system.narrow_requests.size(), 6u);
  EXPECT_EQ(folder.system.narrow_requests[0], u"C:\\Work\\");
  EXPECT_EQ(folder.system.narrow_requests[1], u"C:\\Work\\Long File Name.txt");
  EXPECT_EQ(folder.system.narrow_requests[5], u"C:\\Work\\Abc Extra.txt");
  EXPECT_TRUE(folder.system.buffers_were_spaces);
}

TEST(ListFileName, ShowsTheBarePrefixWhenTheFolderHasNoShortForm) {
  WorkFolder folder;
  folder.system.short_paths.erase(u"C:\\Work\\");
  ListFileName(folder.controls, folder.system);
  EXPECT_EQ(folder.controls.label, kPrefix);
  EXPECT_EQ(folder.controls.lines.size(), 5u);
}

TEST(ListFileName, KeepsTheLineOfAFileWithoutShortForm) {
  WorkFolder folder;
  folder.system.short_paths.erase(u"C:\\Work\\README.TXT");
  ListFileName(folder.controls, folder.system);
  EXPECT_EQ(folder.controls.lines[3], u"README.TXT" + kArrow);
}

TEST(ListFileName, ShortensANameOutsideTheCodePageThroughTheWideService) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\K";
  const Text korean = u"\uD55C\uAD6D\uC5B4.txt";
  system.AddFolder(u"C:\\K\\", {korean});
  system.short_paths[u"C:\\K\\" + korean] = u"C:\\K\\___~1.TXT";
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, std::vector<Text>{korean + kArrow + u"___~1.TXT"});
  EXPECT_EQ(system.wide_requests, std::vector<Text>{u"C:\\K\\" + korean});
}

TEST(ListFileName, AddsNoLineForFilesThatVanishedBetweenThePasses) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\V";
  system.folders[u"C:\\V\\"] = {{u"a", u"b", u"c", u"d"}, {u"b", u"d"}};
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, (std::vector<Text>{u"b" + kArrow, u"d" + kArrow}));
  // The count of the first pass stands: 4 calls to count (the last one finds
  // the end), then exactly 3 to fill, whatever they give.
  EXPECT_EQ(system.next_entry_calls, 7);
  // No short-path call for a name that is not there.
  EXPECT_EQ(system.narrow_requests.size(), 3u);
}

TEST(ListFileName, LetsGoOfTheFolderWhenTheRefreshEndsOrFails) {
  WorkFolder folder;
  ListFileName(folder.controls, folder.system);
  // The second pass stopped at the fifth name, short of the end.
  EXPECT_EQ(folder.system.next_entry_calls, 5 + 4);
  EXPECT_FALSE(folder.system.enumerating);

  for (const std::int32_t failing : {3, 8}) {  // in the first pass, in the second
    WorkFolder failed;
    failed.system.failing_next_entry = failing;
    EXPECT_THROW(ListFileName(failed.controls, failed.system), PlatformError);
    EXPECT_FALSE(failed.system.enumerating) << failing;
  }
}

TEST(ListFileName, ReadsNoNamesBeyondTheCount) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\V";
  system.folders[u"C:\\V\\"] = {{u"b", u"a"}, {u"c", u"b", u"a"}};
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, (std::vector<Text>{u"b" + kArrow, u"c" + kArrow}));
}

TEST(ListFileName, AddsNoLineWhenEveryFileVanished) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\V";
  system.folders[u"C:\\V\\"] = {{u"a", u"b"}, {}};
  ListFileName(controls, system);
  EXPECT_TRUE(controls.lines.empty());
  // The list was touched: redraw goes off and comes back on.
  EXPECT_EQ(controls.calls.back(), "redraw on");
}

TEST(ListFileName, LeavesLabelSetAndListEmptyWhenTheFolderCannotBeRead) {
  FakeSystem system;
  FakeControls controls;
  controls.path = u"C:\\Gone";
  controls.lines = {u"old line"};
  try {
    ListFileName(controls, system);
    FAIL() << "expected an error for a missing folder";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
  }
  EXPECT_EQ(controls.label, kPrefix);
  EXPECT_TRUE(controls.lines.empty());
}

TEST(ListFileName, GivesTheSameLinesTwice) {
  WorkFolder folder;
  ListFileName(folder.controls, folder.system);
  const std::vector<Text> first = folder.controls.lines;
  ListFileName(folder.controls, folder.system);
  EXPECT_EQ(folder.controls.lines, first);
}

}  // namespace
}  // namespace tarnwick
