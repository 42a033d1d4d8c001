// The sort's chains in SSE registers, two a register, with SSE4.2's signed
// 64-bit compare (which orders items as unsigned ones: they are below 2^62).
#include <nmmintrin.h>

#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernel_two_lanes.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes : TwoLanes {
  static Vector ShiftIn(Vector last, const std::uint64_t* next) {
    return _mm_alignr_epi8(LoadOne(next), last, 8);
  }
  // Exclusive or rather than blends: GCC adds a compare to each blend.
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    const Vector swap = _mm_and_si128(_mm_xor_si128(carried, next), _mm_cmpgt_epi64(carried, next));
    given_up = _mm_xor_si128(carried, swap);
    carried = _mm_xor_si128(next, swap);
  }
  static Vector Tied(Vector carried, Vector next, Vector goes_on_bit) {
    return _mm_cmpgt_epi64(goes_on_bit, TieTest(carried, next, goes_on_bit));
  }
  static bool Any(Vector tied) { return _mm_testz_si128(tied, tied) == 0; }
};

}  // namespace

std::int64_t RunSse42Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return RunSteps<Lanes, kSse42Chains>(sweep, step, end, ties);
}

}  // namespace tarnwick::sort_kernels
