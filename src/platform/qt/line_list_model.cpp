#include "platform/qt/line_list_model.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace tarnwick::qt {
namespace {

QString ToQString(TextView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// An upper bound of how wide a line is drawn, cheap enough to take for every
// line of a big folder: a printable ASCII character counts its own advance,
// any other code unit the widest advance of the font or of the characters
// that a fallback font draws for a Japanese name. Each gets half a pixel
// more for rounding.
class WidthBound {
 public:
  explicit WidthBound(const QFontMetricsF& metrics) {
    for (char16_t c = kFirstPrintable; c < kLastPrintable; ++c) {
      ascii_[c] = metrics.horizontalAdvance(QChar(c)) + kRounding;
    }
    other_ = metrics.maxWidth();
    for (const char16_t c : std::u16string_view(u"\u3042\u6F22\uFF37\u21D4\uFFFD")) {
      other_ = std::max(other_, metrics.horizontalAdvance(QChar(c)));
    }
    other_ += kRounding;
  }

  qreal operator()(TextView line) const {
    qreal width = 0;
    for (const char16_t unit : line) {
      width += unit >= kFirstPrintable && unit < kLastPrintable ? ascii_[unit] : other_;
    }
    return width;
  }

 private:
  static constexpr char16_t kFirstPrintable = 0x20;
  static constexpr char16_t kLastPrintable = 0x7F;
  static constexpr qreal kRounding = 0.5;
  std::array<qreal, kLastPrintable> ascii_{};
  qreal other_ = 0;
};

}  // namespace

int LineListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(Line(index.row()));
    case Qt::SizeHintRole:
      return line_size_.isValid() ? QVariant(line_size_) : QVariant();
    case Qt::ToolTipRole:
      return tool_tip_ ? tool_tip_(index.row()) : QVariant();
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

int LineListModel::WidestRow(const QFont& font) const {
  // Measuring every line of a big folder would take long. The line with the
  // highest bound is measured first; after it, only a line whose bound beats
  // the widest width measured so far can be wider, and only such a line is
  // measured.
  const QFontMetricsF metrics(font);
  const WidthBound bound(metrics);
  int widest = -1;
  qreal highest_bound = -1;
  for (int row = 0; row < shown_; ++row) {
    const qreal line_bound = bound(Line(row));
    if (line_bound > highest_bound) {
      widest = row;
      highest_bound = line_bound;
    }
  }
  if (widest < 0) return -1;
  qreal widest_width = metrics.horizontalAdvance(ToQString(Line(widest)));
  for (int row = 0; row < shown_; ++row) {
    if (row == widest || bound(Line(row)) <= widest_width) continue;
    const qreal width = metrics.horizontalAdvance(ToQString(Line(row)));
    if (width > widest_width) {
      widest = row;
      widest_width = width;
    }
  }
  return widest;
}

}  // namespace tarnwick::qt
