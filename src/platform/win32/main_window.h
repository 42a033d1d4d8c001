// Tarnwick's window with native Win32 controls: the controls of the layout
// table, made here and scaled to the window's dpi, their notifications
// forwarded to Form1, which decides everything through WindowControls. The
// object lives behind the window handle: the window procedure finds it
// through GWLP_USERDATA.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_services.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/handles.h"
#include "window/main_window.h"
#include "window/window_controls.h"

namespace tarnwick::win32 {

// The controls' identifiers, in the table's order.
enum ControlId : int {
  kDrive1Id = 100,
  kDir1Id,
  kList1Id,
  kOption1Item0Id,
  kOption1Item1Id,
  kLabel1Id,
  kCommand1Id,
  // The list's menu, and F5.
  kCopyLineId = 200,
  kCopyAllLinesId,
  kCopyShortNameId,
  kCopyShortPathId,
  kReloadId,
  // The label's menu, and the list's too.
  kCopyFolderPathId,
};

class MainWindow final : public WindowControls {
 public:
  // Shows a message box; the window's own one is MessageBoxW, tests put theirs.
  using MessageShower =
      std::function<void(HWND owner, const Text& text, std::int32_t style, const Text& title)>;

  MainWindow(SystemServices& system, HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window (not yet shown) and its controls, with the folder
  // list on `start_folder` and the drive list on its drive. Throws
  // PlatformError when that folder cannot be read.
  void Create(const Text& start_folder);

  // Runs Form_Load: the first refresh, before the window is shown.
  void Load();

  // Runs the message loop until the window is closed.
  int Run();

  // What the message loop does with a message before it is dispatched: F5
  // anywhere in the window reloads, Tab moves through the controls. True
  // when the message was taken here.
  bool TranslateKeys(MSG& message);

  Form1& form() { return form_; }

  // The list's and the label's menus as they stand now, entries greyed out
  // where Form1 says they cannot be done.
  MenuHandle MakeList1Menu() const;
  MenuHandle MakeLabel1Menu() const;
  HWND handle() const { return window_; }
  HWND control(int id) const { return ::GetDlgItem(window_, id); }
  // The tooltips: the list's, shown while the mouse rests on a line, and the
  // label's, for a path that the label cuts off.
  HWND list1_tip() const { return list1_tip_; }
  HWND label1_tip() const { return label1_tip_; }
  void SetMessageShower(MessageShower message_box) { message_box_ = std::move(message_box); }
  // Where the controls' accessible names go, before Create; the system's
  // dynamic annotation unless a test puts its own.
  void SetAccessibleNames(std::unique_ptr<AccessibleNames> names) { names_ = std::move(names); }

  // WindowControls
  bool Option1Item0Value() const override;
  void SetLabel1Caption(const Text& caption) override;
  void List1Clear() override;
  void List1AddItem(const Text& line) override;
  void SetList1Redraw(bool redraw) override;
  void ShowDir1Entries(const std::vector<FolderListEntry>& entries, std::size_t current) override;
  void SetDrive1Lines(const std::vector<Text>& lines) override;
  void SetDrive1Index(int index) override;
  void SetList1ListIndex(int index) override;
  int List1ListIndex() const override;
  int List1ListCount() const override;
  Text List1Line(int index) const override;
  void SetClipboardText(const Text& text) override;
  void ShowMessage(const Text& text, std::int32_t style, const Text& title) override;
  void SetBusyCursor(bool busy) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l);
  void OnCommand(int id, int code);
  void CreateControls();
  // A static text of `name` just before the control made next, for screen
  // readers that name a control by the text before it.
  void CreateNameBefore(const char16_t* name);
  void ForgetAccessibleNames();
  void PlaceControls();
  // The system's colours, high contrast or theme changed: everything is
  // drawn again.
  void RedrawAll();
  void CreateToolTips();
  void OpenSelectedFolderEntry();
  // The list's menu at `at` on the screen, its line chosen first; for the
  // keyboard's menu key, under the chosen line.
  void ShowList1Menu(POINT at, bool from_keyboard);
  void ShowLabel1Menu(POINT at);
  // The list's scroll range is as wide as its widest line. Each line is
  // measured as it comes, but only when it might be wider than the widest so
  // far: no line is wider than its code units times the font's widest
  // character, so of 100,000 lines most need no measuring. The range is set
  // when the refresh is done, and measured again for a new font.
  void MeasureIn(HFONT font);
  void TakeList1Line(std::wstring_view line);
  void MeasureList1Again();
  void FitList1Width();
  // The list's subclass: where the mouse rests, the tooltip of that line.
  static LRESULT CALLBACK List1Procedure(HWND list, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                         DWORD_PTR self);
  void ShowList1Tip(int line, POINT at);
  void HideList1Tip();
  // Both tooltips go; while held (by a menu or a message box), neither shows.
  void HideToolTips();
  void HoldToolTips(bool hold);
  // The text of tooltip `tip` for `first` and then `more`, its lines
  // wrapped to fit the work area of the screen the window is on; the tooltip
  // is made as wide as its widest line.
  std::wstring ToolTipText(HWND tip, TextView first, TextView more) const;
  // The label's whole text where it is cut off, else nothing.
  void FillLabel1Tip(NMTTDISPINFOW& tip);
  void Drop(HDROP drop);
  void DrawFolderEntry(const DRAWITEMSTRUCT& item);
  int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }

  HINSTANCE instance_;
  SystemServices& system_;  // for a dropped path in the system's code page
  Form1 form_;
  MessageShower message_box_;
  std::unique_ptr<AccessibleNames> names_;
  HWND window_ = nullptr;
  HWND list1_ = nullptr;  // the list box, which every line is added to
  UINT dpi_ = 96;
  HWND focus_ = nullptr;  // the control that had the focus when the window lost it
  FontHandle font_;
  MemoryDcHandle measure_dc_;  // with the list's font in it
  int widest_character_ = 0;   // of that font
  int list1_widest_ = 0;       // the widest line of the list, in pixels
  AcceleratorHandle accelerators_;
  HWND list1_tip_ = nullptr;  // owned by the window
  HWND label1_tip_ = nullptr;
  int list1_tip_line_ = -1;       // the line whose tooltip shows, or -1
  int tips_held_ = 0;             // menus and message boxes open
  std::wstring label1_tip_text_;  // what the label's tooltip shows, held for it
  IconHandle open_folder_;
  IconHandle closed_folder_;

  std::vector<FolderListEntry> dir1_entries_;  // as drawn
  HCURSOR cursor_before_busy_ = nullptr;       // put back when a refresh ends
};

}  // namespace tarnwick::win32
