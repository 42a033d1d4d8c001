// How a line of the folder list and of the file list is drawn.
#pragma once

#include <QStyledItemDelegate>

namespace tarnwick::qt {

// A line's depth in the folder list (an int): how far right it is drawn.
inline constexpr int kDepthRole = Qt::UserRole + 1;

// Draws a line as the style draws an item, moved right by its depth, and the
// current line of a list that has the focus with a dotted frame in the
// line's own text colour, which shows on a chosen line as on any other (the
// style's own frame is faint or missing there).
class LineDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tarnwick::qt
