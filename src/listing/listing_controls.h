// The listing's seam: what the refresh reads from the window's controls and
// writes to them. The window's own seam builds on it; the console program
// stands in for a window with a display of its own.
#pragma once

#include "text/text.h"

namespace tarnwick {

// The controls that show a listing: the sort choice it reads, and the label
// and list it writes. The lines themselves go through ListingControls to the
// window, and from the window to a toolkit without their names.
class ListingDisplay {
 public:
  virtual ~ListingDisplay() = default;

  // `Option1` item 0: true when it is the selected button of the pair, which
  // means sorting by long name.
  virtual bool Option1Item0Value() const = 0;

  // `Label1`: sets the caption.
  virtual void SetLabel1Caption(const Text& caption) = 0;

  // `List1`: removes every line.
  virtual void List1Clear() = 0;

  // `List1`: whether it redraws. The refresh turns it off before adding the
  // lines and back on after the last one.
  virtual void SetList1Redraw(bool redraw) = 0;
};

// What the refresh reads and writes: the folder to list, and the display.
class ListingControls : public ListingDisplay {
 public:
  // `Dir1`: full path of the folder shown, with or without a final separator.
  virtual Text Dir1Path() const = 0;

  // Told before the label is set: the folder being listed, ending in the
  // separator, and its short form (empty when it has none).
  virtual void ListingFolder(const Text& folder_path, const Text& short_folder_path) = 0;

  // `List1`: appends `line` after the last one. `long_name` and `short_name`
  // are the two names it pairs, as the refresh made them, kept beside the
  // line: a name may itself hold the separator " ⇔ ".
  virtual void List1AddItem(const Text& line, TextView long_name, TextView short_name) = 0;
};

}  // namespace tarnwick
