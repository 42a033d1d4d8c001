// tarnwick-list: the window's refresh, run for a folder given on the command
// line, with the label and the list printed on the console.
#pragma once

#include <vector>

#include "platform/console.h"
#include "platform/system_services.h"
#include "window/window_controls.h"

namespace tarnwick {

// Exit statuses.
inline constexpr int kListed = 0;
inline constexpr int kInternalFault = 1;
inline constexpr int kCannotList = 2;  // a folder that cannot be read, or a usage error

// Stands for the window: the folder and sort choice are given, the label and
// the lines are kept as the refresh sets them.
class ConsoleControls final : public ListingControls {
 public:
  ConsoleControls(Text folder, bool by_long_name)
      : folder_(std::move(folder)), by_long_name_(by_long_name) {}

  Text Dir1Path() const override { return folder_; }
  bool Option1Item0Value() const override { return by_long_name_; }
  void SetLabel1Caption(const Text& caption) override { label_ = caption; }
  void List1Clear() override { lines_.clear(); }
  void List1AddItem(const Text& line) override { lines_.push_back(line); }
  void SetList1Redraw(bool) override {}

  const Text& label() const { return label_; }
  const std::vector<Text>& lines() const { return lines_; }

 private:
  Text folder_;
  bool by_long_name_;
  Text label_;
  std::vector<Text> lines_;
};

// Runs the program with the arguments after its name; gives the exit status.
int RunTarnwickList(const std::vector<Text>& arguments, SystemServices& system, Console& console);

}  // namespace tarnwick
