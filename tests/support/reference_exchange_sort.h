// The listing's exchange sort written straight from its steps, on three
// arrays of strings: the reference that the fast sort must match exactly.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/system_services.h"

namespace tarnwick::testing {

// Gives the number of comparisons made.
inline std::int64_t ReferenceExchangeSort(std::vector<Text>& short_names,
                                          std::vector<Text>& long_names, std::vector<Text>& keys) {
  std::int64_t comparisons = 0;
  const auto count = static_cast<std::int32_t>(keys.size());
  for (std::int32_t pass = 0; pass < count; ++pass) {
    for (std::int32_t k = 0; k + 1 < count; ++k) {
      ++comparisons;
      if (keys[k].compare(keys[k + 1]) > 0) {
        std::swap(short_names[k], short_names[k + 1]);
        std::swap(long_names[k], long_names[k + 1]);
        std::swap(keys[k], keys[k + 1]);
      }
    }
  }
  return comparisons;
}

}  // namespace tarnwick::testing
