#include "window/main_window.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/fake_window.h"
#include "support/fakes.h"
#include "window/layout.h"
#include "window/texts.h"

namespace tarnwick {
namespace {

using testing::FakeSystem;
using testing::FakeWindow;

// Drives C: and D:, and E: which cannot be read; the window starts in C:\Work.
struct Window {
  FakeSystem system;
  FakeWindow controls;
  Form1 form{controls, system};

  Window() {
    system.drives = {{u"c:", u"C:\\"}, {u"d: [DATA]", u"D:\\"}, {u"e:", u"E:\\"}};
    system.AddFolder(u"C:\\Work\\", {u"b.txt", u"A.TXT"});
    system.subfolders[u"C:\\"] = {u"Work"};
    system.subfolders[u"C:\\Work"] = {u"Sub"};
    system.AddFolder(u"C:\\Work\\Sub\\", {u"IN SUB.TXT"});
    system.subfolders[u"C:\\Work\\Sub"] = {};
    system.AddFolder(u"D:\\", {u"ON D.TXT"});
    system.subfolders[u"D:\\"] = {};
    system.short_paths[u"C:\\Work\\"] = u"C:\\WORK\\";
    form.Start(u"C:\\Work");
  }

  // Chooses a line of the drive list, as a user does.
  void ChooseDrive(int index) {
    controls.drive_index = index;
    form.Drive1Chosen(index);
  }
};

const Text kArrow = u" \u21D4 ";
const Text kPrefix = u"\u30D1\u30B9\u540D\uFF0D";

TEST(WindowLayout, PlacesEveryControlAsTheTableSays) {
  struct Place {
    int left, top, width, height;
  };
  const Place expected[] = {{8, 184, 169, 20},  {8, 8, 169, 174},   {184, 8, 297, 196},
                            {8, 208, 97, 17},   {112, 208, 97, 17}, {8, 240, 481, 17},
                            {296, 208, 185, 25}};
  const char* const names[] = {"Drive1",  "Dir1",   "List1",   "Option1",
                               "Option1", "Label1", "Command1"};
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& control = kControls[i];
    EXPECT_EQ(control.name, names[i]);
    EXPECT_EQ(Pixels(control.left), expected[i].left) << control.name;
    EXPECT_EQ(Pixels(control.top), expected[i].top) << control.name;
    EXPECT_EQ(Pixels(control.width), expected[i].width) << control.name;
    EXPECT_EQ(Pixels(control.height), expected[i].height) << control.name;
  }
  EXPECT_EQ(Pixels(kClientWidth), 491);
  EXPECT_EQ(Pixels(kClientHeight), 260);
}

TEST(WindowLayout, SpellsItsTextsByCodePoint) {
  EXPECT_EQ(Text(kWindowCaption), Text(u"SFN ") + char16_t{0x21D4} + u" LFN " + char16_t{0x306A} +
                                      char16_t{0x30BD} + char16_t{0x30D5} + char16_t{0x30C8} +
                                      u" Tarnwick v1.0");
  EXPECT_EQ(Text(kControls[3].caption), Text({u'L', u'F', u'N', 0x3067, 0x30BD, 0x30FC, 0x30C8}));
  EXPECT_EQ(Text(kControls[4].caption), Text({u'S', u'F', u'N', 0x3067, 0x30BD, 0x30FC, 0x30C8}));
  EXPECT_EQ(Text(kControls[5].caption), Text({0x30D1, 0x30B9, 0x540D, 0xFF0D}));
  EXPECT_EQ(Text(kControls[6].caption),
            Text({0x30D0, 0x30FC, 0x30B8, 0x30E7, 0x30F3, 0x60C5, 0x5831}));
  EXPECT_FALSE(kControls[5].takes_focus);
  EXPECT_EQ(kOptionSelectedAtStart, 0);
}

TEST(Form1, StartsOnTheStartFolderAndItsDrive) {
  Window window;
  EXPECT_EQ(window.controls.drive_lines, (std::vector<Text>{u"c:", u"d: [DATA]", u"e:"}));
  EXPECT_EQ(window.controls.drive_index, 0);
  const std::vector<FolderListEntry> entries = {{u"C:\\", u"C:\\", 0, true},
                                                {u"Work", u"C:\\Work", 1, true},
                                                {u"Sub", u"C:\\Work\\Sub", 2, false}};
  EXPECT_EQ(window.controls.folder_entries, entries);
  EXPECT_EQ(window.controls.current_folder_entry, 1u);
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
  EXPECT_EQ(window.controls.refreshes, 0);  // not before Form_Load
}

TEST(Form1, ListsTheFolderOnLoadByLongName) {
  Window window;
  window.form.Form_Load();
  EXPECT_EQ(window.controls.refreshes, 1);
  EXPECT_EQ(window.controls.label, kPrefix + u"C:\\WORK\\");
  EXPECT_EQ(window.controls.lines, (std::vector<Text>{u"A.TXT" + kArrow, u"b.txt" + kArrow}));
}

TEST(Form1, RefreshesOnceThroughTheFolderListWhenAnotherDriveIsChosen) {
  Window window;
  window.form.Form_Load();
  window.ChooseDrive(0);  // the drive shown: no change
  EXPECT_EQ(window.controls.refreshes, 1);
  window.ChooseDrive(1);
  EXPECT_EQ(window.controls.refreshes, 2);
  EXPECT_EQ(window.form.Dir1Path(), u"D:\\");
  EXPECT_EQ(window.controls.drive_index, 1);
  EXPECT_EQ(window.controls.lines, std::vector<Text>{u"ON D.TXT" + kArrow});
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, OpensTheFolderListEntryChosen) {
  Window window;
  window.system.AddFolder(u"C:\\", {});
  window.form.Form_Load();
  window.form.Dir1Opened(2);  // Sub
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work\\Sub");
  EXPECT_EQ(window.controls.lines, std::vector<Text>{u"IN SUB.TXT" + kArrow});
  EXPECT_EQ(window.controls.current_folder_entry, 2u);
  window.form.Dir1Opened(0);  // the top of the drive
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\");
  EXPECT_EQ(window.controls.folder_entries.size(), 2u);  // C:\ and Work
  window.form.Dir1Opened(7);                             // no such entry
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\");
  EXPECT_EQ(window.controls.refreshes, 3);
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, ReSortsAndSwapsTheNamesOnAClickOfEitherOption) {
  Window window;
  window.system.short_paths[u"C:\\Work\\b.txt"] = u"C:\\WORK\\A~1.TXT";
  window.system.short_paths[u"C:\\Work\\A.TXT"] = u"C:\\WORK\\Z.TXT";
  window.form.Form_Load();
  const Text label = window.controls.label;
  window.controls.by_long_name = false;
  window.form.Option1_Click(1);
  EXPECT_EQ(window.controls.lines,
            (std::vector<Text>{u"A~1.TXT" + kArrow + u"b.txt", u"Z.TXT" + kArrow + u"A.TXT"}));
  EXPECT_EQ(window.controls.label, label);
}

TEST(Form1, ShowsTheAboutBoxAndChangesNothing) {
  Window window;
  window.form.Form_Load();
  const std::vector<Text> lines = window.controls.lines;
  window.form.Command1_Click();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  const FakeWindow::Message& about = window.controls.messages[0];
  EXPECT_EQ(about.text, Text(kWindowCaption) + u"\r\n" + Text(40, u' ') + u"by " +
                            u"Tarnwick \u958B\u767A\u30C1\u30FC\u30E0");
  EXPECT_EQ(about.style, 64);
  EXPECT_EQ(about.title, Text({0x30D0, 0x30FC, 0x30B8, 0x30E7, 0x30F3, 0x60C5, 0x5831}));
  EXPECT_EQ(window.controls.refreshes, 1);
  EXPECT_EQ(window.controls.lines, lines);
}

TEST(Form1, KeepsTheWindowAsItWasWhenADriveOrFolderCannotBeRead) {
  Window window;
  window.form.Form_Load();
  const std::vector<Text> lines = window.controls.lines;
  const std::vector<FolderListEntry> entries = window.controls.folder_entries;
  window.ChooseDrive(2);
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.controls.messages[0].style, kErrorStyle);
  // "フォルダーが見つかりません。" and the folder.
  EXPECT_TRUE(window.controls.messages[0].text.starts_with(
      u"\u30D5\u30A9\u30EB\u30C0\u30FC\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093"));
  EXPECT_NE(window.controls.messages[0].text.find(u"E:\\"), Text::npos);
  EXPECT_EQ(window.controls.drive_index, 0);
  EXPECT_EQ(window.form.Drive1Drive(), u"C:\\");
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");

