#include "platform/qt/line_list_model.h"

#include <QFontMetricsF>
#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/qt/qt_text.h"
#include "window/shown_text.h"

namespace tarnwick::qt {
namespace {

// How wide a line is drawn, at most: the sum of its characters' advances,
// each looked up once for the font. A surrogate or a control character
// counts the widest advance of the font.
class WidthBound {
 public:
  explicit WidthBound(const QFont& font)
      : metrics_(font),
        widest_(std::max(metrics_.maxWidth(), metrics_.horizontalAdvance(QChar(0xFFFD)))),
        advances_(0x10000, kNotLookedUp) {}

  qreal operator()(TextView line) {
    qreal width = 0;
    for (const char16_t unit : line) width += Advance(unit);
    return width;
  }

 private:
  static constexpr float kNotLookedUp = -1;

  qreal Advance(char16_t unit) {
    float& advance = advances_[unit];
    if (advance == kNotLookedUp) {
      const QChar c(unit);
      advance = static_cast<float>(c.isSurrogate() || c.category() == QChar::Other_Control
                                       ? widest_
                                       : metrics_.horizontalAdvance(c));
    }
    return advance;
  }

  QFontMetricsF metrics_;
  qreal widest_;
  std::vector<float> advances_;  // by code unit
};

}  // namespace

int LineListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(ShownText(Line(index.row())));
    case Qt::SizeHintRole:
      return line_size_.isValid() ? QVariant(line_size_) : QVariant();
    default:
      return {};
  }
}

void LineListModel::Clear() {
  beginResetModel();
  lines_.Clear();
  shown_ = 0;
  endResetModel();
}

void LineListModel::Append(TextView line) {
  // A view counts its rows in int.
  if (lines_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("the list cannot hold more lines");
  }
  lines_.Append(line);
  if (telling_view_) SetTellingView(true);
}

void LineListModel::SetTellingView(bool telling) {
  telling_view_ = telling;
  const auto count = static_cast<int>(lines_.size());
  if (!telling || shown_ == count) return;
  beginInsertRows(QModelIndex(), shown_, count - 1);
  shown_ = count;
  endInsertRows();
}

TextView LineListModel::Line(int row) const { return lines_[static_cast<std::size_t>(row)]; }

LineListModel::Widest LineListModel::WidestLine(const QFont& font) const {
  WidthBound bound(font);
  Widest widest;
  for (int row = 0; row < shown_; ++row) {
    const qreal width = bound(Line(row));
    if (widest.row < 0 || width > widest.width) widest = {row, width};
  }
  return widest;
}

}  // namespace tarnwick::qt
