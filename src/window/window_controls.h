// The window seam: what the refresh and the handlers take from the window's
// controls. Each window toolkit makes the controls, draws them and forwards
// their notifications to Form1; all logic stays on this side, so a fake can
// stand in for a toolkit in a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/system_services.h"
#include "window/folder_list.h"

namespace tarnwick {

// Message box styles: the information icon, the error icon; one OK button.
inline constexpr std::int32_t kInformationStyle = 64;
inline constexpr std::int32_t kErrorStyle = 16;

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

// A toolkit's window: the display of the listing, and the controls around
// it as plain views. It raises no notification for what is set here.
class WindowControls : public ListingDisplay {
 public:
  // `List1`: appends a line after the last one.
  virtual void List1AddItem(const Text& line) = 0;

  // `List1`: chooses line `index` and scrolls it into view.
  virtual void SetList1ListIndex(int index) = 0;

  // `Dir1`: shows `entries`, the one at `current` (the folder shown) chosen.
  virtual void ShowDir1Entries(const std::vector<FolderListEntry>& entries,
                               std::size_t current) = 0;

  // `Drive1`: shows one line for each drive, none chosen.
  virtual void SetDrive1Lines(const std::vector<Text>& lines) = 0;

  // `Drive1`: chooses line `index`, or none for -1.
  virtual void SetDrive1Index(int index) = 0;

  // `List1`: the line chosen, or -1 for none; how many lines it holds; line
  // `index` as it shows it.
  virtual int List1ListIndex() const = 0;
  virtual int List1ListCount() const = 0;
  virtual Text List1Line(int index) const = 0;

  // Puts `text` on the clipboard. Throws PlatformError when the clipboard
  // cannot be had.
  virtual void SetClipboardText(const Text& text) = 0;

  // A modal message box with one OK button; returns when it is closed.
  virtual void ShowMessage(const Text& text, std::int32_t style, const Text& title) = 0;

  // The busy cursor over the program's window while `busy`, the usual one
  // again after: a refresh runs on the one thread, and a long one must not
  // leave the window looking dead without a sign.
  virtual void SetBusyCursor(bool busy) = 0;
};

}  // namespace tarnwick
