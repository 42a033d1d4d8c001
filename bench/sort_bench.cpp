// Times the listing's sort alone on the sort keys of the benchmark's names
// (bench_names.h), on each path this processor runs, beside the plain
// exchange sort of three string arrays (up to 20,000 keys), and checks that
// both give the same order. It uses nothing but the standard library, so it
// builds and runs on Windows (here, under Wine) as well as on Linux.
//   sort_bench [--sort-path NAME] [SIZE...]    10,000 keys when no size is given
// Prints one line per size and path:
// build=… files=N sort_path=… sort_ms=… sort_ns_per_cmp=… full_key_comparisons=…
//   ref_sort_ns_per_cmp=…
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench_names.h"
#include "listing/exchange_sort.h"
#include "text/lossless_utf8.h"
#include "support/reference_exchange_sort.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarnwick::Text;

constexpr int kMostKeysForReference = 20'000;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// The keys the refresh sorts by long name. The names' only upper-case
// letters are A to Z, so lower-casing those is all the refresh does to them.
std::vector<Text> KeysOfNames(int count) {
  std::vector<Text> keys;
  for (int i = 0; i < count; ++i) {
    Text key = tarnwick::DecodeFileName(tarnwick::bench::NameFor(i));
    for (char16_t& unit : key) {
      if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
    }
    keys.push_back(std::move(key));
  }
  return keys;
}

// The order in which the plain exchange sort leaves the keys, and the time
// it takes.
std::vector<std::int32_t> ReferenceOrder(const std::vector<Text>& keys, double& milliseconds) {
  std::vector<Text> sorted = keys;
  std::vector<Text> indexes;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    indexes.push_back(Text{static_cast<char16_t>(i >> 16), static_cast<char16_t>(i & 0xFFFF)});
  }
  std::vector<Text> unused = indexes;
  const auto start = Clock::now();
  tarnwick::testing::ReferenceExchangeSort(indexes, unused, sorted);
  milliseconds = Milliseconds(Clock::now() - start);
  std::vector<std::int32_t> order;
  for (const Text& index : indexes) order.push_back(index[0] << 16 | index[1]);
  return order;
}

int Measure(int files, const std::vector<tarnwick::SortPath>& paths) {
  const std::vector<Text> keys = KeysOfNames(files);
  const double comparisons = static_cast<double>(files) * (files - 1);
  double reference_ms = 0;
  const bool with_reference = files <= kMostKeysForReference;
  const std::vector<std::int32_t> expected =
      with_reference ? ReferenceOrder(keys, reference_ms) : std::vector<std::int32_t>{};
  for (const tarnwick::SortPath path : paths) {
    // The best of three, or one run where one takes seconds.
    const int runs = files > 50'000 ? 1 : 3;
    double best_ms = 1e300;
    tarnwick::ExchangeSortResult result;
    for (int run = 0; run < runs; ++run) {
      const auto start = Clock::now();
      result = tarnwick::ExchangeSort(tarnwick::TextList(keys), path);
      best_ms = std::min(best_ms, Milliseconds(Clock::now() - start));
    }
    if (with_reference && result.order != expected) {
      std::fprintf(stderr, "the %s sort and the reference disagree on %d keys\n",
                   std::string(tarnwick::SortPathName(path)).c_str(), files);
      return 1;
    }
    std::printf(
        "build=%d-bit files=%d sort_path=%s sort_ms=%.2f sort_ns_per_cmp=%.3f "
        "full_key_comparisons=%lld",
        static_cast<int>(sizeof(void*) * 8), files,
        std::string(tarnwick::SortPathName(path)).c_str(), best_ms,
        files > 1 ? best_ms * 1e6 / comparisons : 0.0,
        static_cast<long long>(result.full_key_comparisons));
    if (with_reference) {
      std::printf(" ref_sort_ns_per_cmp=%.3f\n",
                  files > 1 ? reference_ms * 1e6 / comparisons : 0.0);
    } else {
      std::printf(" ref_sort_ns_per_cmp=skipped\n");
    }
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<tarnwick::SortPath> paths = tarnwick::SupportedSortPaths();
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--sort-path" && i + 1 < argc) {
      try {
        paths = {tarnwick::SortPathNamed(argv[++i])};
      } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
      }
    } else {
      sizes.push_back(std::atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {10'000};
  int status = 0;
  for (const int files : sizes) status |= Measure(files, paths);
  return status;
}
