#include "platform/qt/line_list_model.h"

#include <limits>
#include <stdexcept>

namespace tarnwick::qt {

int LineListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_) return {};
  const TextView line = Line(index.row());
  return QString(reinterpret_cast<const QChar*>(line.data()), static_cast<qsizetype>(line.size()));
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

}  // namespace tarnwick::qt
