// The inner loop of the exchange sort, once per instruction set. Each kernel
// is in a file of its own, compiled for its instruction set; only the
// dispatcher calls one, and only on a processor that has what it needs. So
// that no inline function of a shared header is compiled with wider
// instructions than the rest of the program, this header and the kernels
// use no standard library beyond fixed-width integers.
//
// A sweep runs `chains` passes at once. Chain 0 runs the first of them over
// the items in order; chain c + 1 runs the next pass one step behind chain
// c, taking as its next item the one chain c gave up (left behind) on the
// step before. Each step of a chain is one comparison of the exchange sort:
// of the item it carries and the next one, it keeps the greater and gives up
// the smaller, which is what swapping the pair when the left one is greater
// does. The last chain's items are final for the sweep.
//
// A chain starts carrying kBeforeAll, so the first item it meets becomes
// its first carried item, as a pass begins; after the last item come
// kAfterAll items, which make each chain give up what it still carries. A
// chain that starts carrying kAfterAll gives up every item as it comes: it
// runs no pass, which is how a sweep runs fewer passes than it has chains.
#pragma once

#include <cstdint>

namespace tarnwick::sort_kernels {

// Items are below 2^62, so the sentinels and every item are non-negative as
// signed numbers: a signed compare orders them as an unsigned one, and the
// difference of two of them cannot overflow.
inline constexpr std::uint64_t kBeforeAll = 0;
inline constexpr std::uint64_t kAfterAll = std::uint64_t{1} << 62;

inline constexpr int kMostChains = 64;

// A 64-bit build has 16 vector registers (32 with AVX-512), a 32-bit one 8,
// which bounds how many chains a kernel can keep in registers.
inline constexpr bool kManyRegisters = sizeof(void*) == 8;

// Chains of each kernel, a multiple of its lanes. The scalar kernel's are
// as many as its loop keeps in general-purpose registers (two each).
inline constexpr int kScalarChains = kManyRegisters ? 4 : 2;
inline constexpr int kSse2Chains = kManyRegisters ? 12 : 6;
inline constexpr int kSse42Chains = kManyRegisters ? 12 : 6;
inline constexpr int kAvx2Chains = kManyRegisters ? 24 : 12;
inline constexpr int kAvx512Chains = kManyRegisters ? 64 : 24;

// One sweep. The chains' state is kept by slot: the lanes of the kernel's
// first vector, then those of its second, and so on. Lane j of vector v
// holds chain v + vectors × (lanes − 1 − j): chain c + 1 sits in the same
// lane of the next vector, and the last vector hands on to the first one a
// lane lower, so a step moves items between lanes only once. Chain 0 is the
// highest lane of the first vector, the last chain lane 0 of the last.
struct Sweep {
  // Place 0 of the items. The places from -offset to -1 are scratch; those
  // from the item count on hold kAfterAll, at least `offset` of them.
  std::uint64_t* items;
  // What the last chain gives up at step s belongs at place s - offset.
  std::int64_t offset;
  // The bit of an item that tells whether its key goes on past the packed
  // start; the bits below it are the index, those above the start.
  std::uint64_t goes_on_bit;
  std::uint64_t carried[kMostChains];
  std::uint64_t given_up[kMostChains];  // on the last step
};

// Two items whose packed starts are equal and whose keys both go on past
// them: the items alone cannot order them. Static, so that each file has a
// copy compiled for its own instruction set.
static inline bool StartsTie(std::uint64_t a, std::uint64_t b, std::uint64_t goes_on_bit) {
  return ((a ^ b) | (goes_on_bit & ~a)) < goes_on_bit;
}

// Each kernel runs the steps from `step` up to `end` and returns the step it
// stopped at: `end`, or, when `ties` is set, the first step at which some
// chain would compare two items whose starts tie, left undone for the
// caller to make with the keys themselves.
std::int64_t RunScalarSteps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties);
std::int64_t RunSse2Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties);
std::int64_t RunSse42Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties);
std::int64_t RunAvx2Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties);
std::int64_t RunAvx512Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties);

}  // namespace tarnwick::sort_kernels
