// The Win32 window on real folders under Wine, driven by the notifications
// its controls send, read back through the controls' own messages.
#include "platform/win32/main_window.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
#include <dbt.h>       // needs windows.h first
#include <shlobj.h>    // needs windows.h first
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/scope_exit.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/gdi_tools.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_system_services.h"
#include "support/forwarding_system.h"
#include "win32/control_text.h"
#include "win32/temp_folder.h"
#include "window/layout.h"
#include "window/texts.h"

namespace tarnwick::win32 {
namespace {

using testing::ListLines;
using testing::TempFolder;
using testing::TextOf;

// The real system, counting refreshes (each asks once for the short form of
// the folder itself, the only path that ends in "\"), and with drives of the
// test's own beside the machine's.
class CountingSystem final : public testing::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  int refreshes = 0;
  std::vector<Drive> more_drives;

  std::vector<Drive> Drives() override {
    std::vector<Drive> drives = ForwardingSystem::Drives();
    drives.insert(drives.end(), more_drives.begin(), more_drives.end());
    return drives;
  }

  std::uint32_t GetShortPathNameA(const std::string& path, std::span<char> buffer) override {
    if (!path.empty() && path.back() == '\\') ++refreshes;
    return ForwardingSystem::GetShortPathNameA(path, buffer);
  }
};

Text ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return FromWide(name);
}

int FindLine(HWND list, const Text& text) {
  const std::vector<Text> lines = ListLines(list);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == text) return static_cast<int>(i);
  }
  return -1;
}

// The short form of `path`, and its short name, as the system gives them.
Text ShortPathOf(const Text& path) {
  wchar_t buffer[MAX_PATH] = {};
  ::GetShortPathNameW(ToWide(path).c_str(), buffer, MAX_PATH);
  return FromWide(buffer);
}

Text ShortNameOf(const Text& path) {
  const Text short_path = ShortPathOf(path);
  return short_path.substr(short_path.rfind(u'\\') + 1);
}

const Text kArrow = u" \u21D4 ";
const Text kPrefix = u"\u30D1\u30B9\u540D\uFF0D";

class Win32Window : public ::testing::Test {
 protected:
  Win32Window() {
    folder.AddFile(u"Long File Name.txt");
    folder.AddFile(u"README.TXT");
    folder.AddFile(u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt");
    folder.AddFolder(u"Sub Folder");
    folder.AddFile(u"Sub Folder\\inside.txt");
    window = std::make_unique<MainWindow>(system, ::GetModuleHandleW(nullptr));
    window->SetMessageShower([this](HWND, const Text& text, std::int32_t style, const Text& title) {
      messages.push_back({text, style, title});
    });
    window->Create(folder.path());
    window->Load();
  }

  void Command(int id, int code) {
    ::SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(window->control(id)));
  }

