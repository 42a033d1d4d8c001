// A console in memory for tests of tarnwick-list: it keeps what is written
// to each stream, and says of each whether it is a terminal as it is told.
#pragma once

#include <vector>

#include "platform/console.h"

namespace tarnwick::testing {

class FakeConsole final : public Console {
 public:
  std::vector<Text> arguments;
  // A relative path is made full against this folder (no final separator).
  Text current_folder = u"C:\\Dir";
  char16_t separator = u'\\';
  bool output_is_terminal = false;
  bool error_is_terminal = false;
  bool reader_gone = false;  // standard output's reader has stopped reading

  Text out;
  Text err;
  mutable std::vector<Text> full_path_requests;  // every path made full

  std::vector<Text> Arguments() const override { return arguments; }

  // "." is the current folder; a path that starts with a separator or a
  // drive is full already.
  Text FullPath(const Text& path) const override {
    full_path_requests.push_back(path);
    if (path == u".") return current_folder;
    const bool full =
        (!path.empty() && path.front() == separator) || (path.size() >= 2 && path[1] == u':');
    return full ? path : current_folder + separator + path;
  }

  void WriteOut(TextView text) override {
    if (reader_gone) throw OutputClosed();
    out.append(text);
  }
  void WriteError(TextView text) override { err.append(text); }

  bool OutputIsTerminal() const override { return output_is_terminal; }
  bool ErrorIsTerminal() const override { return error_is_terminal; }
};

}  // namespace tarnwick::testing
