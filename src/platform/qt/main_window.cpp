#include "platform/qt/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolTip>
#include <QtMath>
#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/qt/accessibility.h"
#include "platform/qt/dropped_paths.h"
#include "platform/qt/line_delegate.h"
#include "platform/qt/line_list_model.h"
#include "platform/qt/program_icon.h"
#include "window/layout.h"
#include "window/shown_text.h"
#include "window/texts.h"

namespace tarnwick::qt {
namespace {

QRect PixelRect(const ControlLayout& layout) {
  return QRect(Pixels(layout.left), Pixels(layout.top), Pixels(layout.width),
               Pixels(layout.height));
}

// The modal box of the window: an icon by its style, one OK button, plain text.
void ShowModalMessage(QWidget* parent, const Text& text, std::int32_t style, const Text& title) {
  QMessageBox box(parent);
  box.setWindowTitle(ToQString(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(text));
  box.setIcon(style == kInformationStyle ? QMessageBox::Information : QMessageBox::Critical);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

// Whether a folder list entry is an open folder. A line's row is the index
// of its entry, which Form1 opens.
constexpr int kOpenRole = Qt::UserRole + 2;

// The keys of the list's menu entries that have one; F5 holds in the whole
// window.
constexpr QKeyCombination kCopyShortPathKey(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C);
constexpr QKeyCombination kReloadKey(Qt::Key_F5);

// Adds a menu entry with `key` shown beside its caption (none for an empty
// one) that runs `action`, greyed out unless `enabled`.
template <typename Action>
void AddEntry(QMenu& menu, const char16_t* caption, const QKeySequence& key, bool enabled,
              Action action) {
  QAction* entry = menu.addAction(ToQString(caption), action);
  entry->setEnabled(enabled);
  entry->setShortcut(key);
  entry->setShortcutVisibleInContextMenu(true);
}

// Runs `action` on `key` while the focus is on `widget` (Qt::WidgetShortcut)
// or anywhere in its window (Qt::WindowShortcut).
template <typename Action>
void AddKey(QWidget* widget, const QKeySequence& key, Qt::ShortcutContext where, Action action) {
  auto* shortcut = new QShortcut(key, widget);
  shortcut->setContext(where);
  QObject::connect(shortcut, &QShortcut::activated, widget, action);
}

// How far right of a line's left edge the keyboard opens the list's menu,
// under the line, as in the Windows window.
constexpr int kMenuIndent = 16;

// How far the list scrolls sideways for one step, in characters.
constexpr int kCharactersAStep = 2;

// How wide the sentence under a line in its tooltip may be at least, in
// Japanese characters; it is as wide as the line when that is wider.
constexpr int kSentenceCharacters = 36;

// Between a tooltip's frame and its text on either side: the margin and
// indent of Qt's tooltip, and a pixel for the rounding of widths.
constexpr int kToolTipMargin = 3;
// How far right of the place it is given Qt shows a tooltip.
constexpr int kToolTipOffset = 2;

// The Japanese fonts the window's texts prefer to the desktop's, for their
// "~" is a tilde. Most Japanese fonts draw it high and short, after the
// overline that the JIS code had there, and a short name's "~" that follows
// Japanese characters is drawn in their font.
const QStringList kPreferredFamilies = {QStringLiteral("VL PGothic"),
                                        QStringLiteral("Noto Sans CJK JP")};

// Those families, then `families`, each once.
QStringList PreferringJapaneseFamilies(const QStringList& families) {
  QStringList preferred = kPreferredFamilies;
  for (const QString& family : families) {
    if (!preferred.contains(family)) preferred << family;
  }
  return preferred;
}

// Lines for a tooltip, shown as they are: no markup, spaces kept, none
// wrapped further.
QString WholeLinesHtml(const std::vector<Text>& lines) {
  QStringList escaped;
  for (const Text& line : lines) escaped << ToQString(line).toHtmlEscaped();
  return QStringLiteral("<qt><p style=\"white-space:pre\">") +
         escaped.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this,
          [this](int index) { view()->setCurrentIndex(model()->index(index, modelColumn())); });
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new LineDelegate(this));
  setUniformItemSizes(true);
}

void FolderList::ShowEntries(const std::vector<FolderListEntry>& entries, std::size_t current) {
  clear();
  for (const FolderListEntry& entry : entries) {
    auto* line = new QListWidgetItem(ToQString(entry.name), this);
    line->setData(kDepthRole, entry.depth);
    line->setData(kOpenRole, entry.open);
  }
  TakeIcons();
  setCurrentRow(current < entries.size() ? static_cast<int>(current) : -1);
}

void FolderList::changeEvent(QEvent* event) {
  QListWidget::changeEvent(event);
  if (event->type() == QEvent::StyleChange) TakeIcons();
}

void FolderList::TakeIcons() {
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (int row = 0; row < count(); ++row) {
    QListWidgetItem* line = item(row);
    line->setIcon(line->data(kOpenRole).toBool() ? open_icon : closed_icon);
  }
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      currentItem() != nullptr) {
    Open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void FolderList::mouseDoubleClickEvent(QMouseEvent* event) {
  const QListWidgetItem* line = itemAt(event->position().toPoint());
  if (line != nullptr && event->button() == Qt::LeftButton) {
    Open(line);
    return;
  }
  QListWidget::mouseDoubleClickEvent(event);
}

void FolderList::Open(const QListWidgetItem* line) {
  emit opened(static_cast<std::size_t>(row(line)));
}

LineList::LineList(QWidget* parent) : QListView(parent), lines_(new LineListModel(this)) {
  setModel(lines_);
  setItemDelegate(new LineDelegate(this));
  // Every line takes the size of the widest, which spares the view asking
  // each line's size; none is cut short.
  setUniformItemSizes(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void LineList::FitWidestLine() {
  lines_->SetLineSize(QSize());
  const LineListModel::Widest widest = lines_->WidestLine(font());
  if (widest.row >= 0) {
    // The style's size of the widest line, its margins and height, made as
    // wide as the bound if that is wider than the line as measured.
    const QModelIndex line = lines_->index(widest.row, 0);
    QSize size = sizeHintForIndex(line);
    const qreal measured = QFontMetricsF(font()).horizontalAdvance(line.data().toString());
    size.rwidth() += std::max(0, qCeil(widest.width - measured));
    lines_->SetLineSize(size);
  }
  // An arrow or a turn of the wheel moves the lines a few characters, not by
  // a whole line's width as the view would.
  horizontalScrollBar()->setSingleStep(kCharactersAStep * fontMetrics().averageCharWidth());
  scheduleDelayedItemsLayout();
}

void LineList::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  // Another font or style measures the lines otherwise.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitWidestLine();
}

void LineList::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Keyboard) {
    emit menuRequested(KeyboardMenuPlace());
    return;
  }
  if (event->reason() == QContextMenuEvent::Mouse) {
    const QModelIndex line = indexAt(event->pos());
    if (line.isValid()) setCurrentIndex(line);
  }
  emit menuRequested(event->globalPos());
}

void LineList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
    emit menuRequested(KeyboardMenuPlace());
    return;
  }
  QListView::keyPressEvent(event);
}

