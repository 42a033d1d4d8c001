// Tarnwick's window with native Win32 controls: the controls of the layout
// table, scaled to the window's dpi, wired to Form1's handlers and offered to
// them as WindowControls. The object lives behind the window handle: the
// window procedure finds it through GWLP_USERDATA.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/system_services.h"
#include "window/main_window.h"

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

  HWND handle() const { return window_; }
  HWND control(int id) const { return ::GetDlgItem(window_, id); }
  void SetMessageBox(MessageBox message_box) { message_box_ = std::move(message_box); }

  // WindowControls
  Text Dir1Path() const override { return dir1_path_; }
  bool Option1Item0Value() const override;
  void SetLabel1Caption(const Text& caption) override;
  void List1Clear() override;
  void List1AddItem(const Text& line) override;
  void SetList1Redraw(bool redraw) override;
  void SetDir1Path(const Text& path) override;
  Text Drive1Drive() const override;
  void SelectDrive1For(const Text& path) override;
  void ShowMessage(const Text& text, std::int32_t style, const Text& title) override;
  void SetBusyCursor(bool busy) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l);
  void OnCommand(int id, int code);
  void CreateControls();
  void PlaceControls();
  void FillDriveList();
  // Draws the folder list for `path`; throws PlatformError, changing
  // nothing, when it cannot be read.
  void ShowFolder(const Text& path);
  void OpenFolderEntry(int index);
  void DrawFolderEntry(const DRAWITEMSTRUCT& item);
  int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }

  SystemServices& system_;
  HINSTANCE instance_;
  Form1 form_;
  MessageBox message_box_;
  HWND window_ = nullptr;
  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  HICON open_folder_ = nullptr;
  HICON closed_folder_ = nullptr;

  struct FolderLine {
    Text path;
    int depth;
    bool open;
  };
  std::vector<FolderLine> folder_lines_;
  Text dir1_path_;
  std::vector<Drive> drives_;
  int shown_drive_ = -1;  // the drive of the folder shown
  HCURSOR cursor_before_busy_ = nullptr;  // put back when a refresh ends
};

}  // namespace tarnwick::win32
