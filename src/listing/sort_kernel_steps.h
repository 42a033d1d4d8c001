// The steps of a sweep (see sort_kernels.h), written once for every kernel
// over the operations of its instruction set, `Lanes`: a struct local to the
// kernel's file, so that each file compiles its own copy. It gives
//   Vector, kCount           a register of kCount 64-bit lanes
//   Load, Store              kCount items from or to memory
//   Broadcast(item)          the item in every lane
//   ShiftIn(last, next)      lanes 1.. of `last` one lane down, *next in the top lane
//   Order(carried, given_up, next)
//                            per lane: carried keeps the greater of carried and
//                            next, given_up gets the smaller
//   Tied(carried, next, goes_on_bit), Either, Any
//                            which lanes would compare starts that tie
//   StoreLowest(place, v)    lane 0 of v to *place
// The vector kernels take Vector, kCount and the moves to and from memory
// from VectorMemory.
#pragma once

#include <cstring>

#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
// In an unnamed namespace, as `Lanes` is: each kernel's file compiles its own
// copy for its own instruction set.
namespace {

// A register of kLanes 64-bit lanes, and its moves to and from memory, which
// are the same at every width. Vector is the type the instruction set's own
// header names (__m128i, __m256i, __m512i): GCC's vector type of as many
// long longs, which copies as one unaligned move and takes a scalar added to
// it in every lane.
template <int kLanes>
struct VectorMemory {
  using Vector [[gnu::vector_size(kLanes * sizeof(std::uint64_t)), gnu::may_alias]] = long long;
  static constexpr int kCount = kLanes;
  static Vector Load(const std::uint64_t* items) {
    Vector v;
    std::memcpy(&v, items, sizeof v);
    return v;
  }
  static void Store(std::uint64_t* items, Vector v) { std::memcpy(items, &v, sizeof v); }
  static Vector Broadcast(std::uint64_t item) { return Vector{} + static_cast<long long>(item); }
  static void StoreLowest(std::uint64_t* place, Vector v) { std::memcpy(place, &v, sizeof *place); }
};

}  // namespace

template <typename Lanes, int kChains, bool kTies>
std::int64_t RunStepsChecking(Sweep& sweep, std::int64_t step, std::int64_t end) {
  using Vector = typename Lanes::Vector;
  constexpr int kVectors = kChains / Lanes::kCount;
  static_assert(kVectors * Lanes::kCount == kChains && kChains <= kMostChains);

  Vector carried[kVectors];
  Vector given_up[kVectors];
  for (int v = 0; v < kVectors; ++v) {
    carried[v] = Lanes::Load(sweep.carried + v * Lanes::kCount);
    given_up[v] = Lanes::Load(sweep.given_up + v * Lanes::kCount);
  }
  const Vector goes_on_bit = Lanes::Broadcast(sweep.goes_on_bit);
  std::uint64_t* const items = sweep.items;
  const std::int64_t offset = sweep.offset;
  for (; step < end; ++step) {
    // The first vector takes the next item into chain 0 (its top lane) and,
    // a lane lower, what the last vector gave up; every other vector takes
    // what the vector before it gave up, lane for lane.
    const Vector first = Lanes::ShiftIn(given_up[kVectors - 1], items + step);
    if constexpr (kTies) {
      auto tied = Lanes::Tied(carried[0], first, goes_on_bit);
      for (int v = 1; v < kVectors; ++v) {
        tied = Lanes::Either(tied, Lanes::Tied(carried[v], given_up[v - 1], goes_on_bit));
      }
      if (Lanes::Any(tied)) break;
    }
    // The last chain's item of the last step is final for this sweep.
    Lanes::StoreLowest(items + step - offset, given_up[kVectors - 1]);
    // From the last vector back, so that each takes what the one before it
    // gave up on the last step.
    for (int v = kVectors - 1; v > 0; --v) Lanes::Order(carried[v], given_up[v], given_up[v - 1]);
    Lanes::Order(carried[0], given_up[0], first);
  }
  for (int v = 0; v < kVectors; ++v) {
    Lanes::Store(sweep.carried + v * Lanes::kCount, carried[v]);
    Lanes::Store(sweep.given_up + v * Lanes::kCount, given_up[v]);
  }
  return step;
}

// A kernel's entry (see sort_kernels.h): the loop without the look for
// ties where no two starts can tie.
template <typename Lanes, int kChains>
std::int64_t RunSteps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return ties ? RunStepsChecking<Lanes, kChains, true>(sweep, step, end)
              : RunStepsChecking<Lanes, kChains, false>(sweep, step, end);
}

}  // namespace tarnwick::sort_kernels
