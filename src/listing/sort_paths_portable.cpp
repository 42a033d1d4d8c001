// Processors other than x86 get the scalar kernel.
#include "listing/sort_paths.h"

namespace tarnwick {

std::vector<SortKernel> SupportedSortKernels() {
  return {{SortPath::kScalar, sort_kernels::kScalarChains, 1, sort_kernels::RunScalarSteps}};
}

}  // namespace tarnwick
