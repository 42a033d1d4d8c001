#include "listing/exchange_sort.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace tarnwick {
namespace {

// How each key's start is packed: the code units from `offset` on (the part
// that all keys share is skipped), each mapped to its rank in the set of
// units that occur (0 stands for "key ended"), `bits` bits a unit, as many
// units as fit into each 64-bit word.
struct Packing {
  std::size_t offset = 0;
  int bits = 16;
  int units_per_word = 4;
  std::vector<std::uint16_t> code;  // by code unit
};

std::size_t CommonPrefixLength(std::span<const Text> keys) {
  std::size_t common = keys.front().size();
  for (const Text& key : keys.subspan(1)) {
    const TextView first(keys.front().data(), common);
    const auto mismatch = std::ranges::mismatch(first, key);
    common = static_cast<std::size_t>(mismatch.in1 - first.begin());
    if (common == 0) break;
  }
  return common;
}

Packing ChoosePacking(std::span<const Text> keys) {
  Packing packing;
  packing.offset = CommonPrefixLength(keys);
  std::vector<bool> present(0x10000, false);
  for (const Text& key : keys) {
    for (std::size_t i = packing.offset; i < key.size(); ++i) present[key[i]] = true;
  }
  packing.code.assign(0x10000, 0);
  std::uint32_t rank = 0;
  for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
    if (present[unit]) packing.code[unit] = static_cast<std::uint16_t>(++rank);
  }
  // Ranks 1..rank plus 0 for "ended" need bit_width(rank) bits.
  packing.bits = std::max(1, static_cast<int>(std::bit_width(rank)));
  packing.units_per_word = 64 / packing.bits;
  return packing;
}

// Without 128-bit integers: items of two 64-bit words and an index.
// Every key packed whole, word after word, so that the keys whose packed
// starts tie are compared on compact data rather than on the strings.
struct PackedKeys {
  std::vector<std::uint64_t> words;
  std::vector<std::uint32_t> first_word;  // by key
  std::vector<std::uint32_t> word_count;  // by key

  // Word `w` of key `key`; 0 (all "ended") past its last word.
  std::uint64_t Word(std::int32_t key, std::size_t w) const {
    const auto k = static_cast<std::size_t>(key);
    return w < word_count[k] ? words[first_word[k] + w] : 0;
  }
};

PackedKeys PackKeys(std::span<const Text> keys, const Packing& packing) {
  PackedKeys packed;
  packed.first_word.reserve(keys.size());
  packed.word_count.reserve(keys.size());
  const auto per_word = static_cast<std::size_t>(packing.units_per_word);
  for (const Text& key : keys) {
    const std::size_t units = key.size() - packing.offset;
    const std::size_t count = (units + per_word - 1) / per_word;
    if (packed.words.size() + count > std::numeric_limits<std::uint32_t>::max()) {
      throw std::length_error("the names are too long to sort");
    }
    packed.first_word.push_back(static_cast<std::uint32_t>(packed.words.size()));
    packed.word_count.push_back(static_cast<std::uint32_t>(count));
    std::size_t position = packing.offset;
    for (std::size_t w = 0; w < count; ++w) {
      std::uint64_t word = 0;
      for (std::size_t u = 0; u < per_word; ++u, ++position) {
        const std::uint64_t code = position < key.size() ? packing.code[key[position]] : 0;
        word = (word << packing.bits) | code;
      }
      packed.words.push_back(word);
    }
  }
  return packed;
}

// Beyond the packed start: the keys are equal in their first `Words` words.
template <int Words>
bool TailGreater(const PackedKeys& packed, std::int32_t left, std::int32_t right) {
  const std::size_t end = std::max(packed.word_count[static_cast<std::size_t>(left)],
                                   packed.word_count[static_cast<std::size_t>(right)]);
  for (std::size_t w = Words; w < end; ++w) {
    const std::uint64_t a = packed.Word(left, w);
    const std::uint64_t b = packed.Word(right, w);
    if (a != b) return a > b;
  }
  return false;
}