  // F5 where the focus is, as the message loop hands it on.
  bool PressF5() {
    MSG f5{::GetFocus(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    return window->TranslateKeys(f5);
  }

  struct Message {
    Text text;
    std::int32_t style;
    Text title;
  };
  TempFolder folder;
  std::unique_ptr<SystemServices> real = CreateSystemServices();
  CountingSystem system{*real};
  std::unique_ptr<MainWindow> window;
  std::vector<Message> messages;
};

TEST_F(Win32Window, ReadsBackControlsAsTheTableSays) {
  EXPECT_EQ(TextOf(window->handle()), Text(kWindowCaption));
  RECT client{};
  ::GetClientRect(window->handle(), &client);
  EXPECT_EQ(client.right, 491);
  EXPECT_EQ(client.bottom, 260);
  const Text classes[] = {u"ComboBox", u"ListBox", u"ListBox", u"Button",
                          u"Button",   u"Static",  u"Button"};
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& layout = kControls[i];
    const HWND control = window->control(kDrive1Id + static_cast<int>(i));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), classes[i]) << layout.name;
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(HWND_DESKTOP, window->handle(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, Pixels(layout.left)) << layout.name;
    EXPECT_EQ(place.top, Pixels(layout.top)) << layout.name;
    EXPECT_EQ(place.right - place.left, Pixels(layout.width)) << layout.name;
    // The drive list closed.
    EXPECT_EQ(place.bottom - place.top, Pixels(layout.height)) << layout.name;
    if (layout.caption != nullptr && layout.kind != ControlKind::Label) {
      EXPECT_EQ(TextOf(control), Text(layout.caption)) << layout.name;
    }
  }
  EXPECT_EQ(::SendMessageW(window->control(kOption1Item0Id), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessageW(window->control(kOption1Item1Id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // Tab goes through the controls in the table's order, past the label.
  const int order[] = {kDrive1Id, kDir1Id, kList1Id, kOption1Item0Id, kOption1Item1Id, kCommand1Id};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_EQ(::GetNextDlgTabItem(window->handle(), window->control(order[i]), FALSE),
              window->control(order[i + 1]))
        << i;
  }
  EXPECT_TRUE(::GetWindowLongW(window->control(kLabel1Id), GWL_STYLE) & SS_NOPREFIX);
  EXPECT_FALSE(::GetWindowLongW(window->control(kList1Id), GWL_STYLE) & LBS_SORT);
}

TEST_F(Win32Window, ListsTheFolderFirstThenReSortsOnTheOtherOption) {
  const Text japanese = u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt";
  const Text long_short = ShortNameOf(folder.slashed() + u"Long File Name.txt");
  const Text japanese_short = ShortNameOf(folder.slashed() + japanese);
  EXPECT_EQ(ListLines(window->control(kList1Id)),
            (std::vector<Text>{u"Long File Name.txt" + kArrow + long_short,
                               u"README.TXT" + kArrow + u"README.TXT",
                               japanese + kArrow + japanese_short}));
  const Text label = TextOf(window->control(kLabel1Id));
  EXPECT_TRUE(label.starts_with(kPrefix)) << ToUtf8(label);
  EXPECT_EQ(label.back(), u'\\');
  EXPECT_EQ(::SendMessageW(window->control(kList1Id), LB_GETCURSEL, 0, 0), LB_ERR);

  // A click on the other option: BM_CLICK checks it and notifies the window.
  ::SendMessageW(window->control(kOption1Item1Id), BM_CLICK, 0, 0);
  const std::vector<Text> lines = ListLines(window->control(kList1Id));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(FindLine(window->control(kList1Id), u"README.TXT" + kArrow + u"README.TXT"), -1);
  EXPECT_NE(FindLine(window->control(kList1Id), long_short + kArrow + u"Long File Name.txt"), -1);
  EXPECT_NE(FindLine(window->control(kList1Id), japanese_short + kArrow + japanese), -1);
  EXPECT_EQ(TextOf(window->control(kLabel1Id)), label);
}

TEST_F(Win32Window, OpensASubfolderAndAnAncestor) {
  const HWND dir1 = window->control(kDir1Id);
  const int sub = FindLine(dir1, u"Sub Folder");
  ASSERT_GE(sub, 0);
  ::SendMessageW(dir1, LB_SETCURSEL, static_cast<WPARAM>(sub), 0);
  Command(kDir1Id, LBN_DBLCLK);
  EXPECT_EQ(ListLines(window->control(kList1Id)),
            std::vector<Text>{u"inside.txt" + kArrow +
                              ShortNameOf(folder.slashed() + u"Sub Folder\\inside.txt")});
  EXPECT_EQ(window->form().Dir1Path(), folder.slashed() + u"Sub Folder");
  // The top of the drive.
  ::SendMessageW(dir1, LB_SETCURSEL, 0, 0);
  Command(kDir1Id, LBN_DBLCLK);
  EXPECT_EQ(window->form().Dir1Path().size(), 3u);
  EXPECT_EQ(TextOf(window->control(kLabel1Id)), kPrefix + window->form().Dir1Path());
  EXPECT_TRUE(messages.empty());
}

TEST_F(Win32Window, RefreshesOnceWhenAnotherDriveIsChosen) {
  EXPECT_EQ(system.refreshes, 1);
  const HWND drive1 = window->control(kDrive1Id);
  const auto shown = ::SendMessageW(drive1, CB_GETCURSEL, 0, 0);
  // The same drive again is no change.
  Command(kDrive1Id, CBN_SELCHANGE);
  EXPECT_EQ(system.refreshes, 1);
  const auto z = ::SendMessageW(drive1, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(L"z:"));
  ASSERT_NE(z, CB_ERR);
  ASSERT_NE(z, shown);
  ::SendMessageW(drive1, CB_SETCURSEL, static_cast<WPARAM>(z), 0);
  Command(kDrive1Id, CBN_SELCHANGE);
  EXPECT_EQ(system.refreshes, 2);
  EXPECT_EQ(window->form().Dir1Path(), u"Z:\\");
  EXPECT_EQ(TextOf(window->control(kLabel1Id)).substr(0, 7), kPrefix + u"Z:\\");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Win32Window, FollowsDrivesThatComeAndGo) {
  const HWND drive1 = window->control(kDrive1Id);
  const auto count = ::SendMessageW(drive1, CB_GETCOUNT, 0, 0);
  const auto shown = ::SendMessageW(drive1, CB_GETCURSEL, 0, 0);
  // A "stick", which a folder of the test's stands for.
  TempFolder stick;
  stick.AddFile(u"ON STICK.TXT");
  system.more_drives = {{u"q: [STICK]", stick.path()}};
  ::SendMessageW(window->handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  ASSERT_EQ(::SendMessageW(drive1, CB_GETCOUNT, 0, 0), count + 1);
  EXPECT_EQ(::SendMessageW(drive1, CB_GETCURSEL, 0, 0), shown);
  EXPECT_TRUE(messages.empty());

  ::SendMessageW(drive1, CB_SETCURSEL, static_cast<WPARAM>(count), 0);
  Command(kDrive1Id, CBN_SELCHANGE);
  ASSERT_EQ(window->form().Dir1Path(), stick.path());
  system.more_drives.clear();
  ::SendMessageW(window->handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(u"q: [STICK]"), Text::npos);
  EXPECT_EQ(::SendMessageW(drive1, CB_GETCOUNT, 0, 0), count);
  EXPECT_EQ(::SendMessageW(drive1, CB_GETCURSEL, 0, 0), shown);
  EXPECT_EQ(window->form().Dir1Path(), folder.path());
}

// The text on the clipboard, or nullopt when it holds none.
std::optional<Text> ClipboardText(HWND owner) {
  if (!::OpenClipboard(owner)) return std::nullopt;
  std::optional<Text> text;
  if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    text = FromWide(static_cast<const wchar_t*>(::GlobalLock(data)));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

// Keys as they are held down while a message is handled.
void HoldControlKey(bool held, bool shift = false) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = held ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST_F(Win32Window, CopiesTheListsLinesToTheClipboard) {
  const HWND list1 = window->control(kList1Id);
  const std::vector<Text> lines = ListLines(list1);
  ASSERT_EQ(lines.size(), 3u);
  window->SetClipboardText(u"before");
  // The clipboard is let go once the text is on it.
  EXPECT_EQ(::GetOpenClipboardWindow(), nullptr);
  const MenuHandle menu = window->MakeList1Menu();
  wchar_t caption[64] = {};
  ::GetMenuStringW(menu.get(), kCopyLineId, caption, 64, MF_BYCOMMAND);
  EXPECT_EQ(FromWide(caption), u"\u30B3\u30D4\u30FC(&C)\tCtrl+C");  // "コピー(&C)"
  ::GetMenuStringW(menu.get(), kCopyAllLinesId, caption, 64, MF_BYCOMMAND);
  EXPECT_EQ(FromWide(caption), Text(kCopyAllLinesCaption));
  // No line chosen: "コピー" is greyed out, and Ctrl+C copies nothing.
  EXPECT_TRUE(::GetMenuState(menu.get(), kCopyLineId, MF_BYCOMMAND) & MF_GRAYED);
  HoldControlKey(true);
  ::SendMessageW(list1, WM_KEYDOWN, 'C', 0);
  EXPECT_EQ(ClipboardText(window->handle()), u"before");

  ::SendMessageW(list1, LB_SETCURSEL, 1, 0);
  ::SendMessageW(list1, WM_KEYDOWN, 'C', 0);
  HoldControlKey(false);
  EXPECT_EQ(ClipboardText(window->handle()), lines[1]);
  EXPECT_FALSE(::GetMenuState(window->MakeList1Menu().get(), kCopyLineId, MF_BYCOMMAND) &
               MF_GRAYED);
  ::SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(kCopyAllLinesId, 0), 0);
  EXPECT_EQ(ClipboardText(window->handle()), lines[0] + u"\r\n" + lines[1] + u"\r\n" + lines[2]);
  // Nothing else changed.
  EXPECT_EQ(ListLines(list1), lines);
  EXPECT_EQ(::SendMessageW(list1, LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(messages.empty());
}

// How many pixels `text` in `font` darkens in a 64 x 32 picture.
int DarkPixels(HFONT font, const wchar_t* text) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 64, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old_bitmap = ::SelectObject(dc, bitmap);
  const HGDIOBJ old_font = ::SelectObject(dc, font);
  const RECT all{0, 0, 64, 32};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetBkMode(dc, TRANSPARENT);
  ::TextOutW(dc, 4, 4, text, static_cast<int>(std::wcslen(text)));
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const auto dark = std::count_if(
      pixels, pixels + 64 * 32, [](std::uint32_t pixel) { return (pixel & 0xFFFFFF) != 0xFFFFFF; });
  ::SelectObject(dc, old_font);
  ::SelectObject(dc, old_bitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return static_cast<int>(dark);
}

// Tab, through the dialog manager as the message loop hands it on, only
// moves the focus: from the list to the checked option of the pair, whichever
// it is, and nothing is sorted again.
TEST_F(Win32Window, TabFromTheListReachesTheCheckedOptionAndSortsNothing) {
  for (const int checked : {kOption1Item0Id, kOption1Item1Id}) {
    ::SendMessageW(window->control(checked), BM_CLICK, 0, 0);
    const std::vector<Text> lines = ListLines(window->control(kList1Id));
    const int refreshes = system.refreshes;
    ::SetFocus(window->control(kList1Id));
    ASSERT_EQ(::GetFocus(), window->control(kList1Id));
    MSG tab{window->control(kList1Id), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(::IsDialogMessageW(window->handle(), &tab));
    EXPECT_EQ(::GetFocus(), window->control(checked)) << checked;
    EXPECT_EQ(::SendMessageW(window->control(checked), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(ListLines(window->control(kList1Id)), lines);
    EXPECT_EQ(system.refreshes, refreshes);
  }
}

// Every glyph of a file name shows: the line is as high as the font's cells
// and the space between lines, and the font draws "_" (Wine's Japanese font
// has no underscore at the message font's 12 pixels).
TEST_F(Win32Window, ListLinesShowEveryGlyph) {
  const HWND list1 = window->control(kList1Id);
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(list1, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  const HDC dc = ::GetDC(list1);
  const HGDIOBJ before = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ASSERT_TRUE(::GetTextMetricsW(dc, &metrics));
  ::SelectObject(dc, before);
  ::ReleaseDC(list1, dc);
  EXPECT_EQ(::SendMessageW(list1, LB_GETITEMHEIGHT, 0, 0),
            metrics.tmHeight + metrics.tmExternalLeading);
  EXPECT_GT(DarkPixels(font, L"_"), 0);
}

TEST_F(Win32Window, ShowsTheAboutBoxAndAPathWithAnAmpersand) {
  Command(kCommand1Id, BN_CLICKED);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, AboutText());
  EXPECT_EQ(messages[0].style, 64);
  EXPECT_EQ(messages[0].title, Text(kAboutCaption));

  folder.AddFolder(u"A&B");
  window->form().SetDir1Path(folder.slashed() + u"A&B");
  EXPECT_NE(TextOf(window->control(kLabel1Id)).find(u"A&B"), Text::npos);
}

Text MenuCaption(HMENU menu, int id) {
  wchar_t caption[64] = {};
  ::GetMenuStringW(menu, static_cast<UINT>(id), caption, 64, MF_BYCOMMAND);
  return FromWide(caption);
}

bool Greyed(HMENU menu, int id) {
  return (::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST_F(Win32Window, CopiesShortNamesAndPathsFromTheMenusAndCtrlShiftC) {
  const HWND list1 = window->control(kList1Id);
  const Text long_name = u"Long File Name.txt";
  const Text folder_short = ShortPathOf(folder.slashed());
  ASSERT_EQ(folder_short.back(), u'\\');
  const Text short_name = ShortNameOf(folder.slashed() + long_name);
  ASSERT_NE(short_name, long_name);

  const MenuHandle menu = window->MakeList1Menu();
  ASSERT_EQ(::GetMenuItemCount(menu.get()), 7);
  EXPECT_EQ(MenuCaption(menu.get(), kCopyShortNameId), Text(kCopyShortNameCaption));
  EXPECT_EQ(MenuCaption(menu.get(), kCopyShortPathId),
            Text(kCopyShortPathCaption) + u"\tCtrl+Shift+C");
  EXPECT_EQ(MenuCaption(menu.get(), kCopyFolderPathId), Text(kCopyFolderShortPathCaption));
  EXPECT_TRUE(::GetMenuState(menu.get(), 5, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(MenuCaption(menu.get(), kReloadId), Text(kReloadCaption) + u"\tF5");
  // No line chosen: only the whole list can be copied, and read again.
  EXPECT_TRUE(Greyed(menu.get(), kCopyLineId));
  EXPECT_FALSE(Greyed(menu.get(), kCopyAllLinesId));
  EXPECT_TRUE(Greyed(menu.get(), kCopyShortNameId));
  EXPECT_TRUE(Greyed(menu.get(), kCopyShortPathId));
  EXPECT_FALSE(Greyed(menu.get(), kCopyFolderPathId));
  EXPECT_FALSE(Greyed(menu.get(), kReloadId));
  window->SetClipboardText(u"before");
  HoldControlKey(true, true);
  ::SendMessageW(list1, WM_KEYDOWN, 'C', 0);
  HoldControlKey(false);
  EXPECT_EQ(ClipboardText(window->handle()), u"before");

  ::SendMessageW(list1, LB_SETCURSEL,
                 static_cast<WPARAM>(FindLine(list1, long_name + kArrow + short_name)), 0);
  const MenuHandle chosen = window->MakeList1Menu();
  EXPECT_FALSE(Greyed(chosen.get(), kCopyShortNameId));
  EXPECT_FALSE(Greyed(chosen.get(), kCopyShortPathId));
  Command(kCopyShortNameId, 0);
  EXPECT_EQ(ClipboardText(window->handle()), short_name);
  Command(kCopyShortPathId, 0);
  EXPECT_EQ(ClipboardText(window->handle()), folder_short + short_name);
  window->SetClipboardText(u"before");
  HoldControlKey(true, true);
  ::SendMessageW(list1, WM_KEYDOWN, 'C', 0);
  HoldControlKey(false);
  EXPECT_EQ(ClipboardText(window->handle()), folder_short + short_name);

  // The label's menu, whose entry the list's menu has too: the folder's
  // short path.
  const MenuHandle label_menu = window->MakeLabel1Menu();
  ASSERT_EQ(::GetMenuItemCount(label_menu.get()), 1);
  EXPECT_EQ(MenuCaption(label_menu.get(), kCopyFolderPathId), Text(kCopyFolderPathCaption));
  EXPECT_FALSE(Greyed(label_menu.get(), kCopyFolderPathId));
  Command(kCopyFolderPathId, 0);
  EXPECT_EQ(ClipboardText(window->handle()), folder_short);
  EXPECT_TRUE(messages.empty());
}

// F5, wherever the focus is, as the message loop hands it on.
TEST_F(Win32Window, F5ReadsTheFolderAgain) {
  folder.AddFile(u"ADDED.TXT");
  const int refreshes = system.refreshes;
  ::SetFocus(window->control(kOption1Item0Id));
  EXPECT_TRUE(PressF5());
  EXPECT_EQ(system.refreshes, refreshes + 1);
  EXPECT_NE(FindLine(window->control(kList1Id), u"ADDED.TXT" + kArrow + u"ADDED.TXT"), -1);
}

// Drive T:, which the tests' script links into Wine's dosdevices, taken
// away while it is shown: its link leads nowhere, though Wine still lists
// the drive. F5 says so once and goes back to the start folder and its drive.
TEST_F(Win32Window, F5MovesAwayFromADriveTakenAway) {
  const std::optional<Text> drive_folder = testing::UnixFolderNamedBy(L"TARNWICK_DRIVE_T");
  if (!drive_folder || !(::GetLogicalDrives() & (1u << (L'T' - L'A')))) {
    GTEST_SKIP() << "no drive T: (TARNWICK_DRIVE_T names its folder)";
  }
  const HWND drive1 = window->control(kDrive1Id);
  const HWND list1 = window->control(kList1Id);
  const Text start_drive = TextOf(drive1);
  const std::vector<Text> start_lines = ListLines(list1);
  const auto t = ::SendMessageW(drive1, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(L"t:"));
  ASSERT_NE(t, CB_ERR);
  ::SendMessageW(drive1, CB_SETCURSEL, static_cast<WPARAM>(t), 0);
  Command(kDrive1Id, CBN_SELCHANGE);
  ASSERT_EQ(window->form().Dir1Path(), u"T:\\");
  ASSERT_EQ(ListLines(list1).size(), 1u);
  const Text t_drive = TextOf(drive1);

  const std::wstring there = ToWide(drive_folder->substr(0, drive_folder->size() - 1));
  const std::wstring gone = there + L"-gone";
  ASSERT_TRUE(::MoveFileW(there.c_str(), gone.c_str()));
  const ScopeExit back([&] { ::MoveFileW(gone.c_str(), there.c_str()); });
  EXPECT_TRUE(PressF5());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, kDriveRemoved + (u"\r\n" + t_drive));
  EXPECT_EQ(window->form().Dir1Path(), folder.path());
  EXPECT_EQ(TextOf(drive1), start_drive);
  EXPECT_EQ(ListLines(list1), start_lines);
  EXPECT_TRUE(PressF5());
  EXPECT_EQ(messages.size(), 1u);
}

// The width of `line` in the font of `list`.
int WidthOf(HWND list, const Text& line) {
  const HDC dc = ::GetDC(list);
  const HGDIOBJ before =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, ToWide(line).c_str(), static_cast<int>(line.size()), &size);
  ::SelectObject(dc, before);
  ::ReleaseDC(list, dc);
  return static_cast<int>(size.cx);
}

// The width of the widest line of `list`, each measured.
int WidestLine(HWND list) {
  int widest = 0;
  for (const Text& line : ListLines(list)) widest = std::max(widest, WidthOf(list, line));
  return widest;
}

// Every line can be scrolled to its end, in the font of the window's dpi.
TEST_F(Win32Window, ScrollsAsFarAsTheWidestLine) {
  const HWND list1 = window->control(kList1Id);
  // The widest line is not the longest: a name of full-width characters is
  // wider than one of more, narrow ones.
  const Text narrow = folder.AddFile(Text(30, u'i') + u".txt");
  const Text wide = folder.AddFile(Text(20, u'\u65E5') + u".txt");
  window->form().Reload();
  const std::vector<Text> lines = ListLines(list1);
  ASSERT_EQ(lines.size(), 5u);
  const auto longest = std::max_element(
      lines.begin(), lines.end(), [](const Text& a, const Text& b) { return a.size() < b.size(); });
  ASSERT_TRUE(longest->starts_with(u"iii"));
  ASSERT_GT(WidestLine(list1), WidthOf(list1, *longest));
  EXPECT_GE(::SendMessageW(list1, LB_GETHORIZONTALEXTENT, 0, 0), WidestLine(list1));

  ASSERT_TRUE(::DeleteFileW(ToWide(narrow).c_str()));
  ASSERT_TRUE(::DeleteFileW(ToWide(wide).c_str()));
  folder.AddFile(u"Project Alpha - Quarterly Financial Report - Draft 3.xlsx");
  window->form().Reload();
  ASSERT_EQ(ListLines(list1).size(), 4u);
  RECT client{};
  ::GetClientRect(list1, &client);
  const int widest = WidestLine(list1);
  const auto extent = static_cast<int>(::SendMessageW(list1, LB_GETHORIZONTALEXTENT, 0, 0));
  EXPECT_GT(widest, client.right);
  EXPECT_GE(extent, widest);
  EXPECT_LE(extent, widest + 12);

  // At 1.5 times the dpi, with a font to match.
  const RECT suggested{0, 0, 800, 600};
  ::SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  const int wider = WidestLine(list1);
  EXPECT_GT(wider, widest * 5 / 4);
  EXPECT_GE(::SendMessageW(list1, LB_GETHORIZONTALEXTENT, 0, 0), wider);
  EXPECT_LE(::SendMessageW(list1, LB_GETHORIZONTALEXTENT, 0, 0), wider + 18);
}

bool SidewaysScrollBarShows(HWND list) {
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  return ::GetScrollBarInfo(list, OBJID_HSCROLL, &bar) &&
         (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0;
}

// A folder whose lines all fit, or with none, shows no scroll bar that the
// folder before it needed, even scrolled to its end.
TEST_F(Win32Window, AFolderWithNarrowLinesOrNoneDropsTheSidewaysScrollBar) {
  const HWND list1 = window->control(kList1Id);
  folder.AddFile(Text(120, u'w') + u".txt");
  folder.AddFolder(u"Empty");
  window->form().Reload();
  ASSERT_TRUE(SidewaysScrollBarShows(list1));
  ::SendMessageW(list1, WM_HSCROLL, SB_RIGHT, 0);
  window->form().SetDir1Path(folder.slashed() + u"Empty");
  ASSERT_TRUE(ListLines(list1).empty());
  EXPECT_FALSE(SidewaysScrollBarShows(list1));
  window->form().SetDir1Path(folder.path());
  ASSERT_TRUE(SidewaysScrollBarShows(list1));
  window->form().SetDir1Path(folder.slashed() + u"Sub Folder");
  ASSERT_EQ(ListLines(list1).size(), 1u);
  EXPECT_FALSE(SidewaysScrollBarShows(list1));
}

// A WM_DROPFILES as the shell sends it: the paths in UTF-16, one after the
// other, each ending in a NUL, and a NUL after the last. The window frees it.
void DropOn(HWND window, const std::vector<Text>& paths) {
  std::size_t units = 1;
  for (const Text& path : paths) units += path.size() + 1;
  const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(drop + 1);
  for (const Text& path : paths) {
    text = std::copy(path.begin(), path.end(), text);
    *text++ = L'\0';
  }
  ::GlobalUnlock(memory);
  ::SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST_F(Win32Window, ADroppedFileShowsItsFolderWithItsLineChosen) {
  DropOn(window->handle(),
         {folder.slashed() + u"Sub Folder\\inside.txt", folder.slashed() + u"README.TXT"});
  EXPECT_EQ(window->form().Dir1Path(), folder.slashed() + u"Sub Folder");
  const HWND list1 = window->control(kList1Id);
  ASSERT_EQ(ListLines(list1).size(), 1u);
  EXPECT_EQ(::SendMessageW(list1, LB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(messages.empty());

  // A path longer than MAX_PATH comes whole into the message that it names
  // nothing.
  const Text missing = folder.slashed() + Text(300, u'x');
  DropOn(window->handle(), {missing});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(missing), Text::npos);
  EXPECT_EQ(window->form().Dir1Path(), folder.slashed() + u"Sub Folder");
}

// The text that a tooltip shows now.
Text TipText(HWND tip, HWND window, HWND control) {
  std::wstring text(1024, L'\0');
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text.data();
  ::SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
  return FromWide(text.c_str());
}

// The mouse resting on line `line` of `list`, at `across` of its width.
void RestOn(HWND list, int line, double across = 0.25) {
  RECT place{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&place));
  const LPARAM at =
      MAKELPARAM(static_cast<int>(place.right * across), (place.top + place.bottom) / 2);
  ::SendMessageW(list, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(list, WM_MOUSEHOVER, 0, at);
}

// The lines of `text`, which a tooltip shows one under the other.
std::vector<Text> LinesOf(const Text& text) {
  std::vector<Text> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == Text::npos) return lines;
    start = end + 2;
  }
}

Text Joined(const std::vector<Text>& lines) {
  Text all;
  for (const Text& line : lines) all += line;
  return all;
}

TEST_F(Win32Window, ToolTipsShowTheWholeLineAndWhereItsShortNameComesFrom) {
  const HWND list1 = window->control(kList1Id);
  const HWND tip = window->list1_tip();
  const std::vector<Text> lines = ListLines(list1);
  ASSERT_EQ(lines.size(), 3u);
  const auto rest_on = [&](int line) { RestOn(list1, line); };
  EXPECT_FALSE(::IsWindowVisible(tip));
  rest_on(0);  // Long File Name.txt, a name Wine gives a short name
  EXPECT_TRUE(::IsWindowVisible(tip));
  EXPECT_EQ(TipText(tip, window->handle(), list1), lines[0] + u"\r\n" + kOriginDisk);
  rest_on(1);  // README.TXT
  EXPECT_EQ(TipText(tip, window->handle(), list1), lines[1] + u"\r\n" + kOriginValidName);
  ::SendMessageW(list1, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(tip));
  // Below the last line there is none.
  RECT client{};
  ::GetClientRect(list1, &client);
  ::SendMessageW(list1, WM_MOUSEHOVER, 0, MAKELPARAM(4, client.bottom - 2));
  EXPECT_FALSE(::IsWindowVisible(tip));

  // The label's tooltip is its whole text, where the label cuts it off.
  const HWND label1 = window->control(kLabel1Id);
  const auto label_tip = [&] {
    NMTTDISPINFOW asked{};
    asked.hdr = {window->label1_tip(), reinterpret_cast<UINT_PTR>(label1), TTN_GETDISPINFOW};
    ::SendMessageW(window->handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&asked));
    return asked.lpszText != nullptr ? FromWide(asked.lpszText) : Text(u"(none)");
  };
  EXPECT_EQ(label_tip(), u"");
  const Text long_caption = kPrefix + u"C:\\" + Text(200, u'x');
  window->SetLabel1Caption(long_caption);
  EXPECT_EQ(Joined(LinesOf(label_tip())), long_caption);
  // Deeper than the screen is wide: at each separator, where it must break.
  Text deep = kPrefix + u"C:\\";
  for (int level = 0; level < 60; ++level)
    deep += u"FOLDER" + FromWide(std::to_wstring(level)) + u"\\";
  window->SetLabel1Caption(deep);
  const std::vector<Text> deep_lines = LinesOf(label_tip());
  EXPECT_EQ(Joined(deep_lines), deep);
  ASSERT_GT(deep_lines.size(), 1u);
  const RECT work = WorkAreaOf(window->handle());
  for (const Text& line : deep_lines) {
    EXPECT_EQ(line.back(), u'\\') << ToUtf8(line);
    EXPECT_LE(WidthOf(label1, line), work.right - work.left);
  }
}

// A name of 254 characters: on lines that fit the work area, every
// character, the short name too; the tooltip on the screen however far right
// the mouse is.
TEST_F(Win32Window, ALongNamesToolTipFitsTheScreen) {
  Text name;
  while (name.size() < 250) name += u"Annual report of the board ";
  name = name.substr(0, 250) + u".txt";
  folder.AddFolder(u"long");
  folder.AddFile(u"long\\" + name);
  window->form().SetDir1Path(folder.slashed() + u"long");
  const HWND list1 = window->control(kList1Id);
  const HWND tip = window->list1_tip();
  const Text line = ListLines(list1).at(0);
  const RECT work = WorkAreaOf(window->handle());
  ASSERT_GT(WidthOf(list1, line), work.right - work.left);
  for (const double across : {0.1, 0.9}) {
    RestOn(list1, 0, across);
    ASSERT_TRUE(::IsWindowVisible(tip));
    const std::vector<Text> lines = LinesOf(TipText(tip, window->handle(), list1));
    EXPECT_EQ(Joined(lines), line + kOriginDisk);
    EXPECT_GE(lines.size(), 3u);
    RECT shown{};
    ::GetWindowRect(tip, &shown);
    EXPECT_GE(shown.left, work.left);
    EXPECT_LE(shown.right, work.right);
    ::SendMessageW(list1, WM_MOUSELEAVE, 0, 0);
  }
}

// A tooltip tried from inside the menu loop, as the mouse resting there
// would: whether it showed.
MainWindow* window_in_menu = nullptr;
bool tip_shown_in_menu = false;
void CALLBACK RestInMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  RestOn(window_in_menu->control(kList1Id), 0);
  tip_shown_in_menu = ::IsWindowVisible(window_in_menu->list1_tip()) != FALSE;
  ::EndMenu();
}

// No tooltip shows over an open menu or message box; a key pressed anywhere
// hides the one that shows.
TEST_F(Win32Window, NoToolTipOverAMenuOrAMessageAndAKeyHidesIt) {
  const HWND list1 = window->control(kList1Id);
  const HWND tip = window->list1_tip();
  window_in_menu = window.get();
  tip_shown_in_menu = true;
  ::SetTimer(nullptr, 0, 10, RestInMenu);
  RECT line{};
  ::SendMessageW(list1, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  POINT at{line.left + 10, (line.top + line.bottom) / 2};
  ::ClientToScreen(list1, &at);
  ::SendMessageW(window->handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list1),
                 MAKELPARAM(at.x, at.y));
  EXPECT_FALSE(tip_shown_in_menu);
  RestOn(list1, 1);
  EXPECT_TRUE(::IsWindowVisible(tip));

  bool shown_in_box = true;
  window->SetMessageShower([&](HWND, const Text&, std::int32_t, const Text&) {
    shown_in_box = ::IsWindowVisible(tip) != FALSE;
    RestOn(list1, 0);
    shown_in_box = shown_in_box || ::IsWindowVisible(tip);
  });
  window->form().Command1_Click();
  EXPECT_FALSE(shown_in_box);
  RestOn(list1, 0);
  EXPECT_TRUE(::IsWindowVisible(tip));

  MSG key{window->control(kDir1Id), WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
  window->TranslateKeys(key);
  EXPECT_FALSE(::IsWindowVisible(tip));
}

// Closes the menu that is open, from its own loop.
int menus_closed = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  ::EndMenu();
  ++menus_closed;
}

// Opens the list's menu as WM_CONTEXTMENU does at `at` on the screen, and
// closes it once it is open.
void OpenList1Menu(MainWindow& window, POINT at) {
  const int closed = menus_closed;
  ::SetTimer(nullptr, 0, 10, CloseMenu);
  ::SendMessageW(window.handle(), WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(window.control(kList1Id)), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(menus_closed, closed + 1) << "the menu did not open";
}

// As Explorer does: a right-click on a line chooses it before its menu
// opens; below the last line, and from the keyboard, the choice stays.
TEST_F(Win32Window, ARightClickChoosesTheLineUnderTheMouse) {
  const HWND list1 = window->control(kList1Id);
  ::SendMessageW(list1, LB_SETCURSEL, 0, 0);
  RECT line{};
  ::SendMessageW(list1, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&line));
  POINT at{line.left + 10, (line.top + line.bottom) / 2};
  ::ClientToScreen(list1, &at);
  OpenList1Menu(*window, at);
  EXPECT_EQ(::SendMessageW(list1, LB_GETCURSEL, 0, 0), 2);

  RECT client{};
  ::GetClientRect(list1, &client);
  POINT below{client.left + 10, client.bottom - 2};
  ::ClientToScreen(list1, &below);
  OpenList1Menu(*window, below);
  EXPECT_EQ(::SendMessageW(list1, LB_GETCURSEL, 0, 0), 2);
  OpenList1Menu(*window, {-1, -1});
  EXPECT_EQ(::SendMessageW(list1, LB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(messages.empty());
}

// What the window asks screen readers to say of its controls, as recorded in
// place of the system's dynamic annotation, which Wine does not take.
struct Said {
  std::map<HWND, std::wstring> names;
  std::map<HWND, std::wstring> descriptions;
  std::vector<HWND> forgotten;
};

class RecordedNames final : public AccessibleNames {
 public:
  explicit RecordedNames(Said& said) : said_(said) {}
  void SetName(HWND control, const std::wstring& name) override { said_.names[control] = name; }
  void SetDescription(HWND control, const std::wstring& description) override {
    said_.descriptions[control] = description;
  }
  void Forget(HWND control) override { said_.forgotten.push_back(control); }

 private:
  Said& said_;
};

// Every control has a name: the lists and the label are named, and the
// buttons go by their captions. Each list has a static text of its name just
// before it in the window's order, which shows nothing and takes no part in
// Tab (the layout and the tab order are checked above, with these texts in
// the window).
TEST_F(Win32Window, NamesEveryControlForScreenReaders) {
  Said said;
  {
    MainWindow named(system, ::GetModuleHandleW(nullptr));
    named.SetAccessibleNames(std::make_unique<RecordedNames>(said));
    named.Create(folder.path());
    named.Load();
    const struct {
      int id;
      const wchar_t* name;  // nullptr for a control with a caption
    } controls[] = {{kDrive1Id, L"ドライブ"},   {kDir1Id, L"フォルダー"},
                    {kList1Id, L"ファイル"},    {kOption1Item0Id, nullptr},
                    {kOption1Item1Id, nullptr}, {kLabel1Id, L"フォルダーの短いパス"},
                    {kCommand1Id, nullptr}};
    for (const auto& control : controls) {
      const HWND handle = named.control(control.id);
      if (control.name == nullptr) {
        EXPECT_FALSE(said.names.contains(handle)) << control.id;
        EXPECT_FALSE(TextOf(handle).empty()) << control.id;
        continue;
      }
      EXPECT_EQ(said.names[handle], control.name) << control.id;
      if (control.id == kLabel1Id) continue;
      const HWND before = ::GetWindow(handle, GW_HWNDPREV);
      ASSERT_NE(before, nullptr) << control.id;
      EXPECT_EQ(ClassOf(before), u"Static") << control.id;
      EXPECT_EQ(TextOf(before), FromWide(control.name)) << control.id;
      EXPECT_TRUE(::GetWindowLongW(before, GWL_STYLE) & WS_VISIBLE) << control.id;
      RECT place{};
      ::GetWindowRect(before, &place);
      EXPECT_TRUE(::IsRectEmpty(&place)) << control.id;
      EXPECT_FALSE(::GetWindowLongW(before, GWL_STYLE) & WS_TABSTOP) << control.id;
    }
    // The label says what it shows after its name, and follows it.
    const HWND label1 = named.control(kLabel1Id);
    const std::wstring first = said.descriptions[label1];
    EXPECT_EQ(first, ToWide(TextOf(label1)));
    named.form().SetDir1Path(folder.slashed() + u"Sub Folder");
    EXPECT_NE(said.descriptions[label1], first);
    EXPECT_EQ(said.descriptions[label1], ToWide(TextOf(label1)));
    EXPECT_TRUE(said.forgotten.empty());
    // Closed, as the user closes it; the end of the program it asks for is
    // not this test's.
    ::SendMessageW(named.handle(), WM_CLOSE, 0, 0);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
  // What was said goes with the window.
  EXPECT_EQ(said.forgotten.size(), 4u);
}

// The window itself takes no keys: at first the focus goes to the first
// control, and when the window is active again, to the control that had it.
TEST_F(Win32Window, TheFocusComesBackToTheControlThatHadIt) {
  ::SetFocus(window->handle());
  EXPECT_EQ(::GetFocus(), window->control(kDrive1Id));
  ::SetFocus(window->control(kList1Id));
  ::SendMessageW(window->handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  ::SetFocus(window->handle());
  EXPECT_EQ(::GetFocus(), window->control(kList1Id));
}

// A picture of what a control draws, 32 bits a pixel.
class Picture {
 public:
  Picture(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_.reset(::CreateCompatibleDC(nullptr));
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    selected_ = Select(dc_.get(), bitmap_.get());
  }
  HDC dc() const { return dc_.get(); }
  // How many pixels of the right edge of `item`, which no text of a line
  // reaches, are not `background`.
  int MarksOnTheRightEdge(const RECT& item, COLORREF background) const {
    ::GdiFlush();
    int marks = 0;
    for (LONG y = item.top; y < item.bottom; ++y) {
      const std::uint32_t pixel =
          static_cast<const std::uint32_t*>(bits_)[y * width_ + item.right - 1];
      marks += RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF) != background;
    }
    return marks;
  }

 private:
  int width_;
  void* bits_ = nullptr;
  MemoryDcHandle dc_;
  BitmapHandle bitmap_;
  SelectedObject selected_;
};

// The same of line `line` of `list`, as the list draws itself.
int MarksOnTheRightEdge(HWND list, int line, COLORREF background) {
  RECT client{};
  ::GetClientRect(list, &client);
  const Picture picture(client.right, client.bottom);
  ::SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  RECT item{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
  return picture.MarksOnTheRightEdge(item, background);
}

// Both lists show where the focus is: the folder list, which the window
// draws, with the system's focus mark, unless the window's keyboard cues hide
// it (as they do until a key is used in a window opened by the mouse); the
// file list by its control.
TEST_F(Win32Window, BothListsShowTheFocus) {
  const HWND dir1 = window->control(kDir1Id);
  const HWND list1 = window->control(kList1Id);
  const int shown = static_cast<int>(::SendMessageW(dir1, LB_GETCURSEL, 0, 0));
  const COLORREF chosen = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF line = ::GetSysColor(COLOR_WINDOW);
  ::SetFocus(dir1);
  EXPECT_GT(MarksOnTheRightEdge(dir1, shown, chosen), 0);
  EXPECT_EQ(MarksOnTheRightEdge(list1, 0, line), 0);
  ::SetFocus(list1);
  EXPECT_EQ(MarksOnTheRightEdge(dir1, shown, chosen), 0);
  EXPECT_GT(MarksOnTheRightEdge(list1, 0, line), 0);

  // Wine keeps its keyboard cues shown: the folder list's line is drawn as
  // the list asks when they are hidden.
  RECT item{};
  ::SendMessageW(dir1, LB_GETITEMRECT, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&item));
  const Picture picture(item.right, item.bottom);
  DRAWITEMSTRUCT draw{ODT_LISTBOX,
                      kDir1Id,
                      static_cast<UINT>(shown),
                      ODA_DRAWENTIRE,
                      ODS_SELECTED | ODS_FOCUS | ODS_NOFOCUSRECT,
                      dir1,
                      picture.dc(),
                      item,
                      0};
  ::SendMessageW(window->handle(), WM_DRAWITEM, kDir1Id, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(picture.MarksOnTheRightEdge(item, chosen), 0);
  // When they come or go, the folder list is drawn again.
  ::ShowWindow(window->handle(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(dir1);
  ::SendMessageW(window->handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  EXPECT_TRUE(::GetUpdateRect(dir1, nullptr, FALSE));
}

std::vector<HWND> told_of_colours;
LRESULT CALLBACK RecordColourChange(int code, WPARAM w, LPARAM l) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(l);
  if (code == HC_ACTION && message->message == WM_SYSCOLORCHANGE) {
    told_of_colours.push_back(message->hwnd);
  }
  return ::CallNextHookEx(nullptr, code, w, l);
}

// New system colours, high contrast turned on or off, a new theme: every
// control is drawn again, the controls told of the colours, and the folder
// list, which the window draws, takes them.
TEST_F(Win32Window, RedrawsInTheSystemsNewColours) {
  const HWND dir1 = window->control(kDir1Id);
  const int shown = static_cast<int>(::SendMessageW(dir1, LB_GETCURSEL, 0, 0));
  ASSERT_GT(shown, 0);
  const int kinds[] = {COLOR_WINDOW, COLOR_HIGHLIGHT};
  const COLORREF before[] = {::GetSysColor(kinds[0]), ::GetSysColor(kinds[1])};
  const COLORREF after[] = {RGB(0x20, 0x40, 0x60), RGB(0xC0, 0x30, 0x10)};
  ASSERT_TRUE(::SetSysColors(2, kinds, after));
  const ScopeExit colours_back([&] { ::SetSysColors(2, kinds, before); });
  const HHOOK hook =
      ::SetWindowsHookExW(WH_CALLWNDPROC, RecordColourChange, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const ScopeExit unhook([hook] { ::UnhookWindowsHookEx(hook); });

  ::ShowWindow(window->handle(), SW_SHOWNOACTIVATE);
  const struct {
    UINT message;
    WPARAM w;
  } changes[] = {
      {WM_SYSCOLORCHANGE, 0}, {WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST}, {WM_THEMECHANGED, 0}};
  for (const auto& change : changes) {
    ::RedrawWindow(window->handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    told_of_colours.clear();
    ::SendMessageW(window->handle(), change.message, change.w, 0);
    for (int id = kDrive1Id; id <= kCommand1Id; ++id) {
      const HWND control = window->control(id);
      EXPECT_TRUE(::GetUpdateRect(control, nullptr, FALSE)) << change.message << " " << id;
      if (change.message == WM_SYSCOLORCHANGE) {
        EXPECT_NE(std::find(told_of_colours.begin(), told_of_colours.end(), control),
                  told_of_colours.end())
            << id;
      }
    }
  }
  EXPECT_EQ(MarksOnTheRightEdge(dir1, 0, after[0]), 0);
  EXPECT_EQ(MarksOnTheRightEdge(dir1, shown, after[1]), 0);
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  return font;
}

// A new message font or text size, and a new theme, are measured and placed
// as a new dpi is: every control and tooltip takes the font, the lines are
// as high as it needs, and the window keeps the table's size.
TEST_F(Win32Window, TakesANewMessageFontOrTheme) {
  NONCLIENTMETRICSW before{};
  before.cbSize = sizeof before;
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof before, &before, 0));
  const ScopeExit font_back(
      [&] { ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof before, &before, 0); });
  const struct {
    UINT message;
    WPARAM w;
    LONG pixels;
  } changes[] = {{WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 24}, {WM_THEMECHANGED, 0, 30}};
  for (const auto& change : changes) {
    NONCLIENTMETRICSW metrics = before;
    metrics.lfMessageFont.lfHeight = -change.pixels;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    ::SendMessageW(window->handle(), change.message, change.w, 0);
    for (int id = kDrive1Id; id <= kCommand1Id; ++id) {
      const LONG height = -FontOf(window->control(id)).lfHeight;
      // A pixel or three more where the font would leave out "_".
      EXPECT_GE(height, change.pixels) << id;
      EXPECT_LE(height, change.pixels + 3) << id;
    }
    EXPECT_EQ(FontOf(window->list1_tip()).lfHeight, FontOf(window->control(kList1Id)).lfHeight);
    EXPECT_GE(::SendMessageW(window->control(kDir1Id), LB_GETITEMHEIGHT, 0, 0), change.pixels);
    EXPECT_GE(::SendMessageW(window->control(kList1Id), LB_GETITEMHEIGHT, 0, 0), change.pixels);
    RECT client{};
    ::GetClientRect(window->handle(), &client);
    EXPECT_EQ(client.right, 491);
    EXPECT_EQ(client.bottom, 260);
  }
}

}  // namespace
}  // namespace tarnwick::win32
