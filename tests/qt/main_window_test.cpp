// The Qt window on real folders, on Qt's offscreen platform.
#include "platform/qt/main_window.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAccessible>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QtTest>
#include <memory>
#include <string>

#include "platform/qt/line_delegate.h"
#include "platform/qt/line_list_model.h"
#include "platform/qt/mount_notifier.h"
#include "support/forwarding_system.h"
#include "support/list_lines.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"
#include "window/layout.h"
#include "window/texts.h"

using tarnwick::Drive;
using tarnwick::Text;
using tarnwick::qt::FromQString;
using tarnwick::qt::MainWindow;
using tarnwick::qt::MountNotifier;
using tarnwick::qt::ToQString;

namespace {

// The real system, counting refreshes (each asks once for the short form of
// the folder itself, the only path that ends in "/") and
// offering one drive more than the machine has, which cannot be read.
class CountingSystem final : public tarnwick::testing::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  int refreshes = 0;

  std::uint32_t GetShortPathNameA(const std::string& path, std::span<char> buffer) override {
    if (!path.empty() && path.back() == '/') ++refreshes;
    return ForwardingSystem::GetShortPathNameA(path, buffer);
  }
  std::vector<Drive> Drives() override {
    std::vector<Drive> drives = ForwardingSystem::Drives();
    drives.push_back({u"/no-such-drive", u"/no-such-drive"});
    return drives;
  }
};

struct Message {
  QString text;
  int style;
  QString title;
};

// The lines as the view gets them.
QStringList Lines(const QListView* list) {
  QStringList lines;
  const QAbstractItemModel* model = list->model();
  for (int i = 0; i < model->rowCount(); ++i) lines << model->index(i, 0).data().toString();
  return lines;
}

QListWidgetItem* FolderItem(QListWidget* folders, const QString& name) {
  const QList<QListWidgetItem*> found = folders->findItems(name, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.front();
}

// The folder list's lines, each with its depth ("  " for each level).
QStringList IndentedFolders(const QListWidget* folders) {
  QStringList lines;
  for (int row = 0; row < folders->count(); ++row) {
    const QListWidgetItem* line = folders->item(row);
    lines << QString(2 * line->data(tarnwick::qt::kDepthRole).toInt(), u' ') + line->text();
  }
  return lines;
}

// How many pixels of the top edge of `line` in `view` are drawn in `colour`.
int TopEdgePixels(QAbstractItemView* view, const QModelIndex& line, const QColor& colour) {
  const QImage shown = view->viewport()->grab().toImage();
  const QRect edge = view->visualRect(line) & view->viewport()->rect();
  int pixels = 0;
  for (int x = edge.left(); x <= edge.right(); ++x) {
    if (QColor(shown.pixel(x, edge.top())) == colour) ++pixels;
  }
  return pixels;
}

// "role name" of `object` and every accessible object below it, as a screen
// reader is given them, one to a line, indented by depth.
void ReadAccessible(QAccessibleInterface* object, int depth, QStringList& read) {
  read << QString(2 * depth, u' ') + QString::number(object->role(), 16) + u' ' +
              object->text(QAccessible::Name);
  for (int i = 0; i < object->childCount(); ++i) {
    if (QAccessibleInterface* child = object->child(i)) ReadAccessible(child, depth + 1, read);
  }
}

// The captions of a menu's entries (a separator's is empty), the keys they
// show, and whether each can be chosen.
QStringList Captions(const QMenu& menu) {
  QStringList captions;
  for (const QAction* entry : menu.actions()) captions << entry->text();
  return captions;
}
QStringList Keys(const QMenu& menu) {
  QStringList keys;
  for (const QAction* entry : menu.actions()) {
    keys << (entry->isShortcutVisibleInContextMenu() ? entry->shortcut().toString() : QString());
  }
  return keys;
}
QList<bool> Enabled(const QMenu& menu) {
  QList<bool> enabled;
  for (const QAction* entry : menu.actions()) enabled << entry->isEnabled();
  return enabled;
}
QAction* Entry(const QMenu& menu, const char16_t* caption) {
  for (QAction* entry : menu.actions()) {
    if (entry->text() == QString::fromUtf16(caption)) return entry;
  }
  qFatal("no such menu entry");
}

// The tooltip window, a top-level window of its own, while it shows.
QWidget* ToolTipWindow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->inherits("QTipLabel") && window->isVisible()) return window;
  }
  return nullptr;
}

// The text of the tooltip that the mouse resting at `at` on `widget` shows,
// as the user reads it; empty when none shows.
QString ToolTipAt(QWidget* widget, QPoint at) {
  QToolTip::hideText();
  QHelpEvent rest(QEvent::ToolTip, at, widget->mapToGlobal(at));
  QApplication::sendEvent(widget, &rest);
  if (!QToolTip::isVisible()) return {};
  return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
}

// Whether every line's box holds all of its text, with the style's margins.
bool LinesAreWhole(QListView* list) {
  const int margins =
      2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
  const QFontMetrics metrics(list->font());
  for (int row = 0; row < list->model()->rowCount(); ++row) {
    const QModelIndex line = list->model()->index(row, 0);
    const int needed = metrics.horizontalAdvance(line.data().toString()) + margins;
    if (list->visualRect(line).width() < needed) {
      qWarning("line %d is %d pixels wide, needs %d", row, list->visualRect(line).width(), needed);
      return false;
    }
  }
  return true;
}

const QString kArrow = QStringLiteral(" \u21D4 ");
const QString kPrefix = QString::fromUtf16(u"\u30D1\u30B9\u540D\uFF0D");

// The lines of the folder that init() makes, sorted by either name: each
// short name sorts as its long one.
QStringList FolderLines(bool by_long_name) {
  const tarnwick::testing::FileNames files[] = {{u"Long File Name.txt", u"LONGFI~1.TXT"},
                                                {u"readme.txt", u"readme.txt"},
                                                {u"日本語のファイル名.txt", u"日本語~1.TXT"}};
  QStringList lines;
  for (const Text& line : tarnwick::testing::ListLines(files, by_long_name)) {
    lines.append(ToQString(line));
  }
  return lines;
}

// A style whose lines have wide margins and whose folders are red squares.
class WideRedStyle final : public QProxyStyle {
 public:
  WideRedStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin) return 40;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (icon == SP_DirOpenIcon || icon == SP_DirClosedIcon) {
      QPixmap folder(16, 16);
      folder.fill(Qt::red);
      return QIcon(folder);
    }
    return QProxyStyle::standardIcon(icon, option, widget);
  }
};