  // A subfolder that went after the folder list was drawn.
  window.system.subfolders.erase(u"C:\\Work\\Sub");
  window.form.Dir1Opened(2);
  ASSERT_EQ(window.controls.messages.size(), 2u);
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
  EXPECT_EQ(window.controls.folder_entries, entries);
  EXPECT_EQ(window.controls.lines, lines);
  EXPECT_EQ(window.controls.refreshes, 1);
}

TEST(Form1, ShowsTheBusyCursorForEveryRefreshAndNeverLeavesItOn) {
  Window window;
  window.form.Form_Load();
  window.controls.by_long_name = false;
  window.form.Option1_Click(1);
  window.ChooseDrive(1);
  EXPECT_EQ(window.controls.refreshes, 3);
  EXPECT_TRUE(window.controls.busy_while_listing);
  EXPECT_FALSE(window.controls.busy);

  // A refresh that fails puts the usual cursor back before saying so.
  window.system.folders.erase(u"D:\\");
  window.form.Dir1_Change();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_FALSE(window.controls.messages[0].busy);
  EXPECT_FALSE(window.controls.busy);
  // And the about box is no refresh.
  window.form.Command1_Click();
  EXPECT_FALSE(window.controls.messages[1].busy);
}

TEST(Form1, CopiesTheChosenLineOrEveryLineAndChangesNothingElse) {
  Window window;
  window.form.Form_Load();
  const std::vector<Text> lines = window.controls.lines;
  // Nothing chosen: nothing to copy.
  EXPECT_FALSE(window.form.CanCopyLine());
  window.form.CopyLine();
  EXPECT_FALSE(window.controls.clipboard);

  window.controls.chosen_line = 1;
  EXPECT_TRUE(window.form.CanCopyLine());
  window.form.CopyLine();
  EXPECT_EQ(window.controls.clipboard, u"b.txt" + kArrow);
  window.form.CopyAllLines();
  EXPECT_EQ(window.controls.clipboard, u"A.TXT" + kArrow + u"\r\nb.txt" + kArrow);
  window.system.line_break = u"\n";
  window.form.CopyAllLines();
  EXPECT_EQ(window.controls.clipboard, u"A.TXT" + kArrow + u"\nb.txt" + kArrow);

  EXPECT_EQ(window.controls.lines, lines);
  EXPECT_EQ(window.controls.refreshes, 1);
  EXPECT_TRUE(window.controls.messages.empty());
}