QPoint LineList::KeyboardMenuPlace() const {
  const QModelIndexList chosen = selectionModel()->selectedRows();
  QPoint at(0, 0);
  if (!chosen.isEmpty()) {
    const QRect line = visualRect(chosen.front());
    const QRect shown = viewport()->rect();
    at = QPoint(std::clamp(line.left() + kMenuIndent, shown.left(), shown.right()),
                std::clamp(line.bottom() + 1, shown.top(), shown.bottom()));
  }
  return viewport()->mapToGlobal(at);
}

MainWindow::MainWindow(SystemServices& system, const Text& start_folder)
    : form_(*this, system), message_box_(ShowModalMessage) {
  setWindowTitle(ToQString(kWindowCaption));
  setWindowIcon(ProgramIcon());
  setFixedSize(Pixels(kClientWidth), Pixels(kClientHeight));
  setAcceptDrops(true);
  CreateControls();
  PlaceControls();
  form_.Start(start_folder);
  ConnectControls();
  // Every event of the program passes eventFilter first: a key pressed
  // anywhere hides a tooltip, as a click does, and the list's and the
  // label's tooltips are shown there.
  QApplication::instance()->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::Load() { form_.Form_Load(); }

void MainWindow::CreateControls() {
  InstallAccessibility();
  drive1_ = new DriveList(this);
  dir1_ = new FolderList(this);
  list1_ = new LineList(this);
  list1_lines_ = list1_->lines();
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  option1_group_ = new QButtonGroup(this);
  for (int index = 0; index < 2; ++index) {
    option1_[index] = new QRadioButton(this);
    option1_group_->addButton(option1_[index], index);
  }
  option1_[kOptionSelectedAtStart]->setChecked(true);
  label1_ = new QLabel(this);
  label1_->setTextFormat(Qt::PlainText);
  label1_->setFocusPolicy(Qt::NoFocus);
  label1_->setContextMenuPolicy(Qt::CustomContextMenu);
  TakeFonts();
  command1_ = new QPushButton(this);
  command1_->setAutoDefault(false);
  // What a screen reader calls the controls without a caption; the buttons
  // go by theirs, the label's text is its description.
  drive1_->setAccessibleName(ToQString(kDrive1Name));
  drive1_->view()->setAccessibleName(ToQString(kDrive1Name));
  dir1_->setAccessibleName(ToQString(kDir1Name));
  list1_->setAccessibleName(ToQString(kList1Name));
  label1_->setAccessibleName(ToQString(kLabel1Name));
}

void MainWindow::TakeFonts() {
  // The list and the label ask only for the families; the rest, the size
  // among it, they take from the window as it changes.
  for (QWidget* widget : {static_cast<QWidget*>(list1_), static_cast<QWidget*>(label1_)}) {
    QFont families;
    families.setFamilies(PreferringJapaneseFamilies(QApplication::font(widget).families()));
    widget->setFont(families);
  }
  // Setting the tooltips' font tells every window again: only when it
  // changes.
  QFont tip = QToolTip::font();
  const QStringList tip_families = PreferringJapaneseFamilies(tip.families());
  if (tip.families() != tip_families) {
    tip.setFamilies(tip_families);
    QToolTip::setFont(tip);
  }
}

// Every control at the place and size of the layout table, with its caption,
// and the focus moving through them in the table's order.
void MainWindow::PlaceControls() {
  QWidget* previous = nullptr;
  for (const ControlLayout& layout : kControls) {
    QWidget* widget = nullptr;
    switch (layout.kind) {
      case ControlKind::DriveList:
        widget = drive1_;
        break;
      case ControlKind::FolderList:
        widget = dir1_;
        break;
      case ControlKind::ListBox:
        widget = list1_;
        break;
      case ControlKind::OptionButton:
        widget = option1_[layout.index];
        break;
      case ControlKind::Label:
        widget = label1_;
        break;
      case ControlKind::PushButton:
        widget = command1_;
        break;
    }
    widget->setObjectName(
        layout.index < 0
            ? QString::fromLatin1(layout.name.data(), static_cast<qsizetype>(layout.name.size()))
            : QStringLiteral("Option1_%1").arg(layout.index));
    widget->setGeometry(PixelRect(layout));
    if (layout.caption != nullptr) {
      const QString caption = ToQString(layout.caption);
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // No mnemonics: "&" would not show.
        button->setText(QString(caption).replace(u'&', QStringLiteral("&&")));
      } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(caption);
      }
    }
    if (layout.takes_focus) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
  }
}