// The desktop's font and colours, back as they were at the end of a scope.
struct DesktopSettings {
  QFont font = QApplication::font();
  QPalette palette = QApplication::palette();
  ~DesktopSettings() {
    QApplication::setFont(font);
    QApplication::setPalette(palette);
    QCoreApplication::sendPostedEvents();
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<tarnwick::SystemServices> real_;
  std::unique_ptr<CountingSystem> system_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<MainWindow> window_;
  std::vector<Message> messages_;

  QString Path(const QString& name) const { return folder_->path() + u'/' + name; }
  void Touch(const QString& name) const {
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  // Drags `urls` onto the window and drops them.
  void Drop(const QList<QUrl>& urls) {
    QVERIFY(window_->acceptDrops());
    QMimeData dragged;
    dragged.setUrls(urls);
    const QPoint at = window_->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(window_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(window_.get(), &drop);
    QVERIFY(drop.isAccepted());
  }

 private slots:
  void init() {
    real_ = tarnwick::CreateSystemServices();
    system_ = std::make_unique<CountingSystem>(*real_);
    folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/twXXXXXX"));
    QVERIFY(folder_->isValid());
    Touch(QStringLiteral("Long File Name.txt"));
    Touch(QStringLiteral("readme.txt"));
    Touch(QString::fromUtf8("日本語のファイル名.txt"));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("Sub Folder")));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral(".hidden")));
    Touch(QStringLiteral("Sub Folder/inside.txt"));
    window_ = std::make_unique<MainWindow>(*system_, FromQString(folder_->path()));
    messages_.clear();
    window_->SetMessageShower(
        [this](QWidget*, const Text& text, std::int32_t style, const Text& title) {
          messages_.push_back({ToQString(text), style, ToQString(title)});
        });
    window_->Load();
  }

  void cleanup() {
    QCoreApplication::setAttribute(Qt::AA_DontShowShortcutsInContextMenus, false);
    window_.reset();
    // Names that are no UTF-8 would be left behind by QTemporaryDir.
    tarnwick::testing::RemoveTree(AT_FDCWD, QFile::encodeName(folder_->path()).toStdString());
    folder_.reset();
  }

  void firstListingIsMadeBeforeTheWindowIsShown() {
    QVERIFY(!window_->isVisible());
    QCOMPARE(Lines(window_->list1()), FolderLines(true));
    // The folder's name is a valid short name, so its short path is its path.
    QCOMPARE(window_->label1()->text(), kPrefix + folder_->path() + u'/');
    QVERIFY(window_->option1(0)->isChecked());
    QVERIFY(!window_->option1(1)->isChecked());
    QCOMPARE(system_->refreshes, 1);
    QVERIFY(!window_->list1()->selectionModel()->hasSelection());
    QVERIFY(!window_->list1()->currentIndex().isValid());
    // The drive list starts on the drive that holds the folder.
    QVERIFY(window_->drive1()->currentIndex() >= 0);
  }

  void theOtherOptionReSortsAndSwapsTheNames() {
    const QString label = window_->label1()->text();
    window_->show();
    QTest::mouseClick(window_->option1(1), Qt::LeftButton);
    QVERIFY(window_->option1(1)->isChecked());
    QCOMPARE(Lines(window_->list1()), FolderLines(false));
    QCOMPARE(window_->label1()->text(), label);
    QVERIFY(!window_->list1()->selectionModel()->hasSelection());
    QVERIFY(!window_->list1()->currentIndex().isValid());
  }

  void captionsGeometryAndTabOrderAreTheTables() {
    QCOMPARE(window_->windowTitle(),
             QString::fromUtf16(u"SFN \u21D4 LFN \u306A\u30BD\u30D5\u30C8 Tarnwick v1.0"));
    using tarnwick::Pixels;
    QCOMPARE(window_->size(),
             QSize(Pixels(tarnwick::kClientWidth), Pixels(tarnwick::kClientHeight)));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    // Each control as the layout table places and names it, in its order.
    const QList<QWidget*> controls = {window_->drive1(),   window_->dir1(),     window_->list1(),
                                      window_->option1(0), window_->option1(1), window_->label1(),
                                      window_->command1()};
    QCOMPARE(controls.size(), qsizetype(tarnwick::kControls.size()));
    for (qsizetype i = 0; i < controls.size(); ++i) {
      const tarnwick::ControlLayout& layout = tarnwick::kControls[static_cast<std::size_t>(i)];
      QCOMPARE(controls[i]->geometry(), QRect(Pixels(layout.left), Pixels(layout.top),
                                              Pixels(layout.width), Pixels(layout.height)));
      QCOMPARE(controls[i]->focusPolicy() != Qt::NoFocus, layout.takes_focus);
      if (const auto* button = qobject_cast<QAbstractButton*>(controls[i])) {
        QCOMPARE(button->text(), QString::fromUtf16(layout.caption));
      }
    }
    // The icon's pictures are built into the program.
    QCOMPARE(window_->windowIcon().availableSizes().size(), 6);
    QVERIFY(!window_->windowIcon().pixmap(32, 32).isNull());
    QCOMPARE(window_->label1()->textFormat(), Qt::PlainText);
    const QList<QWidget*> order = {window_->drive1(),   window_->dir1(),     window_->list1(),
                                   window_->option1(0), window_->option1(1), window_->command1()};
    for (int i = 0; i + 1 < order.size(); ++i) {
      // The next control in the focus chain that takes focus.
      QWidget* next = order[i]->nextInFocusChain();
      while (next->focusPolicy() == Qt::NoFocus || !order.contains(next))
        next = next->nextInFocusChain();
      QCOMPARE(next, order[i + 1]);
    }
  }

  // What a screen reader is given: a name for every control and every line,
  // the controls without a caption named for what they are, the label's
  // text as its description, the drive shown as the drive list's value,
  // and no column header that is never seen.
  void everyControlHasTheNameAScreenReaderReads() {
    window_->show();
    QStringList read;
    ReadAccessible(QAccessible::queryAccessibleInterface(window_.get()), 0, read);
    for (const QString& line : read) QVERIFY2(!line.endsWith(u' '), qPrintable(read.join(u'\n')));
    const QString header = QString::number(QAccessible::ColumnHeader, 16) + u' ';
    for (const QString& line : read) QVERIFY(!line.trimmed().startsWith(header));

    const struct {
      QWidget* control;
      QAccessible::Role role;
      const char* name;
    } controls[] = {{window_->drive1(), QAccessible::ComboBox, "ドライブ"},
                    {window_->dir1(), QAccessible::List, "フォルダー"},
                    {window_->list1(), QAccessible::List, "ファイル"},
                    {window_->option1(0), QAccessible::RadioButton, "LFNでソート"},
                    {window_->option1(1), QAccessible::RadioButton, "SFNでソート"},
                    {window_->label1(), QAccessible::StaticText, "フォルダーの短いパス"},
                    {window_->command1(), QAccessible::Button, "バージョン情報"}};
    for (const auto& [control, role, name] : controls) {
      QAccessibleInterface* object = QAccessible::queryAccessibleInterface(control);
      QCOMPARE(object->role(), role);
      QCOMPARE(object->text(QAccessible::Name), QString::fromUtf8(name));
    }
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(window_->label1());
    QCOMPARE(label->text(QAccessible::Description), kPrefix + folder_->path() + u'/');
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("Sub Folder"))));
    QCOMPARE(label->text(QAccessible::Description), window_->label1()->text());
    // The drive list: the drive shown, as its value and chosen in its list.
    QAccessibleInterface* drives = QAccessible::queryAccessibleInterface(window_->drive1());
    QCOMPARE(drives->text(QAccessible::Value), window_->drive1()->currentText());
    QCOMPARE(drives->childCount(), 1);
    const QList<QAccessibleInterface*> chosen = drives->child(0)->tableInterface()->selectedCells();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0]->text(QAccessible::Name), window_->drive1()->currentText());
  }

  // Where the focus is: a dotted frame on the current line, in the colour of
  // its text, while the list has the focus, on a chosen line too.
  void theCurrentLineShowsAFocusMarkWhileItsListHasTheFocus() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    const QPalette palette = window_->palette();
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor chosen_text = palette.color(QPalette::Active, QPalette::HighlightedText);
    QListView* list1 = window_->list1();
    QListWidget* dir1 = window_->dir1();
    // The folder shown, chosen: its edge without the focus, then with it.
    const QModelIndex folder = dir1->currentIndex();
    const int folder_edge = TopEdgePixels(dir1, folder, chosen_text);
    dir1->setFocus(Qt::TabFocusReason);
    QVERIFY(TopEdgePixels(dir1, folder, chosen_text) > folder_edge + dir1->viewport()->width() / 8);

    // The file list comes to its first line, which is not chosen.
    const QModelIndex first = list1->model()->index(0, 0);
    const QModelIndex second = list1->model()->index(1, 0);
    const int first_edge = TopEdgePixels(list1, first, text);
    list1->setFocus(Qt::TabFocusReason);
    QCOMPARE(TopEdgePixels(dir1, folder, chosen_text), folder_edge);
    QCOMPARE(list1->currentIndex(), first);
    QCOMPARE(window_->List1ListIndex(), -1);
    const int half = list1->viewport()->width() / 2;
    QVERIFY(TopEdgePixels(list1, first, text) > first_edge + half / 2);
    QTest::mouseClick(list1->viewport(), Qt::LeftButton, {}, list1->visualRect(second).center());
    QCOMPARE(TopEdgePixels(list1, first, text), first_edge);
    QVERIFY(TopEdgePixels(list1, second, chosen_text) > half / 2);
    window_->command1()->setFocus(Qt::TabFocusReason);
    QCOMPARE(TopEdgePixels(list1, second, chosen_text), 0);
  }

  // The desktop's font, text size, colours or style change while the window
  // is open: the list, the label and the tooltips take the new font after
  // the Japanese ones they prefer, the lines are measured again, the folders
  // drawn and the focus marked as the new style and colours have them.
  void theDesktopsFontsColoursAndStyleAreFollowedWhileTheWindowIsOpen() {
    const DesktopSettings before;
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QFont desktop = before.font;
    desktop.setFamilies({QStringLiteral("DejaVu Serif")});
    desktop.setPointSize(2 * before.font.pointSize());
    QApplication::setFont(desktop);
    QCoreApplication::sendPostedEvents();
    const QStringList families = {QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                  QStringLiteral("DejaVu Serif")};
    for (const QFont& font :
         {window_->list1()->font(), window_->label1()->font(), QToolTip::font()}) {
      QCOMPARE(font.families(), families);
      QCOMPARE(font.pointSize(), desktop.pointSize());
    }
    QVERIFY(LinesAreWhole(window_->list1()));

    // The focus mark, drawn in the text's colour before and after.
    window_->list1()->setFocus(Qt::TabFocusReason);
    const QModelIndex first = window_->list1()->model()->index(0, 0);
    const int mark = window_->list1()->viewport()->width() / 4;
    QVERIFY(TopEdgePixels(window_->list1(), first, before.palette.color(QPalette::Text)) > mark);
    QPalette colours = before.palette;
    colours.setColor(QPalette::Text, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(colours);
    QCoreApplication::sendPostedEvents();
    QVERIFY(TopEdgePixels(window_->list1(), first, colours.color(QPalette::Text)) > mark);

    WideRedStyle style;
    window_->list1()->setStyle(&style);
    window_->dir1()->setStyle(&style);
    QVERIFY(LinesAreWhole(window_->list1()));
    for (int row = 0; row < window_->dir1()->count(); ++row) {
      const QImage folder = window_->dir1()->item(row)->icon().pixmap(16).toImage();
      QCOMPARE(folder.pixelColor(8, 8), QColor(Qt::red));
    }
    window_->list1()->setStyle(nullptr);
    window_->dir1()->setStyle(nullptr);
  }

  void aSubfolderAndAnAncestorOpenFromTheFolderList() {
    window_->show();
    QListWidget* dir1 = window_->dir1();
    // The folders down to the one shown, each a level deeper, then its
    // subfolders; the hidden one is left out.
    QStringList folders = QDir::cleanPath(folder_->path()).split(u'/', Qt::SkipEmptyParts);
    QStringList lines = {QStringLiteral("/")};
    for (qsizetype i = 0; i < folders.size(); ++i) lines << QString(2 * (i + 1), u' ') + folders[i];
    lines << QString(2 * (folders.size() + 1), u' ') + QStringLiteral("Sub Folder");
    QCOMPARE(IndentedFolders(dir1), lines);
    QCOMPARE(dir1->currentRow(), folders.size());
    QListWidgetItem* sub = FolderItem(dir1, QStringLiteral("Sub Folder"));
    QVERIFY(sub);
    // A single click only selects.
    const int before = system_->refreshes;
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(sub).center());
    QCOMPARE(dir1->currentItem(), sub);
    QCOMPARE(system_->refreshes, before);
    // Enter opens it, and raises one refresh.
    QTest::keyClick(dir1, Qt::Key_Return);
    QCOMPARE(system_->refreshes, before + 1);
    QCOMPARE(Lines(window_->list1()),
             QStringList({QStringLiteral("inside.txt") + kArrow + QStringLiteral("inside.txt")}));
    QCOMPARE(window_->label1()->text(), kPrefix + folder_->path() + QStringLiteral("/SUBFOL~1/"));
    QCOMPARE(FromQString(dir1->currentItem()->text()), Text(u"Sub Folder"));
    // An ancestor, the top of the file system, by a double-click: it shows
    // its own folders one level deeper.
    QListWidgetItem* top = dir1->item(0);
    QCOMPARE(top->text(), QStringLiteral("/"));
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(top).center());
    QCOMPARE(window_->label1()->text(), kPrefix + u'/');
    QCOMPARE(dir1->item(0)->text(), QStringLiteral("/"));
    QCOMPARE(dir1->item(0)->data(tarnwick::qt::kDepthRole).toInt(), 0);
    QVERIFY(IndentedFolders(dir1).contains(QStringLiteral("  tmp")));
    for (int row = 1; row < dir1->count(); ++row) {
      QCOMPARE(dir1->item(row)->data(tarnwick::qt::kDepthRole).toInt(), 1);
    }
  }

  void aChangeOfDriveRefreshesOnceThroughTheFolderList() {
    QComboBox* drive1 = window_->drive1();
    const int shown = drive1->currentIndex();
    // Choosing the drive already shown changes nothing.
    const int before = system_->refreshes;
    emit drive1->activated(shown);
    QCOMPARE(system_->refreshes, before);
    // Another drive that can be read: the top of the file system, or any
    // other mounted one where the folder is on "/".
    int other = -1;
    for (int i = 0; i < drive1->count() && other < 0; ++i) {
      if (i != shown && drive1->itemText(i) != QStringLiteral("/no-such-drive") &&
          QDir(drive1->itemText(i)).isReadable()) {
        other = i;
      }
    }
    if (other < 0) QSKIP("this machine has a single mounted file system");
    drive1->setCurrentIndex(other);
    emit drive1->activated(other);
    QCOMPARE(system_->refreshes, before + 1);
    QCOMPARE(messages_.size(), std::size_t{0});
    QCOMPARE(drive1->currentIndex(), other);
    QListWidgetItem* current = window_->dir1()->currentItem();
    QVERIFY(current);
    QCOMPARE(ToQString(window_->form().Dir1Path()), QDir::cleanPath(drive1->itemText(other)));
    QCOMPARE(current->text(), QDir(drive1->itemText(other)).dirName().isEmpty()
                                  ? QStringLiteral("/")
                                  : QDir(drive1->itemText(other)).dirName());
    QVERIFY(window_->label1()->text().startsWith(kPrefix + u'/'));
  }

  void theDriveListFollowsDisksThatAreMountedAndTakenAway() {
    // A disk of its own: a small tmpfs, mounted where the test may.
    const QString disk = Path(QStringLiteral("Disk"));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("Disk")));
    const std::string disk_bytes = QFile::encodeName(disk).toStdString();
    // The mount watch, wired as the program wires it, from before the mount.
    MountNotifier mounts;
    connect(&mounts, &MountNotifier::mountsChanged, window_.get(),
            [this] { window_->form().DrivesChanged(); });
    if (::mount("tarnwick-test", disk_bytes.c_str(), "tmpfs", 0, "size=64k") != 0) {
      QSKIP("no disk can be mounted here (mounting needs root)");
    }
    struct Unmount {
      std::string path;
      ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk_bytes};
    Touch(QStringLiteral("Disk/on the disk.txt"));
    QComboBox* drive1 = window_->drive1();
    const QString shown_drive = drive1->currentText();
    QTRY_VERIFY(drive1->findText(disk) >= 0);
    QCOMPARE(drive1->currentText(), shown_drive);
    QCOMPARE(messages_.size(), std::size_t{0});

    window_->form().SetDir1Path(FromQString(disk));
    QCOMPARE(drive1->currentText(), disk);
    QCOMPARE(Lines(window_->list1()).size(), 1);
    QVERIFY(::umount2(disk_bytes.c_str(), MNT_DETACH) == 0);
    QTRY_COMPARE(messages_.size(), std::size_t{1});
    QVERIFY(messages_[0].text.startsWith(QString::fromUtf8("ドライブが取り外されました。")));
    QVERIFY(messages_[0].text.contains(disk));
    QCOMPARE(drive1->findText(disk), -1);
    // Back in the folder the window started in.
    QCOMPARE(ToQString(window_->form().Dir1Path()), folder_->path());
    QCOMPARE(Lines(window_->list1()).size(), 3);
  }

  void theListsMenuAndKeysCopyTheLineTheNamesAndThePath() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QListView* list1 = window_->list1();
    const QStringList lines = Lines(list1);
    const QString label = window_->label1()->text();
    // The keys show even where the desktop hides them in context menus.
    QCoreApplication::setAttribute(Qt::AA_DontShowShortcutsInContextMenus, true);
    std::unique_ptr<QMenu> menu = window_->MakeList1Menu();
    QCOMPARE(Captions(*menu), QStringList({QString::fromUtf8("コピー(&C)"),
                                           QString::fromUtf8("すべての行をコピー(&A)"),
                                           {},
                                           QString::fromUtf8("短い名前をコピー(&N)"),
                                           QString::fromUtf8("短いパスをコピー(&P)"),
                                           QString::fromUtf8("フォルダーの短いパスをコピー(&F)"),
                                           {},
                                           QString::fromUtf8("最新の情報に更新(&R)")}));
    QCOMPARE(Keys(*menu), QStringList({QStringLiteral("Ctrl+C"),
                                       {},
                                       {},
                                       {},
                                       QStringLiteral("Ctrl+Shift+C"),
                                       {},
                                       {},
                                       QStringLiteral("F5")}));
    // No line chosen: only the whole list and the folder's path copy, and the
    // keys copy nothing.
    QCOMPARE(Enabled(*menu), QList<bool>({false, true, true, false, false, true, true, true}));
    QTest::keyClick(list1, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(list1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("before"));

    QTest::mouseClick(list1->viewport(), Qt::LeftButton, {},
                      list1->visualRect(list1->model()->index(0, 0)).center());
    const QString short_path = folder_->path() + QStringLiteral("/LONGFI~1.TXT");
    QTest::keyClick(list1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), lines[0]);
    QTest::keyClick(list1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(), short_path);
    menu = window_->MakeList1Menu();
    QCOMPARE(Enabled(*menu), QList<bool>({true, true, true, true, true, true, true, true}));
    Entry(*menu, u"コピー(&C)")->trigger();
    QCOMPARE(clipboard->text(), lines[0]);
    Entry(*menu, u"すべての行をコピー(&A)")->trigger();
    QCOMPARE(clipboard->text(), lines.join(u'\n'));
    Entry(*menu, u"短い名前をコピー(&N)")->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("LONGFI~1.TXT"));
    clipboard->setText(QStringLiteral("before"));
    Entry(*menu, u"短いパスをコピー(&P)")->trigger();
    QCOMPARE(clipboard->text(), short_path);
    // The folder's short path, as the label shows it and its menu copies it.
    Entry(*menu, u"フォルダーの短いパスをコピー(&F)")->trigger();
    QCOMPARE(clipboard->text(), folder_->path() + u'/');
    // Nothing else changed.
    QCOMPARE(Lines(list1), lines);
    QCOMPARE(window_->label1()->text(), label);
    QCOMPARE(list1->currentIndex().row(), 0);
    QCOMPARE(messages_.size(), std::size_t{0});

    // An empty folder: nothing to copy but the folder's path.
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("Empty")));
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("Empty"))));
    menu = window_->MakeList1Menu();
    QCOMPARE(Enabled(*menu), QList<bool>({false, false, true, false, false, true, true, true}));
    menu = window_->MakeLabel1Menu();
    QCOMPARE(Captions(*menu), QStringList({QString::fromUtf8("パスをコピー(&P)")}));
    QVERIFY(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    QCOMPARE(clipboard->text(), Path(QStringLiteral("Empty/")));
  }

  void f5AndTheMenuReadTheFolderAgain() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Touch(QStringLiteral("added.txt"));
    const int before = system_->refreshes;
    // F5 wherever the focus is in the window.
    window_->dir1()->setFocus();
    QTest::keyClick(window_->dir1(), Qt::Key_F5);
    QCOMPARE(system_->refreshes, before + 1);
    QCOMPARE(Lines(window_->list1()).size(), 4);
    QVERIFY(QFile::remove(Path(QStringLiteral("added.txt"))));
    Entry(*window_->MakeList1Menu(), u"最新の情報に更新(&R)")->trigger();
    QCOMPARE(system_->refreshes, before + 2);
    QCOMPARE(Lines(window_->list1()).size(), 3);
  }

  void aRightClickChoosesTheLineUnderTheMouseAndOpensTheMenu() {
    window_->show();
    QListView* list1 = window_->list1();
    const QPoint at = list1->visualRect(list1->model()->index(2, 0)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list1->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list1->viewport(), &click);
    QCOMPARE(window_->List1ListIndex(), 2);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 8);
    QVERIFY(menu->actions()[0]->isEnabled());
    menu->close();
    // The menu goes when it is closed.
    QTRY_VERIFY(window_->findChildren<QMenu*>().isEmpty());
  }

  // Shift+F10 and the menu key open the list's menu under the chosen line,
  // or at the list's top left, wherever the mouse is.
  void theKeyboardOpensTheListsMenuAtTheChosenLine() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QListView* list1 = window_->list1();
    list1->setFocus(Qt::TabFocusReason);
    // Where the list's menu opened; it closes.
    const auto menu_place = [] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr || menu->actions().size() != 8) return QPoint(-1, -1);
      const QPoint at = menu->pos();
      menu->close();
      return at;
    };
    QTest::keyClick(list1, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(menu_place(), list1->viewport()->mapToGlobal(QPoint(0, 0)));
    QCOMPARE(window_->List1ListIndex(), -1);

    window_->SetList1ListIndex(1);
    const QRect line = list1->visualRect(list1->model()->index(1, 0));
    const QPoint under_line = list1->viewport()->mapToGlobal(QPoint(16, line.bottom() + 1));
    QTest::keyClick(list1, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(menu_place(), under_line);
    const QPoint elsewhere = list1->viewport()->rect().bottomRight();
    QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, elsewhere,
                               list1->viewport()->mapToGlobal(elsewhere));
    QApplication::sendEvent(list1, &menu_key);
    QCOMPARE(menu_place(), under_line);
    QCOMPARE(window_->List1ListIndex(), 1);
  }

  void aLinesTooltipSaysWhereItsShortNameComesFrom() {
    window_->show();
    QListView* list1 = window_->list1();
    const QString origin = ToQString(tarnwick::kOriginRules);
    QStringList tip =
        ToolTipAt(list1->viewport(), list1->visualRect(list1->model()->index(0, 0)).center())
            .split(u'\n');
    // The line on a line of its own, then the sentence, wrapped to a width
    // that reads well: neither a narrow column nor one long line.
    QCOMPARE(tip.takeFirst(), Lines(list1)[0]);
    QCOMPARE(tip.join(QString()), origin);
    QVERIFY(tip.size() >= 2 && tip.size() <= 4);
    QWidget* tip_window = ToolTipWindow();
    QVERIFY(tip_window);
    const QFontMetrics metrics(tip_window->font());
    QVERIFY(tip_window->width() > 25 * metrics.horizontalAdvance(QChar(u'\u3042')));
    QVERIFY(tip_window->width() < metrics.horizontalAdvance(origin));
    QCOMPARE(ToolTipAt(list1->viewport(), list1->visualRect(list1->model()->index(1, 0)).center()),
             Lines(list1)[1] + u'\n' + ToQString(tarnwick::kOriginValidName));
  }

  void theLabelShowsItsWholeTextInATooltipOnlyWhenCutOff() {
    window_->show();
    QLabel* label1 = window_->label1();
    QCOMPARE(ToolTipAt(label1, label1->rect().center()), QString());
    // A deep folder: its short path is its path, each name a valid short name.
    QString deep = QStringLiteral("deep");
    for (int level = 0; level < 60; ++level) deep += QStringLiteral("/folder%1").arg(level);
    QVERIFY(QDir(folder_->path()).mkpath(deep));
    window_->form().SetDir1Path(FromQString(Path(deep)));
    QVERIFY(label1->fontMetrics().horizontalAdvance(label1->text()) > label1->width());
    // Whole, on lines that fit the screen, each but the last ending at a
    // separator.
    const QStringList lines = ToolTipAt(label1, label1->rect().center()).split(u'\n');
    QCOMPARE(lines.join(QString()), label1->text());
    QVERIFY(lines.size() > 1);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) QVERIFY(lines[i].endsWith(u'/'));
    QVERIFY(ToolTipWindow()->width() <= label1->screen()->availableGeometry().width());
  }

  void aLongNamesTooltipWrapsToFitTheScreen() {
    // 254 characters: Linux holds no longer name.
    QString long_name;
    while (long_name.size() < 250) long_name += QStringLiteral("Annual report of the board ");
    long_name = long_name.left(250) + QStringLiteral(".txt");
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("long")));
    Touch(QStringLiteral("long/") + long_name);
    window_->show();
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("long"))));
    QListView* list1 = window_->list1();
    const QString line = Lines(list1)[0];
    QVERIFY(line.endsWith(kArrow + QStringLiteral("ANNUAL~1.TXT")));
    const QStringList tip =
        ToolTipAt(list1->viewport(), list1->visualRect(list1->model()->index(0, 0)).center())
            .split(u'\n');
    // Every character, the short name too, on lines no wider than the screen.
    QCOMPARE(tip.join(QString()), line + ToQString(tarnwick::kOriginRules));
    const QRect screen = list1->screen()->availableGeometry();
    QVERIFY(QFontMetrics(QToolTip::font()).horizontalAdvance(line) > screen.width());
    QVERIFY(tip.size() >= 4);
    QWidget* tip_window = ToolTipWindow();
    QVERIFY(tip_window);
    QVERIFY(tip_window->geometry().left() >= screen.left());
    QVERIFY(tip_window->geometry().right() <= screen.right());
  }

  // A tooltip goes when a menu opens, a message shows or a key is pressed,
  // rather than stay over them.
  void aTooltipHidesForAMenuAMessageOrAKey() {
    window_->show();
    QListView* list1 = window_->list1();
    const QPoint at = list1->visualRect(list1->model()->index(0, 0)).center();
    const auto show_tip = [&] {
      ToolTipAt(list1->viewport(), at);
      QVERIFY(QToolTip::isVisible());
    };
    show_tip();
    QContextMenuEvent click(QContextMenuEvent::Keyboard, at, list1->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list1->viewport(), &click);
    QVERIFY(QApplication::activePopupWidget());
    QTRY_VERIFY(!QToolTip::isVisible());
    QApplication::activePopupWidget()->close();
    show_tip();
    window_->form().Command1_Click();
    QCOMPARE(messages_.size(), std::size_t{1});
    QTRY_VERIFY(!QToolTip::isVisible());
    show_tip();
    QTest::keyClick(window_->dir1(), Qt::Key_Down);
    QTRY_VERIFY(!QToolTip::isVisible());
  }

  // A name of bytes that are no UTF-8: U+FFFD for each, wherever it shows
  // and on the clipboard; the window keeps the name itself.
  void aNameThatIsNoUtf8ShowsAndCopiesTheReplacementCharacter() {
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("bytes")));
    const std::string name =
        QFile::encodeName(Path(QStringLiteral("bytes"))).toStdString() + "/caf\xE9\xFF.txt";
    const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    window_->show();
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("bytes"))));
    QListView* list1 = window_->list1();
    const QString shown = QString::fromUtf16(u"caf\uFFFD\uFFFD.txt") + kArrow;
    QVERIFY(Lines(list1)[0].startsWith(shown));
    QVERIFY(window_->List1Line(0).starts_with(u"caf\xDCE9\xDCFF.txt"));
    const QPoint at = list1->visualRect(list1->model()->index(0, 0)).center();
    QVERIFY(ToolTipAt(list1->viewport(), at).startsWith(Lines(list1)[0] + u'\n'));
    QTest::mouseClick(list1->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(list1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), Lines(list1)[0]);
    window_->SetLabel1Caption(u"/caf\xDCE9/");
    QCOMPARE(window_->label1()->text(), QString::fromUtf16(u"/caf\uFFFD/"));
  }

  void aDroppedFolderIsShownAndADroppedFilesLineIsChosen() {
    window_->show();
    const QString sub = Path(QStringLiteral("Sub Folder"));
    Drop({QUrl::fromLocalFile(sub), QUrl::fromLocalFile(Path(QStringLiteral("readme.txt")))});
    QCOMPARE(ToQString(window_->form().Dir1Path()), sub);
    QCOMPARE(window_->List1ListIndex(), -1);
    Drop({QUrl::fromLocalFile(Path(QStringLiteral("readme.txt")))});
    QCOMPARE(window_->label1()->text(), kPrefix + folder_->path() + u'/');
    QCOMPARE(window_->List1ListIndex(), 1);
    QVERIFY(Lines(window_->list1())[1].startsWith(QStringLiteral("readme.txt")));
    QCOMPARE(messages_.size(), std::size_t{0});
    // A name that is no UTF-8 ("café" in Latin-1), as a file manager sends it.
    const std::string latin1 = QFile::encodeName(sub).toStdString() + "/caf\xE9.txt";
    const int fd = ::open(latin1.c_str(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    Drop({QUrl::fromEncoded(QUrl::fromLocalFile(sub).toEncoded() + "/caf%E9.txt")});
    QCOMPARE(window_->label1()->text(), kPrefix + folder_->path() + QStringLiteral("/SUBFOL~1/"));
    const int chosen = window_->List1ListIndex();
    QVERIFY(chosen >= 0);
    QVERIFY(window_->List1Line(chosen).starts_with(u"caf\xDCE9.txt"));
    QCOMPARE(messages_.size(), std::size_t{0});
  }

  // Only a file or folder of this machine counts; anything else is refused
  // as a drop of no file is, and nothing changes. "FOLDER" in a URL stands
  // for the test's folder.
  void aDropCountsOnlyForLocalFiles_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("counts");
    QTest::newRow("no host") << QByteArray("file://FOLDER/Sub%20Folder") << true;
    QTest::newRow("localhost") << QByteArray("file://localhostFOLDER/Sub%20Folder") << true;
    QTest::newRow("LocalHost") << QByteArray("file://LocalHostFOLDER/Sub%20Folder") << true;
    QTest::newRow("another host") << QByteArray("file://otherhostFOLDER/Sub%20Folder") << false;
    QTest::newRow("NUL") << QByteArray("file://FOLDER/Sub%20Folder%00/inside.txt") << false;
    QTest::newRow("NUL at the end") << QByteArray("file://FOLDER/Sub%20Folder%00") << false;
    QTest::newRow("web") << QByteArray("https://example.com/readme.txt") << false;
  }
  void aDropCountsOnlyForLocalFiles() {
    QFETCH(QByteArray, url);
    QFETCH(bool, counts);
    const Text shown = window_->form().Dir1Path();
    const QUrl folder = QUrl::fromLocalFile(folder_->path());
    Drop({QUrl::fromEncoded(url.replace("FOLDER", folder.path(QUrl::FullyEncoded).toUtf8()))});
    if (counts) {
      QCOMPARE(ToQString(window_->form().Dir1Path()), Path(QStringLiteral("Sub Folder")));
      QCOMPARE(messages_.size(), std::size_t{0});
    } else {
      QCOMPARE(window_->form().Dir1Path(), shown);
      QCOMPARE(messages_.size(), std::size_t{1});
      QCOMPARE(messages_[0].text, ToQString(tarnwick::kDropNotUsable + Text(u"\r\n")));
    }
  }

  void theWidestLineIsBoundedClosely() {
    // Narrow and wide letters, Japanese from a fallback font, an emoji of
    // two code units.
    const QStringList texts = {QString(30, u'i'), QString(12, u'W'),
                               QString::fromUtf8("日本語のファイル名.txt ⇔ 日本語~1.TXT"),
                               QString::fromUtf8("😀 ⇔ _~1")};
    const QFont font = window_->list1()->font();
    const QFontMetricsF metrics(font);
    tarnwick::qt::LineListModel lines;
    QCOMPARE(lines.WidestLine(font).row, -1);
    qreal widest_width = 0;
    for (const QString& text : texts) {
      lines.Append(FromQString(text));
      widest_width = std::max(widest_width, metrics.horizontalAdvance(text));
    }
    const tarnwick::qt::LineListModel::Widest widest = lines.WidestLine(font);
    QCOMPARE(widest.row, 2);
    QVERIFY(widest.width >= widest_width);
    QVERIFY(widest.width < widest_width + 2);
  }

  void aLineThatKerningNarrowsLeavesRoomForAWiderOne() {
    // "AV" kerns: the line with the highest bound is drawn narrower than the
    // bound, and a line of letters that do not kern falls in between.
    const QString kerned = QStringLiteral("AV").repeated(40);
    const QFontMetricsF metrics(window_->list1()->font());
    qreal bound = 0;
    for (const QChar c : kerned) bound += metrics.horizontalAdvance(c);
    QString wider;
    for (const QChar letter : {u'X', u'i'}) {
      while (metrics.horizontalAdvance(wider + letter) < bound) wider += letter;
    }
    if (metrics.horizontalAdvance(wider) < metrics.horizontalAdvance(kerned) + 2) {
      QSKIP("this font kerns too little");
    }
    window_->show();
    window_->SetList1Redraw(false);
    window_->List1Clear();
    window_->List1AddItem(FromQString(kerned));
    window_->List1AddItem(FromQString(wider));
    window_->SetList1Redraw(true);
    QVERIFY(LinesAreWhole(window_->list1()));
  }

  void everyLineIsWholeAndTheWidestScrollsToItsEnd() {
    // The long line comes first: the view's own guess of a uniform size
    // goes by the last.
    QString long_name = QStringLiteral("Annual report of the ");
    while (long_name.size() < 196) long_name += QStringLiteral("very ");
    long_name = long_name.left(196) + QStringLiteral(".txt");
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("everyday")));
    for (const QString& name :
         {long_name, QStringLiteral("Meeting notes from the planning session.txt"),
          QStringLiteral("Quarterly Budget Review 2024 Final Version.xlsx"),
          QStringLiteral("README.TXT"), QStringLiteral("readme.txt")}) {
      Touch(QStringLiteral("everyday/") + name);
    }
    window_->show();
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("everyday"))));
    QListView* list1 = window_->list1();
    const QStringList lines = Lines(list1);
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].startsWith(long_name));
    QVERIFY(LinesAreWhole(list1));
    QScrollBar* scroll = list1->horizontalScrollBar();
    QVERIFY(scroll->isVisible());
    // A step is a few characters, not the whole width.
    QVERIFY(scroll->singleStep() < list1->viewport()->width() / 8);
    scroll->setValue(scroll->maximum());
    const QRect widest = list1->visualRect(list1->model()->index(0, 0));
    QVERIFY(widest.right() < list1->viewport()->width());
    QVERIFY(widest.left() + list1->fontMetrics().horizontalAdvance(lines[0]) <
            list1->viewport()->width());
    // A bigger font: the lines grow with it.
    QFont font = list1->font();
    font.setPointSize(font.pointSize() * 2);
    list1->setFont(font);
    QVERIFY(LinesAreWhole(list1));
  }
  void theAboutBoxSaysItsTwoLines() {
    QTest::mouseClick(window_->command1(), Qt::LeftButton);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].text,
             QString::fromUtf16(u"SFN \u21D4 LFN \u306A\u30BD\u30D5\u30C8 Tarnwick v1.0\r\n") +
                 QString(40, u' ') + QStringLiteral("by ") +
                 QString::fromUtf16(u"Tarnwick \u958B\u767A\u30C1\u30FC\u30E0"));
    QCOMPARE(messages_[0].style, 64);
    QCOMPARE(messages_[0].title, QString::fromUtf16(u"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831"));
  }

  void aPathWithAmpersandAndAngleShowsAsItIs() {
    // "a&b" is a valid short name and keeps its "&".
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("a&b")));
    Touch(QStringLiteral("a&b/x<y>&z.txt"));
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("a&b"))));
    QCOMPARE(window_->label1()->text(), kPrefix + folder_->path() + QStringLiteral("/a&b/"));
    QCOMPARE(Lines(window_->list1()),
             QStringList({QStringLiteral("x<y>&z.txt") + kArrow + QStringLiteral("X_Y_&Z~1.TXT")}));
    // Plain text: nothing is taken for markup or a mnemonic.
    QCOMPARE(window_->label1()->textFormat(), Qt::PlainText);
    window_->SetLabel1Caption(u"<b>x</b> & y");
    QCOMPARE(window_->label1()->text(), QStringLiteral("<b>x</b> & y"));
    QCOMPARE(window_->label1()->buddy(), nullptr);
  }

  void aFolderOfHostileNamesListsAndTheWindowStaysUsable() {
    const QString hostile = Path(QStringLiteral("hostile"));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("hostile")));
    // File-name bytes, some of them no UTF-8 at all.
    std::vector<std::string> names = {"caf\xE9.txt",
                                      "\xFF\xFE",
                                      "\xED\xA0\x80.txt",
                                      "<b>bold<\\b> & more.htm",
                                      "%s%n.txt",
                                      " ",
                                      std::string(251, 'x') + ".txt"};
    for (int i = 0; i < 150; ++i)
      names.push_back("Quarterly Report " + std::to_string(i) + ".xlsx");
    for (const std::string& name : names) {
      const std::string path = QFile::encodeName(hostile).toStdString() + "/" + name;
      const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
      QVERIFY2(fd >= 0, path.c_str());
      ::close(fd);
    }
    window_->show();
    window_->form().SetDir1Path(FromQString(hostile));
    QCOMPARE(messages_.size(), std::size_t{0});
    QCOMPARE(window_->list1()->model()->rowCount(), static_cast<int>(names.size()));
    QCOMPARE(window_->label1()->text(), kPrefix + hostile + u'/');
    // Every long name once, as its bytes read back.
    QStringList long_names;
    for (int row = 0; row < window_->List1ListCount(); ++row) {
      const QString line = ToQString(window_->List1Line(row));
      QVERIFY(line.contains(kArrow));
      long_names << line.left(line.lastIndexOf(kArrow));
    }
    long_names.removeDuplicates();
    QCOMPARE(long_names.size(), static_cast<int>(names.size()));
    for (const QString& name : long_names) {
      QVERIFY(tarnwick::EncodeFileName(FromQString(name)).has_value());
    }
    QTest::mouseClick(window_->option1(1), Qt::LeftButton);
    QCOMPARE(window_->list1()->model()->rowCount(), static_cast<int>(names.size()));
    QVERIFY(!QApplication::overrideCursor());

    // The folder goes while shown: the next refresh says so, and the window
    // still goes to another folder.
    // (Qt cannot remove names that are no UTF-8.)
    tarnwick::testing::RemoveTree(AT_FDCWD, QFile::encodeName(hostile).toStdString());
    QVERIFY(!QFileInfo::exists(hostile));
    QTest::mouseClick(window_->option1(0), Qt::LeftButton);
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(messages_[0].style, 16);
    QVERIFY(messages_[0].text.contains(QStringLiteral("hostile")));
    QVERIFY(!QApplication::overrideCursor());
    window_->form().SetDir1Path(FromQString(Path(QStringLiteral("Sub Folder"))));
    QCOMPARE(messages_.size(), std::size_t{1});
    QCOMPARE(Lines(window_->list1()),
             QStringList({QStringLiteral("inside.txt") + kArrow + QStringLiteral("inside.txt")}));
  }

  void aFolderWhoseNameIsNoUtf8OpensFromTheFolderList() {
    // "café" in Latin-1, and a name with a backslash and an ampersand.
    for (const std::string folder : {"caf\xE9", "a\\b & c"}) {
      const std::string path = QFile::encodeName(folder_->path()).toStdString() + "/" + folder;
      QVERIFY(::mkdir(path.c_str(), 0755) == 0);
      const int fd =
          ::open((path + "/inside " + folder + ".txt").c_str(), O_CREAT | O_WRONLY, 0644);
      QVERIFY(fd >= 0);
      ::close(fd);
    }
    window_->form().SetDir1Path(FromQString(folder_->path()));
    window_->show();
    QListWidget* dir1 = window_->dir1();
    for (const Text& name : {Text(u"caf\xDCE9"), Text(u"a\\b & c")}) {
      QListWidgetItem* item = FolderItem(dir1, ToQString(name));
      QVERIFY(item);
      const int before = system_->refreshes;
      dir1->setCurrentItem(item);
      QTest::keyClick(dir1, Qt::Key_Return);
      QCOMPARE(system_->refreshes, before + 1);
      QCOMPARE(messages_.size(), std::size_t{0});
      QCOMPARE(Lines(window_->list1()).size(), 1);
      QVERIFY(window_->List1Line(0).starts_with(u"inside " + name + u".txt"));
      // Back up, for the next one.
      window_->form().SetDir1Path(FromQString(folder_->path()));
    }
  }

  // On the exFAT disk that ctest's fixture mounts (scripts/exfat-disk): a
  // file goes by its own name, and its tooltip says no short name is kept.
  void aLinesTooltipOnExfatSaysTheDiskKeepsNoShortName() {
    const QString disk = qEnvironmentVariable("TARNWICK_EXFAT_DISK");
    if (disk.isEmpty()) QSKIP("TARNWICK_EXFAT_DISK is not set: run the test through ctest");
    QFile why(QDir::cleanPath(disk + QStringLiteral("/../not-mounted")));
    if (why.open(QIODevice::ReadOnly)) QSKIP(why.readAll().trimmed().constData());
    QTemporaryDir on_disk(disk + QStringLiteral("/twXXXXXX"));
    QVERIFY(on_disk.isValid());
    QVERIFY(QFile(on_disk.filePath(QStringLiteral("A long name.txt"))).open(QIODevice::WriteOnly));
    window_->form().SetDir1Path(FromQString(on_disk.path()));
    window_->show();
    QListView* list1 = window_->list1();
    const QString line =
        QStringLiteral("A long name.txt") + kArrow + QStringLiteral("A long name.txt");
    QCOMPARE(Lines(list1), QStringList{line});
    const QString tip =
        ToolTipAt(list1->viewport(), list1->visualRect(list1->model()->index(0, 0)).center());
    QCOMPARE(QString(tip).remove(u'\n'), line + ToQString(tarnwick::kOriginNone));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
