// The sort's chains in AVX-512 registers, eight a register, with its unsigned
// 64-bit minimum and maximum.
#include <immintrin.h>

#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes : VectorMemory<8> {
  static Vector ShiftIn(Vector last, const std::uint64_t* next) {
    return _mm512_alignr_epi64(Broadcast(*next), last, 1);
  }
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    given_up = _mm512_min_epu64(carried, next);
    carried = _mm512_max_epu64(carried, next);
  }
  // (carried ^ next) | (goes_on_bit & ~carried), in one instruction: below
  // the goes-on bit only where the starts tie and the keys go on.
  static __mmask8 Tied(Vector carried, Vector next, Vector goes_on_bit) {
    return _mm512_cmplt_epu64_mask(_mm512_ternarylogic_epi64(carried, next, goes_on_bit, 0x3E),
                                   goes_on_bit);
  }
  static __mmask8 Either(__mmask8 a, __mmask8 b) { return static_cast<__mmask8>(a | b); }
  static bool Any(__mmask8 tied) { return tied != 0; }
};

}  // namespace

std::int64_t RunAvx512Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return RunSteps<Lanes, kAvx512Chains>(sweep, step, end, ties);
}

}  // namespace tarnwick::sort_kernels