// Said as the clipboard's failure, with the system's words: not as a folder
// that cannot be read.
TEST(Form1, SaysTheClipboardRefusedAndChangesNothingElse) {
  Window window;
  window.form.Form_Load();
  const std::vector<Text> lines = window.controls.lines;
  window.controls.chosen_line = 1;
  window.controls.clipboard_refusal =
      PlatformError(ErrorKind::Other, u"", "cannot empty the clipboard", u"\u62D2\u5426");
  window.form.CopyLine();
  window.form.CopyFolderShortPath();
  ASSERT_EQ(window.controls.messages.size(), 2u);
  for (const FakeWindow::Message& message : window.controls.messages) {
    EXPECT_EQ(message.text, Text(kClipboardUnusable) + u"\r\n\r\n\u62D2\u5426");
    EXPECT_EQ(message.style, kErrorStyle);
  }
  EXPECT_FALSE(window.controls.clipboard);
  EXPECT_EQ(window.controls.lines, lines);
  EXPECT_EQ(window.controls.chosen_line, 1);
}

// A name of bytes that are no UTF-8 shows U+FFFD for each, and is copied so.
TEST(Form1, CopiesEveryTextAsItIsShown) {
  Window window;
  window.system.AddFolder(u"C:\\W\xDCE9rk\\", {u"caf\xDCE9\xDCFF.txt"});
  window.system.subfolders[u"C:\\W\xDCE9rk"] = {};
  window.system.short_paths[u"C:\\W\xDCE9rk\\"] = u"C:\\W\xDCE9RK\\";
  window.system.short_paths[u"C:\\W\xDCE9rk\\caf\xDCE9\xDCFF.txt"] =
      u"C:\\W\xDCE9RK\\CAF\xDCE9.TXT";
  window.form.SetDir1Path(u"C:\\W\xDCE9rk");
  ASSERT_EQ(window.controls.lines,
            std::vector<Text>{u"caf\xDCE9\xDCFF.txt" + kArrow + u"CAF\xDCE9.TXT"});
  window.controls.chosen_line = 0;
  const Text line = u"caf\uFFFD\uFFFD.txt" + kArrow + u"CAF\uFFFD.TXT";
  window.form.CopyLine();
  EXPECT_EQ(window.controls.clipboard, line);
  window.form.CopyAllLines();
  EXPECT_EQ(window.controls.clipboard, line);
  window.form.CopyShortName();
  EXPECT_EQ(window.controls.clipboard, u"CAF\uFFFD.TXT");
  window.form.CopyShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\W\uFFFDRK\\CAF\uFFFD.TXT");
  window.form.CopyFolderShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\W\uFFFDRK\\");
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, ReportsAFaultOfItsOwnAndKeepsTheWindow) {
  const std::exception_ptr faults[] = {std::make_exception_ptr(std::bad_alloc()),
                                       std::make_exception_ptr(std::overflow_error("too many"))};
  for (const std::exception_ptr& fault : faults) {
    Window window;
    window.form.Form_Load();
    const std::vector<Text> lines = window.controls.lines;
    window.system.fault = fault;
    window.ChooseDrive(1);
    window.form.Dir1Opened(2);
    window.form.DrivesChanged();
    window.form.Option1_Click(1);
    ASSERT_EQ(window.controls.messages.size(), 4u);
    for (const FakeWindow::Message& message : window.controls.messages) {
      // "内部エラーが発生しました。" and what it was.
      EXPECT_TRUE(message.text.starts_with(u"\u5185\u90E8\u30A8\u30E9\u30FC"));
      EXPECT_TRUE(message.text.ends_with(u"std::bad_alloc") || message.text.ends_with(u"too many"));
      EXPECT_EQ(message.style, kErrorStyle);
      EXPECT_FALSE(message.busy);
    }
    EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
    EXPECT_EQ(window.controls.drive_index, 0);
    EXPECT_EQ(window.controls.drive_lines.size(), 3u);
    // The refresh got as far as its label before the fault: no stale lines.
    EXPECT_TRUE(window.controls.lines.empty());
    window.system.fault = nullptr;
    window.form.Option1_Click(0);
    EXPECT_EQ(window.controls.lines, lines);
  }
}