// Every pass carries the larger key of each adjacent pair forward, which is
// the same as swapping the pair when the left one is greater. The first
// `Words` words of each packed key and its index are kept in arrays of their
// own and moved with masks, so that no branch depends on the data; only a tie
// of the packed starts takes a branch, to look further.
template <int Words>
ExchangeSortResult SortPacked(const PackedKeys& packed) {
  const auto n = static_cast<std::int32_t>(packed.first_word.size());
  const auto size = static_cast<std::size_t>(n);
  std::vector<std::uint64_t> columns[Words];
  for (int w = 0; w < Words; ++w) {
    columns[w].resize(size);
    for (std::size_t i = 0; i < size; ++i) {
      columns[w][i] = packed.Word(static_cast<std::int32_t>(i), static_cast<std::size_t>(w));
    }
  }
  std::vector<std::uint32_t> indexes(size);
  for (std::size_t i = 0; i < size; ++i) indexes[i] = static_cast<std::uint32_t>(i);

  std::int64_t comparisons = 0;
  std::int64_t full_key_comparisons = 0;
  std::uint64_t* column[Words];
  for (int w = 0; w < Words; ++w) column[w] = columns[w].data();
  std::uint32_t* index = indexes.data();
  for (std::int32_t pass = 0; pass < n; ++pass) {
    std::uint64_t carried[Words];
    for (int w = 0; w < Words; ++w) carried[w] = column[w][0];
    std::uint32_t carried_index = index[0];
    for (std::size_t k = 0; k + 1 < size; ++k) {
      std::uint64_t next[Words];
      for (int w = 0; w < Words; ++w) next[w] = column[w][k + 1];
      const std::uint32_t next_index = index[k + 1];
      bool greater = carried[Words - 1] > next[Words - 1];
      bool equal = carried[Words - 1] == next[Words - 1];
      for (int w = Words - 2; w >= 0; --w) {
        const bool word_equal = carried[w] == next[w];
        greater = (carried[w] > next[w]) | (word_equal & greater);
        equal = word_equal & equal;
      }
      ++comparisons;
      // Keys that both end within their packed words are equal: only one
      // that goes on needs a look at the rest.
      if (equal && std::max(packed.word_count[carried_index], packed.word_count[next_index]) >
                       static_cast<std::uint32_t>(Words)) [[unlikely]] {
        ++full_key_comparisons;
        greater = TailGreater<Words>(packed, static_cast<std::int32_t>(carried_index),
                                     static_cast<std::int32_t>(next_index));
      }
      // When the carried key is greater it stays carried and the next one
      // takes place k; otherwise the carried key takes place k.
      const std::uint64_t swap = std::uint64_t{0} - static_cast<std::uint64_t>(greater);
      for (int w = 0; w < Words; ++w) {
        const std::uint64_t differ = (carried[w] ^ next[w]) & swap;
        column[w][k] = carried[w] ^ differ;
        carried[w] = next[w] ^ differ;
      }
      const std::uint32_t differ_index =
          (carried_index ^ next_index) & static_cast<std::uint32_t>(swap);
      index[k] = carried_index ^ differ_index;
      carried_index = next_index ^ differ_index;
    }
    for (int w = 0; w < Words; ++w) column[w][size - 1] = carried[w];
    index[size - 1] = carried_index;
  }

  ExchangeSortResult result;
  result.comparisons = comparisons;
  result.full_key_comparisons = full_key_comparisons;
  result.order.assign(indexes.begin(), indexes.end());
  return result;
}

ExchangeSortResult SortTwoWords(std::span<const Text> keys) {
  return SortPacked<2>(PackKeys(keys, ChoosePacking(keys)));
}

#if defined(__SIZEOF_INT128__)

// Where the compiler has 128-bit integers, each item is one: the packed start
// of the key in the high bits, then one bit telling whether the key goes on
// past the packed start, then the key's index. Comparing two items compares
// their starts; when the starts are equal and both keys end within them, the
// keys are equal and the items compare by index, and the left one of two
// equal keys always has the smaller index, since equal keys never swap. So
// only equal starts of two longer keys need a look at the rest.
__extension__ typedef unsigned __int128 Wide;

struct WideLayout {
  int index_bits;
  int units;  // code units in the packed start
};

WideLayout ChooseWideLayout(std::size_t count, const Packing& packing) {
  const int index_bits = std::max(1, static_cast<int>(std::bit_width(count - 1)));
  return {index_bits, (127 - index_bits) / packing.bits};
}

