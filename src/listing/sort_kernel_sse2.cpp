// The sort's chains in SSE2 registers, two a register. SSE2 has no 64-bit
// compare: the sign of the difference of two items orders them, which is
// exact because items are below 2^62.
#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernel_two_lanes.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes : TwoLanes {
  static Vector ShiftIn(Vector last, const std::uint64_t* next) {
    return _mm_castpd_si128(
        _mm_shuffle_pd(_mm_castsi128_pd(last), _mm_castsi128_pd(LoadOne(next)), 1));
  }
  // All ones in the lanes where a is below b.
  static Vector Below(Vector a, Vector b) {
    const Vector difference = _mm_sub_epi64(a, b);
    return _mm_shuffle_epi32(_mm_srai_epi32(difference, 31), _MM_SHUFFLE(3, 3, 1, 1));
  }
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    const Vector swap = _mm_and_si128(_mm_xor_si128(carried, next), Below(next, carried));
    given_up = _mm_xor_si128(carried, swap);
    carried = _mm_xor_si128(next, swap);
  }
  // The sign bit of each lane tells.
  static Vector Tied(Vector carried, Vector next, Vector goes_on_bit) {
    return _mm_sub_epi64(TieTest(carried, next, goes_on_bit), goes_on_bit);
  }
  static bool Any(Vector tied) { return _mm_movemask_pd(_mm_castsi128_pd(tied)) != 0; }
};

}  // namespace

std::int64_t RunSse2Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return RunSteps<Lanes, kSse2Chains>(sweep, step, end, ties);
}

}  // namespace tarnwick::sort_kernels
