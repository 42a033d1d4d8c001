#include "listing/listing_refresh.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/scope_exit.h"
#include "listing/exchange_sort.h"
#include "listing/listing_texts.h"
#include "listing/path_names.h"

namespace tarnwick {
namespace {

std::int32_t AddOne(std::int32_t count) {
  std::int32_t sum = 0;
  if (__builtin_add_overflow(count, 1, &sum)) {
    throw std::overflow_error("the folder holds more files than can be counted");
  }
  return sum;
}

}  // namespace

void ListFileName(ListingControls& controls, SystemServices& system) {
  const char16_t separator = system.Separator();

  // 1. The folder path always ends in a separator.
  Text FolderPath = controls.Dir1Path();
  if (FolderPath.empty() || FolderPath.back() != separator) FolderPath += separator;

  // 2, 3. The label shows the short form of the whole folder path.
  const Text short_folder_path = GetShortFileName(system, FolderPath);
  controls.ListingFolder(FolderPath, short_folder_path);
  controls.SetLabel1Caption(kLabelPrefix + short_folder_path);
  controls.List1Clear();

  // 4, 5. First pass: count.
  const Text pattern = FolderPath + kEveryName;
  // The three arrays hold their texts packed, one after another.
  TextList LongNames;
  {
    // Ends the enumeration however the passes end: the second pass stops at
    // the count, before the enumeration reaches its end, and would otherwise
    // hold the folder open until the next refresh.
    const ScopeExit end_enumeration([&system] { system.EndEnumeration(); });
    Text name = system.FirstEntry(pattern, kOrdinaryFiles);
    if (name.empty()) return;
    std::int32_t EntryCount = 0;
    // The names' length too, so that the second pass fills a list of the
    // right size rather than growing it by copies.
    std::size_t units = 0;
    do {
      EntryCount = AddOne(EntryCount);
      units += name.size();
      name = system.NextEntry();
    } while (!name.empty());

    // 6, 7. Second pass: fill. The count stands even if files vanished
    // since; their places stay empty.
    const auto size = static_cast<std::size_t>(EntryCount);
    LongNames.Reserve(size, units);
    LongNames.Append(system.FirstEntry(pattern, kOrdinaryFiles));
    for (std::size_t i = 1; i < size; ++i) LongNames.Append(system.NextEntry());
  }
  const std::size_t size = LongNames.size();

  // 8. One short-path call per file; an empty name is no file.
  // A short name takes at most 12 code units (8.3), which most reach: room
  // for them at once, rather than growing the list by copies.
  TextList ShortNames;
  ShortNames.Reserve(size, 12 * size);
  // Each file's path is written over the last one's, after the folder's,
  // and its conversions reuse the room of the last one's.
  Text path = FolderPath;
  ShortPathWork work;
  for (std::size_t i = 0; i < size; ++i) {
    const TextView long_name = LongNames.at(i);
    if (long_name.empty()) {
      ShortNames.Append(Text());
      continue;
    }
    path.resize(FolderPath.size());
    path.append(long_name);
    ShortNames.Append(GetFileNameView(GetShortFileName(system, path, work), separator));
  }
  ShortNames.ShrinkToFit();

  // 9, 10. Lower-cased keys of the chosen name; the exchange sort gives the
  // order of the three arrays.
  const bool by_long_name = controls.Option1Item0Value();
  std::vector<std::int32_t> order;
  {
    // Lower-casing keeps the length.
    TextList SortKeys;
    SortKeys.Reserve(size, by_long_name ? LongNames.units() : ShortNames.units());
    // One text goes through the lower-casing and back for every key, its
    // room kept.
    Text key;
    for (std::size_t i = 0; i < size; ++i) {
      key.assign(by_long_name ? LongNames.at(i) : ShortNames.at(i));
      key = system.ToLowerCase(std::move(key));
      SortKeys.Append(key);
    }
    order = ExchangeSort(SortKeys).order;
  }

  // 11-13. One line per file, the sort-key name first.
  const bool long_name_first = controls.Option1Item0Value();
  // The list's redraw off while the lines go in, and on again afterwards,
  // even when adding a line fails.
  controls.SetList1Redraw(false);
  const ScopeExit redraw_on([&controls] { controls.SetList1Redraw(true); });
  Text line;
  for (const std::int32_t index : order) {
    const TextView long_name = LongNames.at(static_cast<std::size_t>(index));
    const TextView short_name = ShortNames.at(static_cast<std::size_t>(index));
    if (long_name.empty()) continue;
    line.clear();
    line.append(long_name_first ? long_name : short_name)
        .append(kNameSeparator)
        .append(long_name_first ? short_name : long_name);
    controls.List1AddItem(line, long_name, short_name);
  }
}

}  // namespace tarnwick