std::vector<Wide> PackWide(std::span<const Text> keys, const Packing& packing,
                           const WideLayout& layout) {
  std::vector<Wide> items;
  items.reserve(keys.size());
  const int prefix_bits = layout.units * packing.bits;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Text& key = keys[i];
    Wide start = 0;
    std::size_t position = packing.offset;
    for (int u = 0; u < layout.units; ++u, ++position) {
      start = (start << packing.bits) | (position < key.size() ? packing.code[key[position]] : 0);
    }
    const Wide goes_on = position < key.size() ? 1 : 0;
    // Left-align the start so that unused low bits fall below it.
    start <<= 127 - layout.index_bits - prefix_bits;
    items.push_back((start << 1 | goes_on) << layout.index_bits | Wide{i});
  }
  return items;
}

// Windows of packed starts shared by two keys or more that go on past them.
std::unordered_map<TextView, std::vector<std::size_t>> SharedStarts(std::span<const Text> keys,
                                                                    std::size_t window_end) {
  std::unordered_map<TextView, std::vector<std::size_t>> starts;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].size() > window_end) starts[TextView(keys[i]).substr(0, window_end)].push_back(i);
  }
  std::erase_if(starts, [](const auto& start) { return start.second.size() < 2; });
  return starts;
}

std::size_t CommonLength(TextView a, TextView b) {
  const auto mismatch = std::ranges::mismatch(a, b);
  return static_cast<std::size_t>(mismatch.in1 - a.begin());
}

// Keys that share a start longer than the packed window would tie on it and
// need the slow look at their tails on every comparison. For a large group of
// them, the part of their common start that no other key reaches can go:
// if no key outside the group agrees with the common start P beyond its
// first d units, every comparison with an outside key is decided within
// those d + 1 units, and keys of the group agree on all of P, so removing
// the rest of P from the group's keys changes no comparison. Gives the
// shortened keys, or nothing when no group is worth it.
std::optional<std::vector<Text>> ShortenSharedStarts(std::span<const Text> keys,
                                                     std::size_t window_end) {
  const std::size_t large = std::max<std::size_t>(2, keys.size() / 256);
  std::optional<std::vector<Text>> shortened;
  for (const auto& [start, members] : SharedStarts(keys, window_end)) {
    if (members.size() < large) continue;
    if (!shortened) shortened.emplace(keys.begin(), keys.end());
    std::vector<Text>& current = *shortened;
    std::size_t common = current[members.front()].size();
    for (const std::size_t member : members) {
      common = CommonLength(TextView(current[members.front()]).substr(0, common), current[member]);
    }
    const TextView shared = TextView(current[members.front()]).substr(0, common);
    std::vector<bool> in_group(keys.size(), false);
    for (const std::size_t member : members) in_group[member] = true;
    std::size_t reached = 0;
    for (std::size_t i = 0; i < current.size(); ++i) {
      if (!in_group[i]) reached = std::max(reached, CommonLength(shared, current[i]));
    }
    const std::size_t keep = reached + 1;
    if (keep >= common) continue;
    for (const std::size_t member : members) current[member].erase(keep, common - keep);
  }
  return shortened;
}

// The exchange sort of the items, four passes at a time: pass p + 1 follows
// one place behind pass p, taking the item that pass p leaves behind as its
// next one, so four chains of comparisons run side by side. Every pass still
// compares every adjacent pair in order.
class WideSorter {
 public:
  WideSorter(std::span<const Text> keys, const Packing& packing, const WideLayout& layout)
      : keys_(keys),
        index_bits_(layout.index_bits),
        tail_start_(packing.offset + static_cast<std::size_t>(layout.units)),
        items_(PackWide(keys, packing, layout)),
        ties_possible_(!SharedStarts(keys, tail_start_).empty()) {}

  ExchangeSortResult Sort() {
    const auto n = static_cast<std::int64_t>(items_.size());
    if (ties_possible_) {
      Passes<true>(n);
    } else {
      Passes<false>(n);
    }
    ExchangeSortResult result;
    result.comparisons = comparisons_;
    result.full_key_comparisons = full_key_comparisons_;
    result.order.reserve(items_.size());
    const Wide index_mask = (Wide{1} << index_bits_) - 1;
    for (const Wide item : items_)
      result.order.push_back(static_cast<std::int32_t>(item & index_mask));
    return result;
  }

 private:
  // Orders one pair: `carried` keeps the greater, the smaller is returned.
  // Without `Ties`, no two keys that go on past their starts share them.
  template <bool Ties>
  Wide Step(Wide& carried, Wide next) {
    ++comparisons_;
    bool greater = carried > next;
    if constexpr (Ties) {
      if (((carried ^ next) >> index_bits_) == 0 && ((carried >> index_bits_) & 1)) [[unlikely]] {
        greater = TailGreater(carried, next);
      }
    }
    const Wide lower = greater ? next : carried;
    carried = greater ? carried : next;
    return lower;
  }

