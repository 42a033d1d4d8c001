#include "listing/exchange_sort.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>
#include <string>
#include <unordered_set>

#include "listing/sort_paths.h"

namespace tarnwick {
namespace {

using sort_kernels::kAfterAll;
using sort_kernels::kBeforeAll;
using sort_kernels::kMostChains;

// Where a key ends, beside the 65,536 code units a key can go on with.
constexpr std::uint32_t kKeyEnds = 0x10000;

// The code units that decide the order of the keys. Think of the keys laid
// out as a tree, one branch a code unit, each key a path from the root. A
// unit that every key below the same node has at that place (one branch, and
// no key ending there) decides no comparison: two keys below the node both
// have it, and a key from elsewhere parted from them higher up. Leaving out
// every such unit changes no comparison, equal keys and prefixes included,
// and what is left of a key is seldom longer than a few units, however long
// the start it shares with others. The tree is never built: the keys are
// split into groups that share a start, group by group.
struct DecidingUnits {
  // One bit per code unit of every key, key after key: set where it decides.
  std::vector<std::uint64_t> kept;
  // By key, and one past the last: a list holds fewer than 2^32 code units.
  std::vector<std::uint32_t> first_bit;
  // The code units kept anywhere, each once, in the order met.
  std::vector<char16_t> alphabet;
};

// How many members of a group go on with each unit (or end), in a table
// that starts small and grows with the units met, so that small groups,
// small folders and the few units of a big folder's groups cost little.
class ContinuationCounts {
 public:
  // Empties the table for a group of `members`.
  void Start(std::size_t members) {
    Resize(std::bit_ceil(std::min<std::size_t>(2 * members, kFirstSlots)));
    met_.clear();
  }

  // The count of `unit`, 0 when first met.
  std::uint32_t& operator[](std::uint32_t unit) {
    std::size_t slot = SlotOf(unit);
    while (slots_[slot].unit != unit) {
      if (slots_[slot].unit == kNoUnit) {
        // Never more than half full, so that a search ends soon.
        if ((met_.size() + 1) * 2 > slots_.size()) {
          Grow();
          slot = SlotOf(unit);
          continue;
        }
        slots_[slot].unit = unit;
        met_.push_back(unit);
        break;
      }
      slot = (slot + 1) & (slots_.size() - 1);
    }
    return slots_[slot].count;
  }

  // The units met since Start, in the order met.
  const std::vector<std::uint32_t>& Met() const { return met_; }

 private:
  static constexpr std::uint32_t kNoUnit = 0xFFFFFFFF;
  struct Slot {
    std::uint32_t unit;
    std::uint32_t count;
  };
  static constexpr std::size_t kFirstSlots = 256;

  // Fibonacci hashing: the top bits of the unit times 2^32 / φ.
  std::size_t SlotOf(std::uint32_t unit) const {
    return static_cast<std::uint32_t>(unit * 2654435769u) >> shift_;
  }

  void Resize(std::size_t slots) {
    shift_ = 32 - std::countr_zero(slots);
    slots_.assign(slots, Slot{kNoUnit, 0});
  }

  void Grow() {
    const std::vector<Slot> old = std::move(slots_);
    Resize(old.size() * 2);
    for (const Slot& moved : old) {
      if (moved.unit == kNoUnit) continue;
      std::size_t slot = SlotOf(moved.unit);
      while (slots_[slot].unit != kNoUnit) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = moved;
    }
  }

