// The lines of the Qt window's list, held compactly in a TextList: every
// line's code units one after another in one buffer, and where each ends. A
// folder of a hundred thousand files costs its text and four bytes a line,
// not an item object and a string of its own for each.
#pragma once

#include <QAbstractListModel>
#include <QSize>

#include "text/text.h"
#include "text/text_list.h"

class QFont;

namespace tarnwick::qt {

class LineListModel final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void Clear();
  // Appends a line. While the view is not told, lines are kept aside and
  // shown all at once when it is told again.
  void Append(TextView line);
  void SetTellingView(bool telling);

  // Line `row` as the refresh made it; the view shows its ShownText.
  TextView Line(int row) const;

  // How wide the widest line can be drawn in `font`, and its row (-1 when
  // there is none). A line's width is bounded by the sum of its characters'
  // advances, which takes no text layout: kerning and ligatures only narrow
  // the names of the scripts a desktop shows here.
  struct Widest {
    int row = -1;
    qreal width = 0;
  };
  Widest WidestLine(const QFont& font) const;

  // The size of every line (Qt::SizeHintRole); an invalid size leaves it to
  // the view.
  void SetLineSize(QSize size) { line_size_ = size; }

 private:
  TextList lines_;
  int shown_ = 0;  // the lines the view knows of
  bool telling_view_ = true;
  QSize line_size_;
};

}  // namespace tarnwick::qt