void MainWindow::ConnectControls() {
  connect(drive1_, &QComboBox::activated, this, [this](int index) { form_.Drive1Chosen(index); });
  connect(dir1_, &FolderList::opened, this, [this](std::size_t index) { form_.Dir1Opened(index); });
  connect(option1_group_, &QButtonGroup::idClicked, this,
          [this](int index) { form_.Option1_Click(index); });
  connect(command1_, &QPushButton::clicked, this, [this] { form_.Command1_Click(); });
  connect(list1_, &LineList::menuRequested, this,
          [this](const QPoint& at) { ShowMenu(MakeList1Menu(), at); });
  connect(label1_, &QLabel::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowMenu(MakeLabel1Menu(), label1_->mapToGlobal(at)); });
  AddKey(list1_, QKeySequence::Copy, Qt::WidgetShortcut, [this] { form_.CopyLine(); });
  AddKey(list1_, kCopyShortPathKey, Qt::WidgetShortcut, [this] { form_.CopyShortPath(); });
  AddKey(this, kReloadKey, Qt::WindowShortcut, [this] { form_.Reload(); });
}

bool MainWindow::Option1Item0Value() const { return option1_[0]->isChecked(); }

void MainWindow::SetLabel1Caption(const Text& caption) {
  const QString shown = ToQString(ShownText(caption));
  label1_->setText(shown);
  label1_->setAccessibleDescription(shown);
}

