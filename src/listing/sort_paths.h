// The kernels of the sort that this build has (see sort_kernels.h), for
// the dispatcher in exchange_sort.cpp. Which file implements this is chosen
// by the build: sort_paths_x86.cpp on x86 processors, sort_paths_portable.cpp
// elsewhere.
#pragma once

#include <cstdint>
#include <vector>

#include "listing/exchange_sort.h"
#include "listing/sort_kernels.h"

namespace tarnwick {

struct SortKernel {
  SortPath path;
  int chains;
  int lanes;  // a vector's
  std::int64_t (*run_steps)(sort_kernels::Sweep& sweep, std::int64_t step, std::int64_t end,
                            bool ties);
};

// The kernels that this processor can run, widest first; the scalar one is
// always last.
std::vector<SortKernel> SupportedSortKernels();

}  // namespace tarnwick
