// tarnwick-list: the window's refresh, run for a folder given on the command
// line, with the label and the list printed on the console.
#pragma once

#include <vector>

#include "listing/listing_controls.h"
#include "platform/console.h"
#include "platform/system_services.h"

namespace tarnwick {

// Exit statuses.
inline constexpr int kListed = 0;
inline constexpr int kInternalFault = 1;
// A folder that cannot be read, output that cannot be written, or a usage
// error.
inline constexpr int kCannotList = 2;

// Stands for the window: the folder and sort choice are given, and the label
// and the lines go to standard output as the refresh makes them, a piece at a
// time, so that a big folder's lines are never all held at once. The label
// waits for the first line, so that a folder that cannot be read prints
// nothing there.
class ConsoleControls final : public ListingControls {
 public:
  ConsoleControls(Text folder, bool by_long_name, Console& console)
      : folder_(std::move(folder)), by_long_name_(by_long_name), console_(console) {}

  // Each line is followed by a tab and the word for where its short name
  // comes from, which `system` tells.
  void ShowSources(SystemServices& system) { sources_ = &system; }
  // Each line, the label's too, ends in a NUL rather than a line feed, so
  // that a name holding a line feed reads back as it is.
  void EndLinesWithNul() { line_end_ = u'\0'; }
  // For a terminal: each control character of a name, and each byte that is
  // not UTF-8, shows as "?", so that no name can drive the terminal.
  void ShowNamesForTerminal() { for_terminal_ = true; }

  Text Dir1Path() const override { return folder_; }
  void ListingFolder(const Text& folder_path, const Text&) override {
    listed_folder_ = folder_path;
  }
  bool Option1Item0Value() const override { return by_long_name_; }
  void SetLabel1Caption(const Text& caption) override { label_ = caption; }
  void List1Clear() override {}
  void List1AddItem(const Text& line, TextView long_name, TextView short_name) override;
  void SetList1Redraw(bool) override {}

  // Writes what is still held: the label of a folder with no files, and the
  // last piece.
  void Finish();

 private:
  void WriteLabelOnce();

  Text folder_;
  bool by_long_name_;
  Console& console_;
  SystemServices* sources_ = nullptr;
  char16_t line_end_ = u'\n';
  bool for_terminal_ = false;
  Text listed_folder_;
  Text label_;
  bool label_written_ = false;
  Text piece_;
};

// Runs the program with the arguments after its name; gives the exit status.
int RunTarnwickList(const std::vector<Text>& arguments, SystemServices& system, Console& console);

}  // namespace tarnwick
