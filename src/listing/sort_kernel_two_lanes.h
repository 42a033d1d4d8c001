// The operations on registers of two 64-bit lanes that SSE2 has, for the
// SSE2 and SSE4.2 kernels (see sort_kernel_steps.h). In an unnamed
// namespace, so that each kernel's file compiles its own copy for its own
// instruction set.
#pragma once

#include <emmintrin.h>

#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct TwoLanes : VectorMemory<2> {
  static Vector LoadOne(const std::uint64_t* item) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(item));
  }
  // (carried ^ next) | (goes_on_bit & ~carried): below the goes-on bit only
  // where the starts tie and the keys go on.
  static Vector TieTest(Vector carried, Vector next, Vector goes_on_bit) {
    return _mm_or_si128(_mm_xor_si128(carried, next), _mm_andnot_si128(carried, goes_on_bit));
  }
  static Vector Either(Vector a, Vector b) { return _mm_or_si128(a, b); }
};

}  // namespace
}  // namespace tarnwick::sort_kernels
