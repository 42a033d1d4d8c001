// The vfat driver's answer for a folder, entry by entry: each a pair of
// __fat_dirent (short name, long name) holding any bytes, whatever their
// lengths say. A name is read only up to its length, its NUL or the end of
// its field; a short name is taken only where it may be one, and a plain 8.3
// name always; otherwise the entry goes by its long name. The table of the
// folder finds the last entry's short name by its long name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "kept_short_name_check.h"
#include "platform/linux/vfat_names.h"

namespace {

std::string_view Field(const __fat_dirent& dirent) {
  const std::size_t stored = ::strnlen(dirent.d_name, sizeof dirent.d_name);
  return {dirent.d_name, stored < dirent.d_reclen ? stored : dirent.d_reclen};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tarnwick::on_linux::VfatEntry;
  std::vector<VfatEntry> entries(size / sizeof(VfatEntry));
  if (!entries.empty()) std::memcpy(entries.data(), data, entries.size() * sizeof(VfatEntry));
  std::size_t next = 0;
  const std::optional<std::vector<tarnwick::on_linux::VfatNames>> names =
      tarnwick::on_linux::ReadVfatEntries([&](VfatEntry& entry) {
        if (next == entries.size()) return 0;
        std::memcpy(&entry, &entries[next++], sizeof entry);
        return 1;
      });
  FUZZ_CHECK(names.has_value());

  std::size_t k = 0;
  for (const VfatEntry& entry : entries) {
    const std::string_view short_field = Field(entry[0]);
    const std::string_view long_field = Field(entry[1]);
    const std::string_view long_name = long_field.empty() ? short_field : long_field;
    if (long_name.empty() || long_name == "." || long_name == "..") continue;
    FUZZ_CHECK(k < names->size());
    const tarnwick::on_linux::VfatNames& got = (*names)[k++];
    FUZZ_CHECK(got.long_name == long_name);
    const bool taken = got.short_name == short_field;
    FUZZ_CHECK(got.short_name == long_name || (taken && fuzz::MayBeKeptShortName(short_field)));
    if (fuzz::IsPlainShortName(short_field)) FUZZ_CHECK(taken);
  }
  FUZZ_CHECK(k == names->size());

  if (!names->empty()) {
    const auto table = tarnwick::on_linux::ShortNamesByName(*names);
    FUZZ_CHECK(table.Find(names->back().long_name) == names->back().short_name);
  }
  return 0;
}