void MainWindow::List1Clear() { list1_lines_->Clear(); }

void MainWindow::List1AddItem(const Text& line) { list1_lines_->Append(line); }

void MainWindow::SetList1Redraw(bool redraw) {
  list1_lines_->SetTellingView(redraw);
  // The lines are all there: as wide as the widest.
  if (redraw) list1_->FitWidestLine();
  list1_->setUpdatesEnabled(redraw);
}

void MainWindow::ShowDir1Entries(const std::vector<FolderListEntry>& entries, std::size_t current) {
  dir1_->ShowEntries(entries, current);
}

void MainWindow::SetDrive1Lines(const std::vector<Text>& lines) {
  drive1_->clear();
  for (const Text& line : lines) drive1_->addItem(ToQString(line));
}

void MainWindow::SetDrive1Index(int index) { drive1_->setCurrentIndex(index); }

int MainWindow::List1ListIndex() const {
  const QModelIndexList chosen = list1_->selectionModel()->selectedRows();
  return chosen.isEmpty() ? -1 : chosen.front().row();
}

void MainWindow::SetList1ListIndex(int index) {
  const QModelIndex line = list1_lines_->index(index, 0);
  list1_->setCurrentIndex(line);
  list1_->scrollTo(line);
}

int MainWindow::List1ListCount() const { return list1_lines_->rowCount(); }

Text MainWindow::List1Line(int index) const { return Text(list1_lines_->Line(index)); }

void MainWindow::SetClipboardText(const Text& text) {
  QGuiApplication::clipboard()->setText(ToQString(text));
}

std::unique_ptr<QMenu> MainWindow::MakeList1Menu() {
  auto menu = std::make_unique<QMenu>(this);
  AddEntry(*menu, kCopyLineCaption, QKeySequence::Copy, form_.CanCopyLine(),
           [this] { form_.CopyLine(); });
  AddEntry(*menu, kCopyAllLinesCaption, {}, form_.CanCopyAllLines(),
           [this] { form_.CopyAllLines(); });
  menu->addSeparator();
  AddEntry(*menu, kCopyShortNameCaption, {}, form_.CanCopyShortName(),
           [this] { form_.CopyShortName(); });
  AddEntry(*menu, kCopyShortPathCaption, kCopyShortPathKey, form_.CanCopyShortPath(),
           [this] { form_.CopyShortPath(); });
  // What the label's menu copies, where the keyboard reaches it.
  AddEntry(*menu, kCopyFolderShortPathCaption, {}, form_.CanCopyFolderShortPath(),
           [this] { form_.CopyFolderShortPath(); });
  menu->addSeparator();
  AddEntry(*menu, kReloadCaption, kReloadKey, true, [this] { form_.Reload(); });
  return menu;
}

