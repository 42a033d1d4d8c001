// The short names that a disk keeps, as ntfs-3g's attribute and the vfat
// driver give them: each is taken only where it is a valid 8.3 name, and
// where it is none the entry goes by its own name, with the origin to match.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/linux_system_services.h"
#include "platform/linux/ntfs_names.h"
#include "platform/linux/vfat_names.h"
#include "text/lossless_utf8.h"

namespace tarnwick::on_linux {
namespace {

using namespace std::string_view_literals;

struct KeptName {
  std::string_view stored;
  bool valid;
};

// clang-format off
constexpr KeptName kKeptNames[] = {
    {"LONGFI~1.TXT", true},
    {"日本語~1.TXT", true},       // 8 + 3 bytes in code page 932
    {"ABCDEFGH", true},
    {"日本語です~1.TXT", false},  // 12 bytes before the period
    {"ABCDEFGHI.TXTX", false},    // 9 + 4
    {"A/B.TXT", false},
    {"A\\B.TXT", false},
    {".", false},
    {"..", false},
    {"A\x01" "B.TXT", false},
    {"AB\x7F.TXT", false},
    {"A\u0085B.TXT", false},      // a control character of Latin-1's range
    {"AB\0C.TXT"sv, false},
};
// clang-format on

// An ordinary long name, and one that is a valid 8.3 name itself.
struct LongName {
  std::string_view name;
  bool valid;
};
constexpr LongName kLongNames[] = {{"Long File Name.txt", false}, {"readme.txt", true}};

// What the entry goes by, and where its short name comes from, on a disk
// that keeps `kept` for `long_name`.
void ExpectTaken(ShortNameSource disk, const LongName& long_name, const KeptName& kept,
                 const std::string& short_name) {
  SCOPED_TRACE(std::string(kept.stored) + " kept for " + std::string(long_name.name));
  EXPECT_EQ(short_name, kept.valid ? kept.stored : long_name.name);
  LinuxSystemServices system([disk](const std::string&) { return disk; });
  const ShortNameOrigin expected = kept.valid        ? ShortNameOrigin::Disk
                                   : long_name.valid ? ShortNameOrigin::ValidName
                                                     : ShortNameOrigin::None;
  EXPECT_EQ(system.ShortNameOriginOf(u"/disk/", DecodeFileName(long_name.name),
                                     DecodeFileName(short_name)),
            expected);
}

TEST(KeptShortNames, AreTakenFromNtfs3gOnlyWhereTheyAreValid) {
  for (const LongName& long_name : kLongNames) {
    for (const KeptName& kept : kKeptNames) {
      const AttributeRead read = [&](const std::string& path, const char* attribute,
                                     std::span<char> buffer) -> ssize_t {
        EXPECT_EQ(path, "/disk/" + std::string(long_name.name));
        EXPECT_STREQ(attribute, "system.ntfs_dos_name");
        std::copy(kept.stored.begin(), kept.stored.end(), buffer.begin());
        return static_cast<ssize_t>(kept.stored.size());
      };
      const std::optional<std::string> short_name =
          NtfsShortNameOf("/disk/", std::string(long_name.name), read);
      ASSERT_TRUE(short_name);
      ExpectTaken(ShortNameSource::Ntfs3g, long_name, kept, *short_name);
    }
  }
}

TEST(KeptShortNames, AreTakenFromTheVfatDriverOnlyWhereTheyAreValid) {
  // The driver ends each name with a NUL: a name cannot hold one.
  std::vector<KeptName> kept_names;
  std::copy_if(
      std::begin(kKeptNames), std::end(kKeptNames), std::back_inserter(kept_names),
      [](const KeptName& kept) { return kept.stored.find('\0') == std::string_view::npos; });
  for (const LongName& long_name : kLongNames) {
    std::size_t next = 0;
    const auto put = [](__fat_dirent& dirent, std::string_view name) {
      std::memcpy(dirent.d_name, name.data(), name.size());
      dirent.d_reclen = static_cast<unsigned short>(name.size());
    };
    const auto read_next = [&](VfatEntry& entry) {
      if (next == kept_names.size()) return 0;
      put(entry[0], kept_names[next++].stored);
      put(entry[1], long_name.name);
      return 1;
    };
    const std::optional<std::vector<VfatNames>> names = ReadVfatEntries(read_next);
    ASSERT_TRUE(names);
    ASSERT_EQ(names->size(), kept_names.size());
    for (std::size_t i = 0; i < kept_names.size(); ++i) {
      EXPECT_EQ((*names)[i].long_name, long_name.name);
      ExpectTaken(ShortNameSource::Vfat, long_name, kept_names[i], (*names)[i].short_name);
    }
  }
}

}  // namespace
}  // namespace tarnwick::on_linux
