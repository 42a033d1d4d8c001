// The sort's chains in AVX2 registers, four a register. AVX2 compares 64-bit
// lanes as signed numbers, which orders items as unsigned ones: they are
// below 2^62.
#include <immintrin.h>

#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes : VectorMemory<4> {
  static Vector ShiftIn(Vector last, const std::uint64_t* next) {
    const Vector rotated = _mm256_permute4x64_epi64(last, _MM_SHUFFLE(0, 3, 2, 1));
    return _mm256_blend_epi32(rotated, Broadcast(*next), 0xC0);
  }
  // Exclusive or rather than blends: GCC adds a compare to each blend.
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    const Vector swap =
        _mm256_and_si256(_mm256_xor_si256(carried, next), _mm256_cmpgt_epi64(carried, next));
    given_up = _mm256_xor_si256(carried, swap);
    carried = _mm256_xor_si256(next, swap);
  }
  static Vector Tied(Vector carried, Vector next, Vector goes_on_bit) {
    const Vector starts =
        _mm256_or_si256(_mm256_xor_si256(carried, next), _mm256_andnot_si256(carried, goes_on_bit));
    return _mm256_cmpgt_epi64(goes_on_bit, starts);
  }
  static Vector Either(Vector a, Vector b) { return _mm256_or_si256(a, b); }
  static bool Any(Vector tied) { return _mm256_testz_si256(tied, tied) == 0; }
};

}  // namespace

std::int64_t RunAvx2Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return RunSteps<Lanes, kAvx2Chains>(sweep, step, end, ties);
}

}  // namespace tarnwick::sort_kernels