TEST(Form1, FollowsDrivesThatComeAndGo) {
  Window window;
  window.form.Form_Load();
  // A stick comes: the list shows it, still on C:.
  window.system.drives.insert(window.system.drives.begin(), {u"a: [STICK]", u"A:\\"});
  window.system.AddFolder(u"A:\\", {u"ON A.TXT"});
  window.system.subfolders[u"A:\\"] = {};
  window.form.DrivesChanged();
  EXPECT_EQ(window.controls.drive_lines,
            (std::vector<Text>{u"a: [STICK]", u"c:", u"d: [DATA]", u"e:"}));
  EXPECT_EQ(window.controls.drive_index, 1);
  EXPECT_EQ(window.form.Drive1Drive(), u"C:\\");
  EXPECT_TRUE(window.controls.messages.empty());
  EXPECT_EQ(window.controls.refreshes, 1);

  // It is shown, then pulled out: the window says so and goes back to the
  // start folder.
  window.ChooseDrive(0);
  ASSERT_EQ(window.controls.lines, std::vector<Text>{u"ON A.TXT" + kArrow});
  window.system.drives.erase(window.system.drives.begin());
  window.system.folders.erase(u"A:\\");
  window.system.subfolders.erase(u"A:\\");
  window.form.DrivesChanged();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  // "ドライブが取り外されました。" and the drive.
  EXPECT_EQ(window.controls.messages[0].text,
            u"\u30C9\u30E9\u30A4\u30D6\u304C\u53D6\u308A\u5916\u3055\u308C\u307E\u3057\u305F"
            u"\u3002\r\na: [STICK]");
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
  EXPECT_EQ(window.controls.drive_index, 0);
  EXPECT_EQ(window.controls.lines, (std::vector<Text>{u"A.TXT" + kArrow, u"b.txt" + kArrow}));
  EXPECT_EQ(window.controls.messages.size(), 1u);
}

TEST(Form1, MovesToTheFirstDriveWhenTheStartFolderWentWithTheDrive) {
  Window window;
  window.form.Form_Load();
  window.ChooseDrive(1);  // D:
  // C: and D: go, and with C: the start folder.
  window.system.drives = {{u"f:", u"F:\\"}, {u"e:", u"E:\\"}};
  window.system.AddFolder(u"F:\\", {u"ON F.TXT"});
  window.system.subfolders[u"F:\\"] = {};
  window.system.subfolders.erase(u"C:\\Work");
  window.form.DrivesChanged();
  EXPECT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.form.Dir1Path(), u"F:\\");
  EXPECT_EQ(window.controls.drive_index, 0);
  EXPECT_EQ(window.controls.lines, std::vector<Text>{u"ON F.TXT" + kArrow});
}