std::unique_ptr<QMenu> MainWindow::MakeLabel1Menu() {
  auto menu = std::make_unique<QMenu>(this);
  AddEntry(*menu, kCopyFolderPathCaption, {}, form_.CanCopyFolderShortPath(),
           [this] { form_.CopyFolderShortPath(); });
  return menu;
}

void MainWindow::ShowMenu(std::unique_ptr<QMenu> menu, const QPoint& at) {
  QMenu* shown = menu.release();
  shown->setAttribute(Qt::WA_DeleteOnClose);
  shown->popup(at);
}

bool MainWindow::ShowList1ToolTip(const QPoint& at) {
  const QModelIndex line = list1_->indexAt(list1_->viewport()->mapFromGlobal(at));
  if (!line.isValid()) return false;
  const Text tip = form_.List1ToolTip(line.row());
  if (tip.empty()) return false;
  const std::size_t line_size = std::min(list1_lines_->Line(line.row()).size(), tip.size());
  ShowToolTip(list1_->viewport(), list1_->visualRect(line), at, TextView(tip).substr(0, line_size),
              TextView(tip).substr(line_size));
  return true;
}

bool MainWindow::ShowLabel1ToolTip(const QPoint& at) {
  const QString caption = label1_->text();
  if (label1_->fontMetrics().horizontalAdvance(caption) <= label1_->contentsRect().width()) {
    return false;
  }
  ShowToolTip(label1_, label1_->rect(), at, FromQString(caption), {});
  return true;
}

void MainWindow::ShowToolTip(QWidget* widget, const QRect& area, QPoint at, TextView first,
                             TextView more) const {
  const QFontMetricsF metrics(QToolTip::font());
  const TextWidth width_of = [&metrics](TextView text) {
    return metrics.horizontalAdvance(ToQString(text));
  };
  const QRect screen_area = screen()->availableGeometry();
  const int frame = 2 * (style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth) + kToolTipMargin);
  const double reading_width = kSentenceCharacters * metrics.horizontalAdvance(QChar(u'\u3042'));
  const std::vector<Text> lines = ToolTipLines(
      ShownText(first), ShownText(more), screen_area.width() - frame, reading_width, width_of);
  double widest = 0;
  for (const Text& line : lines) widest = std::max(widest, width_of(line));
  // Qt keeps a tooltip on the screen by the size it had before its text was
  // laid out, which is narrower for lines as long as these: the place given
  // leaves room for the whole width.
  const int width = qCeil(widest) + frame;
  at.setX(std::max(screen_area.left(),
                   std::min(at.x(), screen_area.right() + 1 - kToolTipOffset - width)));
  QToolTip::showText(at, WholeLinesHtml(lines), widget, area);
}

bool MainWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  // The desktop's fonts changed, or its text size: setting the application's
  // font forgets the tooltips' and leaves the list and the label with the
  // desktop's families of before.
  if (event->type() == QEvent::ApplicationFontChange) TakeFonts();
  return handled;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && QToolTip::isVisible()) QToolTip::hideText();
  if (event->type() == QEvent::ToolTip && (watched == label1_ || watched == list1_->viewport())) {
    const QPoint at = static_cast<QHelpEvent*>(event)->globalPos();
    if (!(watched == label1_ ? ShowLabel1ToolTip(at) : ShowList1ToolTip(at))) {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  form_.Dropped(DroppedPaths(*event->mimeData()));
  event->acceptProposedAction();
}

void MainWindow::ShowMessage(const Text& text, std::int32_t style, const Text& title) {
  QToolTip::hideText();
  message_box_(this, text, style, title);
}

void MainWindow::SetBusyCursor(bool busy) {
  // Over every window of the program; it takes effect at once, with no
  // events processed.
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace tarnwick::qt
