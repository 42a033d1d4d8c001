// Tarnwick's window in Qt Widgets: the controls of the layout table, drawn
// and wired to Form1's handlers, and offered to them as WindowControls.
#pragma once

#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/system_services.h"
#include "window/main_window.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tarnwick::qt {

// The folder list: a double-click or Enter on an entry opens it, whatever the
// desktop's setting for activating items; a single click only selects.
class FolderTree final : public QTreeWidget {
 public:
  explicit FolderTree(QWidget* parent);
  std::function<void(QTreeWidgetItem*)> on_open;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class MainWindow final : public QWidget, public WindowControls {
 public:
  // Shows a message box; the window's own one is modal, tests put theirs.
  using MessageBox =
      std::function<void(QWidget* parent, const Text& text, std::int32_t style, const Text& title)>;

  // Creates the window and its controls, with the folder list on
  // `start_folder` (the process's current folder) and the drive list on its
  // drive. Throws PlatformError when that folder cannot be read.
  MainWindow(SystemServices& system, const Text& start_folder);
  ~MainWindow() override;

  // Runs Form_Load: the first refresh, before the window is shown.
  void Load();

  void SetMessageBox(MessageBox message_box) { message_box_ = std::move(message_box); }

  // The controls, by name, for tests and for the screenshot.
  QComboBox* drive1() const { return drive1_; }
  FolderTree* dir1() const { return dir1_; }
  QListWidget* list1() const { return list1_; }
  QRadioButton* option1(int index) const { return option1_[index]; }
  QLabel* label1() const { return label1_; }
  QPushButton* command1() const { return command1_; }

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
  void CreateControls();
  void PlaceControls();
  void ConnectControls();
  void FillDriveList();
  // Draws the folder list for `path`; throws PlatformError, changing
  // nothing, when it cannot be read.
  void ShowFolder(const Text& path);
  void OpenFolderEntry(QTreeWidgetItem* item);

  SystemServices& system_;
  Form1 form_;
  MessageBox message_box_;

  QComboBox* drive1_ = nullptr;
  FolderTree* dir1_ = nullptr;
  QListWidget* list1_ = nullptr;
  QRadioButton* option1_[2] = {nullptr, nullptr};
  QButtonGroup* option1_group_ = nullptr;
  QLabel* label1_ = nullptr;
  QPushButton* command1_ = nullptr;

  Text dir1_path_;
  std::vector<Drive> drives_;
  int shown_drive_ = -1;  // the drive of the folder shown
};

// Text to and from Qt's strings; both are UTF-16.
QString ToQString(const Text& text);
Text FromQString(const QString& text);

}  // namespace tarnwick::qt
