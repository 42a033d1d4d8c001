#include "platform/qt/line_delegate.h"

#include <QPainter>
#include <QPen>

namespace tarnwick::qt {
namespace {

// Pixels a folder is indented for each level, as in the Windows window.
constexpr int kFolderIndent = 8;

int Indent(const QModelIndex& index) { return kFolderIndent * index.data(kDepthRole).toInt(); }

// A dotted frame just inside `line`, in the colour of its text.
void DrawFocusMark(QPainter* painter, const QStyleOptionViewItem& line) {
  const QPalette::ColorGroup group =
      (line.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
  const QPalette::ColorRole text =
      (line.state & QStyle::State_Selected) != 0 ? QPalette::HighlightedText : QPalette::Text;
  painter->save();
  painter->setPen(QPen(line.palette.color(group, text), 1, Qt::DotLine));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(line.rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

}  // namespace

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyleOptionViewItem line = option;
  line.rect.setLeft(line.rect.left() + Indent(index));
  const bool focus = (line.state & QStyle::State_HasFocus) != 0;
  line.state &= ~QStyle::State_HasFocus;
  QStyledItemDelegate::paint(painter, line, index);
  if (focus) DrawFocusMark(painter, line);
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
}

}  // namespace tarnwick::qt
