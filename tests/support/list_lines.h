// The list's lines written out for the tests: each file's two names joined by
// " ⇔ ", the name the list is sorted by first.
#pragma once

#include <span>
#include <vector>

#include "text/text.h"

namespace tarnwick::testing {

struct FileNames {
  Text long_name;
  Text short_name;
};

// The lines for `files`, in the order given.
inline std::vector<Text> ListLines(std::span<const FileNames> files, bool by_long_name) {
  std::vector<Text> lines;
  for (const auto& [long_name, short_name] : files) {
    lines.push_back(by_long_name ? long_name + u" \u21D4 " + short_name
                                 : short_name + u" \u21D4 " + long_name);
  }
  return lines;
}

}  // namespace tarnwick::testing
