// The sort's chains in general-purpose registers, one chain a "vector", for
// processors without a vector kernel.
#include "listing/sort_kernel_steps.h"
#include "listing/sort_kernels.h"

namespace tarnwick::sort_kernels {
namespace {

struct Lanes {
  using Vector = std::uint64_t;
  static constexpr int kCount = 1;
  static Vector Load(const std::uint64_t* items) { return *items; }
  static void Store(std::uint64_t* items, Vector v) { *items = v; }
  static Vector Broadcast(std::uint64_t item) { return item; }
  static Vector ShiftIn(Vector, const std::uint64_t* next) { return *next; }
  // Conditional moves: no branch depends on the items.
  static void Order(Vector& carried, Vector& given_up, Vector next) {
    const bool greater = carried > next;
    given_up = greater ? next : carried;
    carried = greater ? carried : next;
  }
  static bool Tied(Vector carried, Vector next, Vector goes_on_bit) {
    return StartsTie(carried, next, goes_on_bit);
  }
  static bool Either(bool a, bool b) { return a || b; }
  static bool Any(bool tied) { return tied; }
  static void StoreLowest(std::uint64_t* place, Vector v) { *place = v; }
};

}  // namespace

std::int64_t RunScalarSteps(Sweep& sweep, std::int64_t step, std::int64_t end, bool ties) {
  return RunSteps<Lanes, kScalarChains>(sweep, step, end, ties);
}

}  // namespace tarnwick::sort_kernels
