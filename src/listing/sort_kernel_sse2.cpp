// The sort's chains in SSE2 registers, two a register. SSE2 has no 64-bit
// compare: the sign of the difference of two items orders them, which is
// exact because items are below 2^62.
#include <emmintrin.h>

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
    const __m128d item = _mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(next)));
    return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(last), item, 1));
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
    const Vector starts =
        _mm_or_si128(_mm_xor_si128(carried, next), _mm_andnot_si128(carried, goes_on_bit));
    return _mm_sub_epi64(starts, goes_on_bit);
  }
  static Vector Either(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static bool Any(Vector tied) { return _mm_movemask_pd(_mm_castsi128_pd(tied)) != 0; }
  static void StoreLowest(std::uint64_t* place, Vector v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(place), v);
  }
};

}  // namespace

std::int64_t RunSse2Steps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return ties ? RunSteps<Lanes, kSse2Chains, true>(sweep, step, end)
              : RunSteps<Lanes, kSse2Chains, false>(sweep, step, end);
}

}  // namespace tarnwick::sort_kernels