  std::vector<Slot> slots_;
  std::vector<std::uint32_t> met_;
  int shift_ = 0;
};

DecidingUnits FindDecidingUnits(const TextList& keys) {
  DecidingUnits found;
  const std::size_t n = keys.size();
  found.first_bit.resize(n + 1);
  for (std::size_t i = 0; i < n; ++i) {
    found.first_bit[i + 1] = found.first_bit[i] + static_cast<std::uint32_t>(keys[i].size());
  }
  found.kept.assign((found.first_bit[n] + 63) / 64, 0);
  if (n < 2) return found;

  // Groups of keys that share a start of `depth` units, each a range of
  // `members`.
  struct Group {
    std::uint32_t begin, end;
    std::size_t depth;
  };
  std::vector<std::uint32_t> members(n);
  for (std::size_t i = 0; i < n; ++i) members[i] = static_cast<std::uint32_t>(i);
  std::vector<std::uint32_t> regrouped(n);
  std::vector<Group> pending{{0, static_cast<std::uint32_t>(n), 0}};
  // How many members go on with each unit, then where they go.
  ContinuationCounts count;
  std::vector<bool> in_alphabet(0x10000, false);
  while (!pending.empty()) {
    const Group group = pending.back();
    pending.pop_back();
    const TextView first = keys[members[group.begin]];
    // The units that all members share past `depth` decide nothing.
    std::size_t shared = first.size();
    for (std::uint32_t i = group.begin + 1; i < group.end && shared > group.depth; ++i) {
      const TextView key = keys[members[i]];
      const std::size_t limit = std::min(shared, key.size());
      std::size_t d = group.depth;
      while (d < limit && key[d] == first[d]) ++d;
      shared = d;
    }
    const auto continuation = [&](std::uint32_t member) -> std::uint32_t {
      const TextView key = keys[member];
      return shared < key.size() ? key[shared] : kKeyEnds;
    };
    count.Start(group.end - group.begin);
    for (std::uint32_t i = group.begin; i < group.end; ++i) ++count[continuation(members[i])];
    if (count.Met().size() < 2) continue;  // the members are equal keys
    // The units at `shared` decide. Members that go on with the same unit
    // form a group of their own (one alone has nothing more to decide).
    std::uint32_t place = group.begin;
    for (const std::uint32_t unit : count.Met()) {
      const std::uint32_t size = count[unit];
      if (unit != kKeyEnds && size > 1) pending.push_back({place, place + size, shared + 1});
      count[unit] = place;
      place += size;
    }
    for (std::uint32_t i = group.begin; i < group.end; ++i) {
      const std::uint32_t member = members[i];
      const std::uint32_t unit = continuation(member);
      if (unit != kKeyEnds) {
        const std::size_t bit = found.first_bit[member] + shared;
        found.kept[bit / 64] |= std::uint64_t{1} << (bit % 64);
        if (!in_alphabet[unit]) {
          in_alphabet[unit] = true;
          found.alphabet.push_back(static_cast<char16_t>(unit));
        }
      }
      regrouped[count[unit]++] = member;
    }
    std::copy(regrouped.begin() + group.begin, regrouped.begin() + group.end,
              members.begin() + group.begin);
  }
  return found;
}

// Calls take(unit) for each deciding unit of the key, in order, for as long
// as it returns true.
template <typename Take>
void ForEachDecidingUnit(const DecidingUnits& units, TextView key, std::size_t index, Take take) {
  const std::size_t first = units.first_bit[index];
  const std::size_t end = units.first_bit[index + 1];
  std::size_t bit = first;
  while (bit < end) {
    const std::uint64_t word = units.kept[bit / 64] >> (bit % 64);
    if (word == 0) {
      bit = (bit / 64 + 1) * 64;
      continue;
    }
    bit += static_cast<std::size_t>(std::countr_zero(word));
    if (bit >= end || !take(key[bit - first])) return;
    ++bit;
  }
}

// An item, from the top bit down: two bits that are always 0 (see
// sort_kernels.h), the packed start of the key's deciding units (each unit
// replaced by its rank among those that occur, 0 standing for "the key has
// ended"), the goes-on bit (the key has more deciding units than the start
// holds), and the index of the key.
//
// Comparing two items compares their keys, except where both starts are
// equal and both keys go on. Equal starts of keys that end within them are
// equal keys, and their items compare by index, which is right: of two
// equal keys the left one always has the smaller index, since equal keys are
// never swapped.
struct Items {
  std::vector<std::uint64_t> storage;  // with room before and after the items
  std::uint64_t* items = nullptr;
  int index_bits = 0;
  bool ties_possible = false;  // two keys that go on share a start
};

constexpr std::size_t kRoomBefore = 2 * kMostChains;
constexpr std::size_t kRoomAfter = 2 * kMostChains;

Items PackItems(const TextList& keys) {
  DecidingUnits units = FindDecidingUnits(keys);
  // A unit's code is its rank in the alphabet, from 1, looked up by the
  // unit: every deciding unit of every key is coded. The table reaches only
  // as far as the highest unit, so that ASCII keys need little of it.
  std::sort(units.alphabet.begin(), units.alphabet.end());
  std::vector<std::uint16_t> rank_of(units.alphabet.empty() ? 0 : units.alphabet.back() + 1u);
  for (std::size_t rank = 0; rank < units.alphabet.size(); ++rank) {
    rank_of[units.alphabet[rank]] = static_cast<std::uint16_t>(rank);
  }
  const auto code = [&rank_of](char16_t unit) { return std::uint64_t{rank_of[unit]} + 1; };
  const std::size_t n = keys.size();
  Items packed;
  packed.index_bits = std::max(1, static_cast<int>(std::bit_width(n - 1)));
  const int unit_bits = std::max(1, static_cast<int>(std::bit_width(units.alphabet.size())));
  const int start_units = (64 - 2 - 1 - packed.index_bits) / unit_bits;

  packed.storage.assign(kRoomBefore + n + kRoomAfter, kAfterAll);
  packed.items = packed.storage.data() + kRoomBefore;
  std::unordered_set<std::uint64_t> going_on;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t start = 0;
    int taken = 0;
    bool goes_on = false;
    ForEachDecidingUnit(units, keys[i], i, [&](char16_t unit) {
      if (taken == start_units) {
        goes_on = true;
        return false;
      }
      start = start << unit_bits | code(unit);
      ++taken;
      return true;
    });
    start <<= (start_units - taken) * unit_bits;
    const std::uint64_t head = start << 1 | (goes_on ? 1 : 0);
    if (goes_on && !going_on.insert(head).second) packed.ties_possible = true;
    packed.items[i] = head << packed.index_bits | i;
  }
  return packed;
}

class Sorter {
 public:
  Sorter(const TextList& keys, const SortKernel& kernel)
      : keys_(keys), kernel_(kernel), packed_(PackItems(keys)) {
    // Lane j of vector v holds chain v + vectors × (lanes − 1 − j).
    const int vectors = kernel_.chains / kernel_.lanes;
    for (int slot = 0; slot < kernel_.chains; ++slot) {
      const int vector = slot / kernel_.lanes;
      const int lane = slot % kernel_.lanes;
      slot_of_chain_[vector + vectors * (kernel_.lanes - 1 - lane)] = slot;
    }
  }

