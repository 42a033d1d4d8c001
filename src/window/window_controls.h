// The window seam: what the handlers take from the window's controls. Each
// window toolkit makes the controls, draws them and forwards their
// notifications to Form1; all logic stays on this side, so a fake can stand in
// for a toolkit in a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "listing/listing_controls.h"
#include "platform/system_services.h"
#include "window/folder_list.h"

namespace tarnwick {

// Message box styles: the information icon, the error icon; one OK button.
inline constexpr std::int32_t kInformationStyle = 64;
inline constexpr std::int32_t kErrorStyle = 16;

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