TEST(Form1, CopiesTheShortNameAndPathOfTheChosenLineFromTheNamesBesideIt) {
  Window window;
  // A name that holds the separator itself, and one with no short form.
  window.system.AddFolder(u"C:\\Work\\", {u"x \u21D4 y.txt", u"NOSHORT.TXT", u"\u8868.txt"});
  window.system.short_paths[u"C:\\Work\\x \u21D4 y.txt"] = u"C:\\WORK\\X_Y~1.TXT";
  window.system.short_paths[u"C:\\Work\\\u8868.txt"] = u"C:\\WORK\\\u8868.TXT";
  window.form.Form_Load();
  ASSERT_EQ(window.controls.lines,
            (std::vector<Text>{u"NOSHORT.TXT" + kArrow, u"x \u21D4 y.txt" + kArrow + u"X_Y~1.TXT",
                               u"\u8868.txt" + kArrow + u"\u8868.TXT"}));
  EXPECT_TRUE(window.form.CanCopyAllLines());
  EXPECT_FALSE(window.form.CanCopyShortName());  // nothing chosen
  window.form.CopyShortPath();
  EXPECT_FALSE(window.controls.clipboard);

  window.controls.chosen_line = 0;  // no short name
  EXPECT_FALSE(window.form.CanCopyShortName());
  EXPECT_FALSE(window.form.CanCopyShortPath());
  window.form.CopyShortName();
  window.form.CopyShortPath();
  EXPECT_FALSE(window.controls.clipboard);

  window.controls.chosen_line = 1;
  EXPECT_TRUE(window.form.CanCopyShortPath());
  window.form.CopyShortName();
  EXPECT_EQ(window.controls.clipboard, u"X_Y~1.TXT");
  window.form.CopyShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\WORK\\X_Y~1.TXT");
  window.controls.chosen_line = 2;
  window.form.CopyShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\WORK\\\u8868.TXT");
  window.form.CopyFolderShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\WORK\\");

  // Sorted by short name, the names are still the right ones.
  window.controls.by_long_name = false;
  window.form.Option1_Click(1);
  window.controls.chosen_line = 2;
  window.form.CopyShortName();
  EXPECT_EQ(window.controls.clipboard, u"\u8868.TXT");
  EXPECT_EQ(window.controls.refreshes, 2);
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, GreysOutWhatCannotBeCopiedOfAnEmptyListOrAFolderWithoutAShortForm) {
  Window window;
  window.system.AddFolder(u"C:\\Work\\", {u"A.TXT"});
  window.system.short_paths.erase(u"C:\\Work\\");
  window.system.short_paths[u"C:\\Work\\A.TXT"] = u"C:\\WORK\\A.TXT";
  window.form.Form_Load();
  window.controls.chosen_line = 0;
  EXPECT_TRUE(window.form.CanCopyShortName());
  EXPECT_FALSE(window.form.CanCopyShortPath());
  EXPECT_FALSE(window.form.CanCopyFolderShortPath());
  window.form.CopyFolderShortPath();
  window.form.CopyShortPath();
  EXPECT_FALSE(window.controls.clipboard);

  window.controls.chosen_line = -1;
  window.system.AddFolder(u"C:\\Work\\", {});
  window.form.Dir1_Change();
  EXPECT_FALSE(window.form.CanCopyAllLines());
}

// A disk that keeps no short name for a long name: the refresh shows the
// long name in its place, as Windows does, and that is nothing to copy.
TEST(Form1, GreysOutTheShortNameCopiesWhereTheDiskKeepsNone) {
  Window window;
  window.system.AddFolder(u"C:\\Work\\", {u"A long name.txt", u"B long name.txt"});
  window.system.short_paths[u"C:\\Work\\A long name.txt"] = u"C:\\WORK\\A long name.txt";
  window.system.short_paths[u"C:\\Work\\B long name.txt"] = u"C:\\WORK\\BLONGN~1.TXT";
  window.system.origins = {{u"C:\\Work\\A long name.txt", ShortNameOrigin::None},
                           {u"C:\\Work\\B long name.txt", ShortNameOrigin::Rules}};
  window.form.Form_Load();
  EXPECT_TRUE(window.system.origin_requests.empty());  // a refresh asks nothing

  window.controls.chosen_line = 0;
  EXPECT_FALSE(window.form.CanCopyShortName());
  EXPECT_FALSE(window.form.CanCopyShortPath());
  window.form.CopyShortName();
  window.form.CopyShortPath();  // Ctrl+Shift+C
  EXPECT_FALSE(window.controls.clipboard);
  ASSERT_FALSE(window.system.origin_requests.empty());
  EXPECT_EQ(window.system.origin_requests.back(), u"C:\\Work\\A long name.txt");
  EXPECT_TRUE(window.form.CanCopyLine());

  // The FAT rules' name is a short name all the same.
  window.controls.chosen_line = 1;
  EXPECT_TRUE(window.form.CanCopyShortPath());
  window.form.CopyShortPath();
  EXPECT_EQ(window.controls.clipboard, u"C:\\WORK\\BLONGN~1.TXT");
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, TheLinesTooltipSaysWhereItsShortNameComesFrom) {
  Window window;
  window.system.AddFolder(u"C:\\Work\\", {u"A.TXT", u"b.txt", u"c.txt", u"d.txt", u"e.txt"});
  window.system.origins = {{u"C:\\Work\\b.txt", ShortNameOrigin::ValidName},
                           {u"C:\\Work\\c.txt", ShortNameOrigin::Rules},
                           {u"C:\\Work\\d.txt", ShortNameOrigin::RulesGuess},
                           {u"C:\\Work\\e.txt", ShortNameOrigin::None}};
  window.form.Form_Load();
  EXPECT_TRUE(window.system.origin_requests.empty());  // a refresh asks nothing
  const Text expected[] = {kOriginDisk, kOriginValidName, kOriginRules, kOriginRulesGuess,
                           kOriginNone};
  for (int line = 0; line < 5; ++line) {
    EXPECT_EQ(window.form.List1ToolTip(line),
              window.controls.lines[static_cast<std::size_t>(line)] + u"\r\n" + expected[line]);
  }
  EXPECT_EQ(window.system.origin_requests.back(), u"C:\\Work\\e.txt");
  EXPECT_NE(Text(kOriginNone).find(u"fsutil 8dot3name query"), Text::npos);
  EXPECT_EQ(window.form.List1ToolTip(5), u"");
  EXPECT_EQ(window.form.List1ToolTip(-1), u"");
}

