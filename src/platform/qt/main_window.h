// Tarnwick's window in Qt Widgets: the controls of the layout table, made
// and drawn here, their notifications forwarded to Form1, which decides
// everything through WindowControls.
#pragma once

#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/qt/qt_text.h"
#include "platform/system_services.h"
#include "window/main_window.h"
#include "window/window_controls.h"

class QButtonGroup;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace tarnwick::qt {

class LineListModel;

// The drive list. The list that opens keeps the drive shown chosen, closed
// too, where a screen reader looks for the drive list's value.
class DriveList final : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent);
};

// The folder list: a line for each folder, indented by its depth, as the
// Windows window draws it (a list, not a tree: a tree would show screen
// readers a column header that is never seen). A double-click or Enter on a
// line opens it, whatever the desktop's setting for activating items; a
// single click only selects.
class FolderList final : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent);
  // Shows `entries`, line `current` chosen.
  void ShowEntries(const std::vector<FolderListEntry>& entries, std::size_t current);

 signals:
  // The entry of line `index` was opened.
  void opened(std::size_t index);

 protected:
  // Another style draws other folders.
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Open(const QListWidgetItem* line);
  // Each line's folder icon, open or closed, from the style.
  void TakeIcons();
};

// The file list: every line as wide as the widest one, so that a long line
// scrolls instead of being cut off; a right-click chooses the line under the
// mouse before the menu opens. The menu key and Shift+F10 open the menu
// under the chosen line, or at the list's top left when none is chosen.
class LineList final : public QListView {
  Q_OBJECT

 public:
  explicit LineList(QWidget* parent);
  LineListModel* lines() const { return lines_; }
  // Sizes every line as the widest, after the lines or the font changed.
  void FitWidestLine();

 signals:
  // The list's menu is asked for, at a place on the screen.
  void menuRequested(const QPoint& at);

 protected:
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Where the keyboard opens the menu, on the screen.
  QPoint KeyboardMenuPlace() const;

  LineListModel* lines_;
};

class MainWindow final : public QWidget, public WindowControls {
 public:
  // Shows a message box; the window's own one is modal, tests put theirs.
  using MessageShower =
      std::function<void(QWidget* parent, const Text& text, std::int32_t style, const Text& title)>;

  // Creates the window and its controls, with the folder list on
  // `start_folder` (the process's current folder) and the drive list on its
  // drive. Throws PlatformError when that folder cannot be read.
  MainWindow(SystemServices& system, const Text& start_folder);
  ~MainWindow() override;

  // Runs Form_Load: the first refresh, before the window is shown.
  void Load();

  Form1& form() { return form_; }

  // The menus as they stand now: the list's (the copies and the reload),
  // and the label's (its path's copy).
  std::unique_ptr<QMenu> MakeList1Menu();
  std::unique_ptr<QMenu> MakeLabel1Menu();

  void SetMessageShower(MessageShower message_box) { message_box_ = std::move(message_box); }

  // The controls, by name, for tests and for the screenshot.
  DriveList* drive1() const { return drive1_; }
  FolderList* dir1() const { return dir1_; }
  LineList* list1() const { return list1_; }
  QRadioButton* option1(int index) const { return option1_[index]; }
  QLabel* label1() const { return label1_; }
  QPushButton* command1() const { return command1_; }

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

 protected:
  // Follows the desktop's fonts while the window is open.
  bool event(QEvent* event) override;
  // Hides a tooltip when a key is pressed; shows the list's and the label's.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Local files and folders dropped on the window go to Form1.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  // The list, the label and the tooltips take the desktop's fonts, after the
  // Japanese ones whose "~" is a tilde.
  void TakeFonts();
  void PlaceControls();
  void ConnectControls();
  // Where the mouse rests at `at` on the screen, over the list or the
  // label: the tooltip of the line there, or the label's whole caption where
  // the label cuts it off. False where there is none.
  bool ShowList1ToolTip(const QPoint& at);
  bool ShowLabel1ToolTip(const QPoint& at);
  // Shows `first` and then `more` in a tooltip near `at` on the screen, its
  // lines wrapped to fit the screen the window is on, for as long as the
  // mouse stays in `area` of `widget`.
  void ShowToolTip(QWidget* widget, const QRect& area, QPoint at, TextView first,
                   TextView more) const;
  // Opens `menu` at `at` on the screen; it goes when it closes.
  void ShowMenu(std::unique_ptr<QMenu> menu, const QPoint& at);

  Form1 form_;
  MessageShower message_box_;

  DriveList* drive1_ = nullptr;
  FolderList* dir1_ = nullptr;
  LineList* list1_ = nullptr;
  LineListModel* list1_lines_ = nullptr;
  QRadioButton* option1_[2] = {nullptr, nullptr};
  QButtonGroup* option1_group_ = nullptr;
  QLabel* label1_ = nullptr;
  QPushButton* command1_ = nullptr;
};

}  // namespace tarnwick::qt
