// Tarnwick's window with native Win32 controls: the controls of the layout
// table, made here and scaled to the window's dpi, their notifications
// forwarded to Form1, which decides everything through WindowControls. The object lives behind the
// window handle: the window procedure finds it through GWLP_USERDATA.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/system_services.h"
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
  // The list's menu.
  kCopyLineId = 200,
  kCopyAllLinesId,
};

class MainWindow final : public WindowControls {
 public:
  // Shows a message box; the window's own one is MessageBoxW, tests put theirs.
  using MessageBox =
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

  // Runs the message loop until the window is closed; Tab moves through the
  // controls.
  int Run();

  Form1& form() { return form_; }

  // The list's menu as it stands now: "コピー" and "すべての行をコピー".
  MenuHandle MakeList1Menu() const;
  HWND handle() const { return window_; }
  HWND control(int id) const { return ::GetDlgItem(window_, id); }
  void SetMessageBox(MessageBox message_box) { message_box_ = std::move(message_box); }

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
  void PlaceControls();
  void OpenSelectedFolderEntry();
  void ShowList1Menu(int x, int y);
  void DrawFolderEntry(const DRAWITEMSTRUCT& item);
  int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }

  HINSTANCE instance_;
  Form1 form_;
  MessageBox message_box_;
  HWND window_ = nullptr;
  UINT dpi_ = 96;
  FontHandle font_;
  IconHandle open_folder_;
  IconHandle closed_folder_;

  std::vector<FolderListEntry> dir1_entries_;  // as drawn
  HCURSOR cursor_before_busy_ = nullptr;       // put back when a refresh ends
};

}  // namespace tarnwick::win32
