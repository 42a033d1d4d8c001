// The listing's sort: an exchange sort over adjacent pairs with a fixed number
// of passes. It always runs n passes of n - 1 comparisons, with no early exit,
// and never swaps equal keys, so equal keys keep their first order. Keys are
// compared by 16-bit code unit as unsigned numbers; a key that is a prefix of
// another is the smaller.
//
// Rather than moving three arrays of strings, it moves one 64-bit item per
// key: an order-preserving packing of the start of the key, one bit telling
// whether the key goes on past that start, and the key's index. Comparing two
// items compares their keys, except when both starts are equal and both keys
// go on; only then are the keys themselves consulted.
//
// Many passes run in one sweep over the items, each one place behind the
// one before, held in the lanes of vector registers where the processor has
// them. Every way of running it (a "path") gives the same order.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "text/text_list.h"

namespace tarnwick {

// The ways of running the sort's passes, narrowest first.
enum class SortPath { kScalar, kSse2, kSse42, kAvx2, kAvx512 };

// "scalar", "sse2", "sse4.2", "avx2" or "avx512".
std::string_view SortPathName(SortPath path);

// The paths that this build has and this processor runs, widest first; the
// scalar path is always there.
std::vector<SortPath> SupportedSortPaths();

// The supported path of that name. Throws std::invalid_argument for a name
// that is no path, or a path that this build or processor cannot run.
SortPath SortPathNamed(std::string_view name);

// ExchangeSort(keys) takes the widest supported path unless told otherwise
// here (the benchmark does, to time each path). Throws
// std::invalid_argument for a path that is not supported.
void UseSortPath(SortPath path);
SortPath ActiveSortPath();

struct ExchangeSortResult {
  // order[i] is the index in `keys` of the key that ends up at place i.
  std::vector<std::int32_t> order;
  // Comparisons made: n × (n − 1) for n keys.
  std::int64_t comparisons = 0;
  // Comparisons that had to look at the keys past their packed starts.
  std::int64_t full_key_comparisons = 0;
  SortPath path = SortPath::kScalar;
};

// Throws std::length_error for more keys than a 32-bit index can count.
ExchangeSortResult ExchangeSort(const TextList& keys);

// The same on the given path; throws std::invalid_argument when it is not
// supported.
ExchangeSortResult ExchangeSort(const TextList& keys, SortPath path);

}  // namespace tarnwick
