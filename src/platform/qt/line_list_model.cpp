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
  text_.clear();
  text_.shrink_to_fit();
  ends_.clear();
  ends_.shrink_to_fit();
  shown_ = 0;
  endResetModel();
}

void LineListModel::Append(TextView line) {
  if (line.size() > std::numeric_limits<std::uint32_t>::max() - text_.size() ||
      ends_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("the list cannot hold more lines");
  }
  text_.append(line);
  ends_.push_back(static_cast<std::uint32_t>(text_.size()));
  if (telling_view_) SetTellingView(true);
}

void LineListModel::SetTellingView(bool telling) {
  telling_view_ = telling;
  const auto count = static_cast<int>(ends_.size());
  if (!telling || shown_ == count) return;
  beginInsertRows(QModelIndex(), shown_, count - 1);
  shown_ = count;
  endInsertRows();
}

TextView LineListModel::Line(int row) const {
  const auto at = static_cast<std::size_t>(row);
  const std::size_t start = at == 0 ? 0 : ends_[at - 1];
  return TextView(text_).substr(start, ends_[at] - start);
}

}  // namespace tarnwick::qt
