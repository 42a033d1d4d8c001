// The whole refresh against a file system of the fuzzer's making: any names
// (any code units), any number of them, short paths of any text, and files
// that come and go between the counting pass and the filling pass. The list
// must hold each file of the filling pass once, beside its own short name,
// in the stable order of the chosen name's lower-cased key, and every path
// of the sort must give that order.
#include "listing/listing_refresh.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "listing/exchange_sort.h"
#include "support/fakes.h"
#include "listing/listing_texts.h"

namespace {

using tarnwick::Text;

constexpr char16_t kEndOfName = 0x0000;
constexpr char16_t kEndOfPass = 0xFFFF;
constexpr char16_t kShortPathFollows = 0xFFFE;
const Text kFolder = u"C:\\Dir\\";

struct Entry {
  Text name;
  Text short_name;  // the last component of its short path
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  tarnwick::testing::FakeSystem system;
  tarnwick::testing::FakeControls controls;
  controls.by_long_name = (data[0] & 1) != 0;
  controls.path = (data[0] & 2) != 0 ? kFolder : kFolder.substr(0, kFolder.size() - 1);
  system.short_paths[kFolder] = u"C:\\DIR\\";

  // Units: names end at 0x0000, passes at 0xFFFF; 0xFFFE in a name starts
  // its short path.
  std::vector<Text> units_in(1);
  Text units((size - 1) / 2, u'\0');
  std::memcpy(units.data(), data + 1, units.size() * 2);
  std::vector<std::vector<Entry>> passes(1);
  std::vector<std::set<Text>> seen(1);
  Entry entry;
  bool in_short_path = false;
  Text short_path;
  const auto end_name = [&] {
    if (!entry.name.empty() && seen.back().insert(entry.name).second) {
      // A short path the fake code page cannot hold is no short path.
      if (in_short_path && tarnwick::testing::FakeEncode(short_path)) {
        system.short_paths[kFolder + entry.name] = short_path;
        const std::size_t last = short_path.rfind(u'\\');
        entry.short_name = last == Text::npos ? Text() : short_path.substr(last + 1);
      }
      passes.back().push_back(entry);
    }
    entry = {};
    in_short_path = false;
    short_path.clear();
  };
  for (const char16_t unit : units) {
    if (unit == kEndOfName) {
      end_name();
    } else if (unit == kEndOfPass) {
      end_name();
      if (passes.size() < 3) {
        passes.emplace_back();
        seen.emplace_back();
      }
    } else if (unit == kShortPathFollows && !in_short_path) {
      in_short_path = true;
    } else {
      (in_short_path ? short_path : entry.name).push_back(unit);
    }
  }
  end_name();
  // A name's short path is the one from its last pass: it is one file.
  for (auto& pass : passes) {
    for (Entry& e : pass) {
      const auto found = system.short_paths.find(kFolder + e.name);
      if (found == system.short_paths.end()) {
        e.short_name.clear();
      } else {
        const std::size_t last = found->second.rfind(u'\\');
        e.short_name = last == Text::npos ? Text() : found->second.substr(last + 1);
      }
    }
  }

  for (const auto& pass : passes) {
    std::vector<Text> names;
    for (const Entry& e : pass) names.push_back(e.name);
    system.folders[kFolder].push_back(names);
  }

  tarnwick::ListFileName(controls, system);

  FUZZ_CHECK(controls.label == Text(tarnwick::kLabelPrefix) + u"C:\\DIR\\");

  // What it should show: the filling pass, cut to the count of the counting
  // pass, stably sorted by key.
  const std::size_t count = passes.front().size();
  const std::vector<Entry>& filling = passes.size() > 1 ? passes[1] : passes[0];
  std::vector<Entry> shown(filling.begin(), filling.begin() + static_cast<std::ptrdiff_t>(
                                                                  std::min(count, filling.size())));
  std::vector<Text> keys;
  for (const Entry& e : shown) {
    keys.push_back(system.ToLowerCase(controls.by_long_name ? e.name : e.short_name));
  }
  std::vector<std::size_t> order(shown.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<Text> expected;
  for (const std::size_t i : order) {
    const Entry& e = shown[i];
    expected.push_back(controls.by_long_name ? e.name + tarnwick::kNameSeparator + e.short_name
                                             : e.short_name + tarnwick::kNameSeparator + e.name);
  }
  FUZZ_CHECK(controls.lines == expected);

  // Every path of the sort that this processor runs gives the same order.
  const tarnwick::TextList key_list(keys);
  for (const tarnwick::SortPath path : tarnwick::SupportedSortPaths()) {
    const tarnwick::ExchangeSortResult sorted = tarnwick::ExchangeSort(key_list, path);
    FUZZ_CHECK(
        std::equal(order.begin(), order.end(), sorted.order.begin(), sorted.order.end(),
                   [](std::size_t a, std::int32_t b) { return a == static_cast<std::size_t>(b); }));
    const auto n = static_cast<std::int64_t>(keys.size());
    FUZZ_CHECK(sorted.comparisons == n * (n > 0 ? n - 1 : 0));
  }

  // The list is cleared after the label, and redraws again at the end.
  FUZZ_CHECK(controls.calls.size() >= 2 && controls.calls[0] == "label" &&
             controls.calls[1] == "clear");
  if (count > 0) FUZZ_CHECK(controls.calls.back() == "redraw on");
  return 0;
}
