// A stand-in for a toolkit's window, for tests of Form1.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "window/window_controls.h"

namespace tarnwick::testing {

// A toolkit's window that keeps what Form1 does to it.
class FakeWindow final : public WindowControls {
 public:
  bool by_long_name = true;
  Text label;
  std::vector<Text> lines;
  int refreshes = 0;  // times the label was set
  std::vector<FolderListEntry> folder_entries;
  std::size_t current_folder_entry = 0;
  std::vector<Text> drive_lines;
  int drive_index = -1;
  int chosen_line = -1;
  std::optional<Text> clipboard;
  std::optional<PlatformError> clipboard_refusal;  // what SetClipboardText throws, if set
  bool busy = false;
  bool busy_while_listing = true;  // at every line and label
  struct Message {
    Text text;
    std::int32_t style;
    Text title;
    bool busy;  // the cursor while it was shown
  };
  std::vector<Message> messages;

  bool Option1Item0Value() const override { return by_long_name; }
  void SetLabel1Caption(const Text& caption) override {
    label = caption;
    ++refreshes;
    busy_while_listing &= busy;
  }
  void List1Clear() override { lines.clear(); }
  void List1AddItem(const Text& line) override {
    lines.push_back(line);
    busy_while_listing &= busy;
  }
  void SetList1Redraw(bool) override {}
  void ShowDir1Entries(const std::vector<FolderListEntry>& entries, std::size_t current) override {
    folder_entries = entries;
    current_folder_entry = current;
  }
  void SetDrive1Lines(const std::vector<Text>& new_lines) override {
    drive_lines = new_lines;
    drive_index = -1;
  }
  void SetDrive1Index(int index) override { drive_index = index; }
  void SetList1ListIndex(int index) override { chosen_line = index; }
  int List1ListIndex() const override { return chosen_line; }
  int List1ListCount() const override { return static_cast<int>(lines.size()); }
  Text List1Line(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
  void SetClipboardText(const Text& text) override {
    if (clipboard_refusal) throw *clipboard_refusal;
    clipboard = text;
  }
  void ShowMessage(const Text& text, std::int32_t style, const Text& title) override {
    messages.push_back({text, style, title, busy});
  }
  void SetBusyCursor(bool on) override {
    EXPECT_NE(on, busy) << "the busy cursor was set twice the same way";
    busy = on;
  }
};

}  // namespace tarnwick::testing
