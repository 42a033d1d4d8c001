#include "platform/qt/line_delegate.h"

namespace tarnwick::qt {
namespace {

// Pixels a folder is indented for each level, as in the Windows window.
constexpr int kFolderIndent = 8;

int Indent(const QModelIndex& index) { return kFolderIndent * index.data(kDepthRole).toInt(); }

}  // namespace

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyleOptionViewItem line = option;
  line.rect.setLeft(line.rect.left() + Indent(index));
  QStyledItemDelegate::paint(painter, line, index);
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
}

}  // namespace tarnwick::qt
