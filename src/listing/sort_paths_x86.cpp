// On x86 every kernel is built; which of them run is asked of the processor
// (and of the system, which must save the wider registers).
#include "listing/sort_paths.h"

namespace tarnwick {

std::vector<SortKernel> SupportedSortKernels() {
  using namespace sort_kernels;
  __builtin_cpu_init();
  std::vector<SortKernel> kernels;
  if (__builtin_cpu_supports("avx512f")) {
    kernels.push_back({SortPath::kAvx512, kAvx512Chains, 8, RunAvx512Steps});
  }
  if (__builtin_cpu_supports("avx2")) {
    kernels.push_back({SortPath::kAvx2, kAvx2Chains, 4, RunAvx2Steps});
  }
  if (__builtin_cpu_supports("sse4.2")) {
    kernels.push_back({SortPath::kSse42, kSse42Chains, 2, RunSse42Steps});
  }
  if (__builtin_cpu_supports("sse2")) {
    kernels.push_back({SortPath::kSse2, kSse2Chains, 2, RunSse2Steps});
  }
  kernels.push_back({SortPath::kScalar, kScalarChains, 1, RunScalarSteps});
  return kernels;
}

}  // namespace tarnwick
