#include "window/main_window.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tarnwick {
namespace {

using testing::FakeSystem;

// A window that keeps what the handlers do to it. Its folder list opens a
// folder only where the fake system has one, as the real ones do.
class FakeWindow final : public WindowControls {
 public:
  explicit FakeWindow(FakeSystem& system) : system_(system) {}

  Form1* form = nullptr;
  Text path = u"C:\\Work";
  Text drive = u"C:\\";
  bool by_long_name = true;
  Text label;
  std::vector<Text> lines;
  int refreshes = 0;  // times the label was set
  bool busy = false;
  bool busy_while_listing = true;  // at every line and label
  struct Message {
    Text text;
    std::int32_t style;
    Text title;
    bool busy;  // the cursor while it was shown
  };
  std::vector<Message> messages;

  Text Dir1Path() const override { return path; }
  bool Option1Item0Value() const override { return by_long_name; }
  void SetLabel1Caption(const Text& caption) override {
    label = caption;
    ++refreshes;
    busy_while_listing &= busy;
  }
  void List1Clear() override { lines.clear(); }
  void List1AddItem(const Text& line) override {
    lines.push_back(line);
    busy_while_listing &= busy;
  }
  void SetList1Redraw(bool) override {}
  void SetDir1Path(const Text& new_path) override {
    system_.Subfolders(new_path);  // throws for a folder that cannot be read
    path = new_path;
    form->Dir1_Change();
  }
  Text Drive1Drive() const override { return drive; }
  void SelectDrive1For(const Text& folder) override { drive = folder.substr(0, 3); }
  void ShowMessage(const Text& text, std::int32_t style, const Text& title) override {
    messages.push_back({text, style, title, busy});
  }
  void SetBusyCursor(bool on) override {
    EXPECT_NE(on, busy) << "the busy cursor was set twice the same way";
    busy = on;
  }

 private:
  FakeSystem& system_;
};

struct Window {
  FakeSystem system;
  FakeWindow controls{system};
  Form1 form{controls, system};

  Window() {
    controls.form = &form;
    system.AddFolder(u"C:\\Work\\", {u"b.txt", u"A.TXT"});
    system.subfolders[u"C:\\Work"] = {};
    system.AddFolder(u"D:\\", {u"ON D.TXT"});
    system.subfolders[u"D:\\"] = {};
    system.short_paths[u"C:\\Work\\"] = u"C:\\WORK\\";
  }
};

const Text kArrow = u" \u21D4 ";

TEST(WindowLayout, PlacesEveryControlAsTheTableSays) {
  struct Place {
    int left, top, width, height;
  };
  const Place expected[] = {{8, 184, 169, 20},  {8, 8, 169, 174},   {184, 8, 297, 196},
                            {8, 208, 97, 17},   {112, 208, 97, 17}, {8, 240, 481, 17},
                            {296, 208, 185, 25}};
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& control = kControls[i];
    EXPECT_EQ(control.tab_index, static_cast<int>(i));
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
  EXPECT_EQ(Text(kControls[3].caption), Text(u"LFN\u3067\u30BD\u30FC\u30C8"));
  EXPECT_EQ(Text(kControls[4].caption), Text(u"SFN\u3067\u30BD\u30FC\u30C8"));
  EXPECT_EQ(Text(kControls[5].caption), Text({0x30D1, 0x30B9, 0x540D, 0xFF0D}));
  EXPECT_EQ(Text(kControls[6].caption),
            Text({0x30D0, 0x30FC, 0x30B8, 0x30E7, 0x30F3, 0x60C5, 0x5831}));
  EXPECT_FALSE(kControls[5].takes_focus);
  EXPECT_EQ(kOptionSelectedAtStart, 0);
}

TEST(Form1, ListsTheFolderOnLoadByLongName) {
  Window window;
  window.form.Form_Load();
  EXPECT_EQ(window.controls.refreshes, 1);
  EXPECT_EQ(window.controls.label,
            u"\u30D1\u30B9\u540D\uFF0D"
            u"C:\\WORK\\");
  EXPECT_EQ(window.controls.lines, (std::vector<Text>{u"A.TXT" + kArrow, u"b.txt" + kArrow}));
}

TEST(Form1, RefreshesOnceThroughTheFolderListWhenTheDriveChanges) {
  Window window;
  window.form.Form_Load();
  window.controls.drive = u"D:\\";
  window.form.Drive1_Change();
  EXPECT_EQ(window.controls.refreshes, 2);
  EXPECT_EQ(window.controls.path, u"D:\\");
  EXPECT_EQ(window.controls.lines, std::vector<Text>{u"ON D.TXT" + kArrow});
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

TEST(Form1, KeepsTheWindowAsItWasWhenADriveCannotBeRead) {
  Window window;
  window.form.Form_Load();
  const std::vector<Text> lines = window.controls.lines;
  window.controls.drive = u"E:\\";
  window.form.Drive1_Change();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.controls.messages[0].style, kErrorStyle);
  // "フォルダーが見つかりません。" and the folder.
  EXPECT_TRUE(window.controls.messages[0].text.starts_with(
      u"\u30D5\u30A9\u30EB\u30C0\u30FC\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093"));
  EXPECT_NE(window.controls.messages[0].text.find(u"E:\\"), Text::npos);
  EXPECT_EQ(window.controls.drive, u"C:\\");
  EXPECT_EQ(window.controls.path, u"C:\\Work");
  EXPECT_EQ(window.controls.lines, lines);
  EXPECT_EQ(window.controls.refreshes, 1);
}

TEST(Form1, ReportsAFolderThatVanishedInsteadOfEnding) {
  Window window;
  window.form.Form_Load();
  window.system.folders.erase(u"C:\\Work\\");
  window.form.Dir1_Change();
  ASSERT_EQ(window.controls.messages.size(), 1u);
  EXPECT_EQ(window.controls.messages[0].style, kErrorStyle);
  EXPECT_EQ(window.controls.messages[0].title, Text(kWindowCaption));
  // No stale lines of a folder that is gone.
  EXPECT_TRUE(window.controls.lines.empty());
}

TEST(Form1, ShowsTheBusyCursorForEveryRefreshAndNeverLeavesItOn) {
  Window window;
  window.form.Form_Load();
  window.controls.by_long_name = false;
  window.form.Option1_Click(1);
  window.controls.drive = u"D:\\";
  window.form.Drive1_Change();
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

}  // namespace
}  // namespace tarnwick