TEST(Form1, ShowsWhatIsDroppedOnTheWindow) {
  Window window;
  window.system.AddFolder(u"D:\\", {u"ON D.TXT", u"LAST.TXT"});
  window.form.Form_Load();

  // A file: its folder, through the folder list, then its line.
  window.form.Dropped({u"D:\\LAST.TXT", u"C:\\Work\\Sub"});
  EXPECT_EQ(window.form.Dir1Path(), u"D:\\");
  EXPECT_EQ(window.controls.drive_index, 1);
  EXPECT_EQ(window.controls.refreshes, 2);
  ASSERT_EQ(window.controls.chosen_line, 0);
  EXPECT_EQ(window.controls.lines[0], u"LAST.TXT" + kArrow);

  // A folder: the first of several counts.
  window.form.Dropped({u"C:\\Work\\Sub", u"D:\\ON D.TXT"});
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work\\Sub");
  EXPECT_EQ(window.controls.drive_index, 0);
  EXPECT_EQ(window.controls.lines, std::vector<Text>{u"IN SUB.TXT" + kArrow});
  EXPECT_EQ(window.controls.refreshes, 3);
  EXPECT_TRUE(window.controls.messages.empty());

  // A file that vanished, or a shell object with no path: said, and nothing
  // changes.
  window.form.Dropped({u"D:\\GONE.TXT"});
  window.form.Dropped({u""});
  window.form.Dropped({});
  ASSERT_EQ(window.controls.messages.size(), 2u);
  EXPECT_EQ(window.controls.messages[0].text, kDropNotUsable + Text(u"\r\nD:\\GONE.TXT"));
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work\\Sub");
  EXPECT_EQ(window.controls.refreshes, 3);
}