  ExchangeSortResult Sort() {
    const auto n = static_cast<std::int64_t>(keys_.size());
    for (std::int64_t pass = 0; pass < n; pass += kernel_.chains) {
      RunSweep(static_cast<int>(std::min<std::int64_t>(kernel_.chains, n - pass)));
    }
    ExchangeSortResult result;
    result.comparisons = comparisons_;
    result.full_key_comparisons = full_key_comparisons_;
    result.path = kernel_.path;
    result.order.reserve(keys_.size());
    const std::uint64_t index_mask = (std::uint64_t{1} << packed_.index_bits) - 1;
    for (std::int64_t i = 0; i < n; ++i) {
      result.order.push_back(static_cast<std::int32_t>(packed_.items[i] & index_mask));
    }
    return result;
  }

 private:
  // Runs `passes` passes, one a chain; the chains beyond them start carrying
  // kAfterAll and so pass every item on untouched. Every chain delays the
  // items by two steps (one for the first item it holds, one for handing
  // on) and one that runs no pass by one.
  void RunSweep(int passes) {
    const auto n = static_cast<std::int64_t>(keys_.size());
    sort_kernels::Sweep sweep{};
    sweep.items = packed_.items;
    sweep.offset = 2 * kernel_.chains - (kernel_.chains - passes);
    sweep.goes_on_bit = std::uint64_t{1} << packed_.index_bits;
    for (int chain = 0; chain < kernel_.chains; ++chain) {
      sweep.carried[slot_of_chain_[chain]] = chain < passes ? kBeforeAll : kAfterAll;
      sweep.given_up[slot_of_chain_[chain]] = kBeforeAll;
    }
    const std::int64_t end = n + sweep.offset;
    std::int64_t step = 0;
    while ((step = kernel_.run_steps(sweep, step, end, packed_.ties_possible)) < end) {
      StepWithKeys(sweep, step++);
    }
    comparisons_ += passes * (n - 1);
  }

