// The listing's sort: an exchange sort over adjacent pairs with a fixed number
// of passes. It always runs n passes of n - 1 comparisons, with no early exit,
// and never swaps equal keys, so equal keys keep their first order. Keys are
// compared by 16-bit code unit as unsigned numbers; a key that is a prefix of
// another is the smaller.
//
// Rather than moving three arrays of strings, it moves small fixed-width
// items: an index and an order-preserving packing of the start of each key.
// Two items whose packed starts differ compare as their keys do; only when
// they are equal are the rest of the keys consulted.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/system_services.h"

namespace tarnwick {

struct ExchangeSortResult {
  // order[i] is the index in `keys` of the key that ends up at place i.
  std::vector<std::int32_t> order;
  // Comparisons made: n × (n − 1) for n keys.
  std::int64_t comparisons = 0;
  // Comparisons that had to look past the packed start of the keys.
  std::int64_t full_key_comparisons = 0;
};

// Throws std::length_error for more keys than a 32-bit index can count.
ExchangeSortResult ExchangeSort(std::span<const Text> keys);

// The same sort on items of two 64-bit words, which is what ExchangeSort
// does where the compiler has no 128-bit integers (32-bit Windows).
ExchangeSortResult ExchangeSortOfTwoWords(std::span<const Text> keys);

}  // namespace tarnwick