// A folder dropped from Explorer's network view: the tree starts at the
// share, and the drive list chooses the drive mapped to it, or none.
TEST(Form1, ShowsAFolderOnAShareAndTheDriveMappedToIt) {
  Window window;
  window.system.drives.push_back({u"x: [\\\\server\\share]", u"X:\\", u"\\\\server\\share"});
  window.form.DrivesChanged();
  const Text share = u"\\\\server\\share\\";
  window.system.subfolders[share + u"folder"] = {u"Sub"};
  window.system.AddFolder(share + u"folder\\", {u"Long Report.docx"});
  window.system.short_paths[share + u"folder\\"] = share + u"FOLDER~1\\";
  window.system.short_paths[share + u"folder\\Long Report.docx"] =
      share + u"FOLDER~1\\LONGRE~1.DOC";
  window.form.Form_Load();

  window.form.Dropped({share + u"folder"});
  EXPECT_EQ(window.form.Dir1Path(), share + u"folder");
  const std::vector<FolderListEntry> tree = {{share, share, 0, true},
                                             {u"folder", share + u"folder", 1, true},
                                             {u"Sub", share + u"folder\\Sub", 2, false}};
  EXPECT_EQ(window.controls.folder_entries, tree);
  EXPECT_EQ(window.controls.label, kPrefix + share + u"FOLDER~1\\");
  EXPECT_EQ(window.controls.lines,
            std::vector<Text>{u"Long Report.docx" + kArrow + u"LONGRE~1.DOC"});
  EXPECT_EQ(window.controls.drive_index, 3);

  // A share no drive is mapped to: none is chosen, and the drive list still
  // takes the window elsewhere.
  const Text other = u"\\\\other\\share\\";
  window.system.subfolders[other] = {};
  window.system.AddFolder(other, {});
  window.form.Dropped({other});
  EXPECT_EQ(window.form.Dir1Path(), other);
  EXPECT_EQ(window.controls.drive_index, -1);
  window.ChooseDrive(1);
  EXPECT_EQ(window.form.Dir1Path(), u"D:\\");
  EXPECT_EQ(window.controls.drive_index, 1);
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(Form1, ReloadsTheFolderShownAndMovesUpFromOneThatIsGone) {
  Window window;
  window.system.AddFolder(u"C:\\", {});
  window.form.Form_Load();
  window.form.Dir1Opened(2);  // C:\Work\Sub
  // A file and a subfolder came, and F5 shows both.
  window.system.AddFolder(u"C:\\Work\\Sub\\", {u"IN SUB.TXT", u"NEW.TXT"});
  window.system.subfolders[u"C:\\Work\\Sub"] = {u"Deeper"};
  window.form.Reload();
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work\\Sub");
  EXPECT_EQ(window.controls.lines.size(), 2u);
  EXPECT_EQ(window.controls.folder_entries.back().name, u"Deeper");
  EXPECT_EQ(window.controls.refreshes, 3);

  // The folder and the one above it are gone: the window says so and goes
  // to C:\.
  window.system.subfolders.erase(u"C:\\Work\\Sub");
  window.system.subfolders.erase(u"C:\\Work");
  window.form.Reload();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.controls.messages[0].text, kFolderGone + Text(u"\r\nC:\\Work\\Sub"));
  EXPECT_EQ(window.form.Dir1Path(), u"C:\\");
  EXPECT_EQ(window.controls.refreshes, 4);
  EXPECT_TRUE(window.controls.lines.empty());
}

// What F5 does for a folder that is gone, any refresh does: one message, and
// the label, the list and the folder list show the folder above.
TEST(Form1, MovesUpFromAFolderThatVanishedWhicheverRefreshFindsIt) {
  const Text sub = u"C:\\Work\\Sub";
  using Trigger = void (*)(Window&, const Text&);
  const std::pair<const char*, Trigger> triggers[] = {
      {"a sort click",
       [](Window& window, const Text& folder) {
         window.form.Form_Load();
         window.form.Dir1Opened(2);
         window.system.folders.erase(folder + u"\\");
         window.system.subfolders.erase(folder);
         window.form.Option1_Click(0);
       }},
      // The rest find it gone between the folder list and the listing.
      {"a drive chosen",
       [](Window& window, const Text& folder) {
         window.system.drives.push_back({u"sub", folder});  // a mount point on Linux
         window.form.DrivesChanged();
         window.form.Form_Load();
         window.system.folders.erase(folder + u"\\");
         window.ChooseDrive(3);
       }},
      {"a drop",
       [](Window& window, const Text& folder) {
         window.form.Form_Load();
         window.system.folders.erase(folder + u"\\");
         window.form.Dropped({folder});
       }},
      {"the start",
       [](Window& window, const Text& folder) {
         window.form.Start(folder);
         window.system.folders.erase(folder + u"\\");
         window.form.Form_Load();
       }},
  };
  for (const auto& [name, trigger] : triggers) {
    SCOPED_TRACE(name);
    Window window;
    trigger(window, sub);
    ASSERT_EQ(window.controls.messages.size(), 1u);
    EXPECT_EQ(window.controls.messages[0].text, kFolderGone + Text(u"\r\n") + sub);
    EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
    EXPECT_EQ(window.controls.label, kPrefix + u"C:\\WORK\\");
    EXPECT_EQ(window.controls.lines, (std::vector<Text>{u"A.TXT" + kArrow, u"b.txt" + kArrow}));
    EXPECT_EQ(window.controls.folder_entries.back().path, sub);
    EXPECT_EQ(window.controls.current_folder_entry, 1u);
    EXPECT_EQ(window.controls.drive_index, 0);
  }
}

