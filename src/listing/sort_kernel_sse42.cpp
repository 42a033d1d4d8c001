// The sort's chains in SSE registers, two a register, with SSE4.2's signed
// 64-bit compare (which orders items as unsigned ones: they are below 2^62).
#include <nmmintrin.h>

#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes {
  using Vector = __m128i;
  static constexpr int kCount = 2;
  static Vector Load(const std::uint64_t* items) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(items));
  }
  static void Store(std::uint64_t* items, Vector v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(items), v);
  }
  static Vector Broadcast(std::uint64_t item) {
    return _mm_set1_epi64x(static_cast<long long>(item));
  }
  static Vector ShiftIn(Vector last, const std::uint64_t* next) {
    return _mm_alignr_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(next)), last, 8);
  }
  // Exclusive or rather than blends: GCC adds a compare to each blend.
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    const Vector swap = _mm_and_si128(_mm_xor_si128(carried, next), _mm_cmpgt_epi64(carried, next));
    given_up = _mm_xor_si128(carried, swap);
    carried = _mm_xor_si128(next, swap);
  }
  static Vector Tied(Vector carried, Vector next, Vector goes_on_bit) {
    const Vector starts =
        _mm_or_si128(_mm_xor_si128(carried, next), _mm_andnot_si128(carried, goes_on_bit));
    return _mm_cmpgt_epi64(goes_on_bit, starts);
  }
  static Vector Either(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static bool Any(Vector tied) { return _mm_testz_si128(tied, tied) == 0; }
  static void StoreLowest(std::uint64_t* place, Vector v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(place), v);
  }
};

}  // namespace

std::int64_t RunSse42Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return ties ? RunSteps<Lanes, kSse42Chains, true>(sweep, step, end)
              : RunSteps<Lanes, kSse42Chains, false>(sweep, step, end);
}

}  // namespace tarnwick::sort_kernels