  // One step of every chain, as a kernel makes it, for a step at which the
  // starts of two items tie: those are ordered by their keys.
  void StepWithKeys(sort_kernels::Sweep& sweep, std::int64_t step) {
    const int last = kernel_.chains - 1;
    sweep.items[step - sweep.offset] = sweep.given_up[slot_of_chain_[last]];
    for (int chain = last; chain >= 0; --chain) {
      const int slot = slot_of_chain_[chain];
      const std::uint64_t next =
          chain == 0 ? sweep.items[step] : sweep.given_up[slot_of_chain_[chain - 1]];
      std::uint64_t& carried = sweep.carried[slot];
      const bool greater = sort_kernels::StartsTie(carried, next, sweep.goes_on_bit)
                               ? KeyGreater(carried, next)
                               : carried > next;
      sweep.given_up[slot] = greater ? next : carried;
      if (!greater) carried = next;
    }
  }

  bool KeyGreater(std::uint64_t left, std::uint64_t right) {
    ++full_key_comparisons_;
    const std::uint64_t index_mask = (std::uint64_t{1} << packed_.index_bits) - 1;
    return keys_[static_cast<std::size_t>(left & index_mask)] >
           keys_[static_cast<std::size_t>(right & index_mask)];
  }

  const TextList& keys_;
  SortKernel kernel_;
  Items packed_;
  int slot_of_chain_[kMostChains] = {};
  std::int64_t comparisons_ = 0;
  std::int64_t full_key_comparisons_ = 0;
};

const std::vector<SortKernel>& Kernels() {
  static const std::vector<SortKernel> kernels = SupportedSortKernels();
  return kernels;
}

const SortKernel& KernelFor(SortPath path) {
  for (const SortKernel& kernel : Kernels()) {
    if (kernel.path == path) return kernel;
  }
  throw std::invalid_argument("this processor cannot run the " + std::string(SortPathName(path)) +
                              " sort");
}

SortPath& ActivePath() {
  static SortPath path = Kernels().front().path;
  return path;
}

}  // namespace

std::string_view SortPathName(SortPath path) {
  switch (path) {
    case SortPath::kScalar:
      return "scalar";
    case SortPath::kSse2:
      return "sse2";
    case SortPath::kSse42:
      return "sse4.2";
    case SortPath::kAvx2:
      return "avx2";
    case SortPath::kAvx512:
      return "avx512";
  }
  return "unknown";
}

std::vector<SortPath> SupportedSortPaths() {
  std::vector<SortPath> paths;
  for (const SortKernel& kernel : Kernels()) paths.push_back(kernel.path);
  return paths;
}

SortPath SortPathNamed(std::string_view name) {
  for (const SortPath path :
       {SortPath::kScalar, SortPath::kSse2, SortPath::kSse42, SortPath::kAvx2, SortPath::kAvx512}) {
    if (SortPathName(path) == name) return KernelFor(path).path;
  }
  throw std::invalid_argument("there is no sort path called '" + std::string(name) + "'");
}

void UseSortPath(SortPath path) { ActivePath() = KernelFor(path).path; }

SortPath ActiveSortPath() { return ActivePath(); }

ExchangeSortResult ExchangeSort(const TextList& keys) {
  return ExchangeSort(keys, ActiveSortPath());
}

ExchangeSortResult ExchangeSort(const TextList& keys, SortPath path) {
  const SortKernel& kernel = KernelFor(path);
  if (keys.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many names to sort");
  }
  if (keys.size() < 2) {
    ExchangeSortResult result;
    result.path = path;
    if (!keys.empty()) result.order = {0};
    return result;
  }
  return Sorter(keys, kernel).Sort();
}

}  // namespace tarnwick