// A drive gone with the folder shown, whether the system still lists it
// (a drive whose folder went) or not: one message, on every action only
// the first time, and the window goes back to its start folder.
TEST(Form1, MovesAwayFromADriveThatVanishedWithOneMessage) {
  using Trigger = void (*)(Window&);
  const std::pair<const char*, Trigger> triggers[] = {
      {"F5", [](Window& window) { window.form.Reload(); }},
      {"a sort click", [](Window& window) { window.form.Option1_Click(0); }},
  };
  for (const auto& [name, trigger] : triggers) {
    for (const bool still_listed : {true, false}) {
      SCOPED_TRACE(std::string(name) + (still_listed ? ", still listed" : ", not listed"));
      Window window;
      window.form.Form_Load();
      window.ChooseDrive(1);
      window.system.folders.erase(u"D:\\");
      window.system.subfolders.erase(u"D:\\");
      if (!still_listed) window.system.drives.erase(window.system.drives.begin() + 1);
      trigger(window);
      ASSERT_EQ(window.controls.messages.size(), 1u);
      // "ドライブが取り外されました。" and the drive.
      EXPECT_EQ(window.controls.messages[0].text, kDriveRemoved + Text(u"\r\nd: [DATA]"));
      EXPECT_EQ(window.form.Dir1Path(), u"C:\\Work");
      EXPECT_EQ(window.controls.lines, (std::vector<Text>{u"A.TXT" + kArrow, u"b.txt" + kArrow}));
      EXPECT_EQ(window.controls.drive_lines.size(), still_listed ? 3u : 2u);
      EXPECT_EQ(window.controls.drive_index, 0);
      window.form.Reload();
      window.form.Option1_Click(0);
      EXPECT_EQ(window.controls.messages.size(), 1u);
    }
  }
}

TEST(Form1, ReadsTheDriveListAgainOnF5) {
  Window window;
  window.form.Form_Load();
  window.system.drives.insert(window.system.drives.begin(), {u"a:", u"A:\\"});
  window.form.Reload();
  EXPECT_EQ(window.controls.drive_lines, (std::vector<Text>{u"a:", u"c:", u"d: [DATA]", u"e:"}));
  EXPECT_EQ(window.controls.drive_index, 1);
  EXPECT_EQ(window.controls.refreshes, 2);
  EXPECT_TRUE(window.controls.messages.empty());

  // Every drive gone, and with them every place to go: still one message,
  // and no lines of a drive that is gone.
  window.system.drives.clear();
  window.system.folders.clear();
  window.system.subfolders.clear();
  window.system.short_paths.clear();
  window.form.Reload();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.controls.messages[0].text, kDriveRemoved + Text(u"\r\nc:"));
  EXPECT_TRUE(window.controls.drive_lines.empty());
  EXPECT_EQ(window.controls.label, kPrefix);
  EXPECT_TRUE(window.controls.lines.empty());
}

TEST(Form1, StartsElsewhereWhenTheStartFolderCannotBeRead) {
  struct Case {
    Text home;
    Text expected;
  };
  // Linux: the home folder; Windows: the top of the start folder's drive.
  for (const Case& place : {Case{u"D:\\", u"D:\\"}, Case{u"", u"C:\\"}}) {
    FakeSystem system;
    system.drives = {{u"c:", u"C:\\"}, {u"d:", u"D:\\"}};
    system.subfolders[u"C:\\"] = {};
    system.subfolders[u"D:\\"] = {};
    system.home_folder = place.home;
    FakeWindow controls;
    Form1 form(controls, system);
    form.Start(u"C:\\Locked");
    ASSERT_EQ(controls.messages.size(), 1u);
    // "フォルダーが見つかりません。" and the folder once, no English.
    EXPECT_EQ(controls.messages[0].text, kFolderNotFound + Text(u"\r\nC:\\Locked"));
    EXPECT_EQ(form.Dir1Path(), place.expected);
  }
}

// Each kind of error in its own words, written out here as the user reads
// them.
TEST(Form1, SaysWhatWentWrongInJapaneseForEachKindOfError) {
  const std::pair<ErrorKind, Text> cases[] = {
      {ErrorKind::NotFound, u"フォルダーが見つかりません。"},
      {ErrorKind::AccessDenied, u"フォルダーを読む権限がありません。"},
      {ErrorKind::NotReady, u"ドライブの準備ができていません。"},
      {ErrorKind::Other, u"フォルダーを読めませんでした。"},
  };
  for (const auto& [kind, reason] : cases) {
    EXPECT_EQ(ErrorMessage(PlatformError(kind, u"D:\\x", "in English")), reason + u"\r\nD:\\x");
  }
}

TEST(Form1, AddsTheSystemsOwnWordsToAMessageOnlyWhereItHasThem) {
  EXPECT_EQ(ErrorMessage(PlatformError(ErrorKind::AccessDenied, u"/x/locked",
                                       "cannot read the folder '/x/locked': Permission denied")),
            kFolderMayNotBeRead + Text(u"\r\n/x/locked"));
  EXPECT_EQ(ErrorMessage(PlatformError(ErrorKind::NotReady, u"A:\\", "not ready (error 21)",
                                       u"デバイスの準備ができていません。")),
            kDriveNotReady + Text(u"\r\nA:\\\r\n\r\nデバイスの準備ができていません。"));
}

}  // namespace
}  // namespace tarnwick