  bool TailGreater(Wide left, Wide right) {
    ++full_key_comparisons_;
    const Wide index_mask = (Wide{1} << index_bits_) - 1;
    const Text& a = keys_[static_cast<std::size_t>(left & index_mask)];
    const Text& b = keys_[static_cast<std::size_t>(right & index_mask)];
    return TextView(a).substr(tail_start_) > TextView(b).substr(tail_start_);
  }

  template <bool Ties>
  void OnePass() {
    const std::size_t n = items_.size();
    Wide carried = items_[0];
    for (std::size_t k = 0; k + 1 < n; ++k) items_[k] = Step<Ties>(carried, items_[k + 1]);
    items_[n - 1] = carried;
  }

  template <bool Ties>
  void FourPasses() {
    const std::size_t n = items_.size();
    Wide* item = items_.data();
    // Chain j runs pass p + j and is j places behind chain 0. Filling the
    // pipeline: chain j starts once chain j - 1 has left place 0 behind.
    Wide c0 = item[0];
    if (n < 5) {
      for (int pass = 0; pass < 4; ++pass) OnePass<Ties>();
      return;
    }
    Wide c1 = Step<Ties>(c0, item[1]);   // chain 0 at place 0
    Wide low = Step<Ties>(c0, item[2]);  // chain 0 at place 1
    Wide c2 = Step<Ties>(c1, low);       // chain 1 at place 0
    low = Step<Ties>(c0, item[3]);       // chain 0 at place 2
    low = Step<Ties>(c1, low);           // chain 1 at place 1
    Wide c3 = Step<Ties>(c2, low);       // chain 2 at place 0
    for (std::size_t k = 3; k + 1 < n; ++k) {
      low = Step<Ties>(c0, item[k + 1]);  // chain 0 at place k
      low = Step<Ties>(c1, low);          // chain 1 at place k - 1
      low = Step<Ties>(c2, low);          // chain 2 at place k - 2
      item[k - 3] = Step<Ties>(c3, low);  // chain 3 at place k - 3
    }
    // Draining: chain 0 is done; the others finish their last places.
    low = Step<Ties>(c1, c0);           // chain 1 at place n - 2
    low = Step<Ties>(c2, low);          // chain 2 at place n - 3
    item[n - 4] = Step<Ties>(c3, low);  // chain 3 at place n - 4
    low = Step<Ties>(c2, c1);           // chain 2 at place n - 2
    item[n - 3] = Step<Ties>(c3, low);  // chain 3 at place n - 3
    item[n - 2] = Step<Ties>(c3, c2);   // chain 3 at place n - 2
    item[n - 1] = c3;
  }

  template <bool Ties>
  void Passes(std::int64_t n) {
    std::int64_t pass = 0;
    for (; pass + 4 <= n; pass += 4) FourPasses<Ties>();
    for (; pass < n; ++pass) OnePass<Ties>();
  }

  std::span<const Text> keys_;
  int index_bits_;
  std::size_t tail_start_;
  std::vector<Wide> items_;
  bool ties_possible_;
  std::int64_t comparisons_ = 0;
  std::int64_t full_key_comparisons_ = 0;
};

ExchangeSortResult SortKeys(std::span<const Text> keys) {
  Packing packing = ChoosePacking(keys);
  WideLayout layout = ChooseWideLayout(keys.size(), packing);
  const std::optional<std::vector<Text>> shortened =
      ShortenSharedStarts(keys, packing.offset + static_cast<std::size_t>(layout.units));
  if (!shortened) return WideSorter(keys, packing, layout).Sort();
  packing = ChoosePacking(*shortened);
  layout = ChooseWideLayout(keys.size(), packing);
  return WideSorter(*shortened, packing, layout).Sort();
}

#else

ExchangeSortResult SortKeys(std::span<const Text> keys) { return SortTwoWords(keys); }

#endif

}  // namespace

ExchangeSortResult ExchangeSortOfTwoWords(std::span<const Text> keys) {
  if (keys.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many names to sort");
  }
  if (keys.empty()) return {};
  return SortTwoWords(keys);
}

ExchangeSortResult ExchangeSort(std::span<const Text> keys) {
  if (keys.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many names to sort");
  }
  if (keys.empty()) return {};
  return SortKeys(keys);
}

}  // namespace tarnwick
