#include "platform/linux/vfat_names.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/short_path.h"
#include "support/temp_folder.h"

namespace tarnwick::on_linux {
namespace {

// One entry as the driver fills it in: the short name, then the long name
// (empty for an entry that has only its short name).
struct BuiltEntry {
  VfatEntry entry{};
  BuiltEntry(std::string_view short_name, std::string_view long_name) {
    Put(entry[0], short_name);
    Put(entry[1], long_name);
  }
  static void Put(__fat_dirent& dirent, std::string_view name) {
    std::memcpy(dirent.d_name, name.data(), name.size());
    dirent.d_reclen = static_cast<unsigned short>(name.size());
  }
};

TEST(VfatEntries, GiveTheShortNameBesideTheLongOne) {
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry("LONGFI~1.TXT", "Long File Name.txt").entry),
            (VfatNames{"Long File Name.txt", "LONGFI~1.TXT"}));
  // Names are the disk's bytes as the driver gives them, UTF-8 here.
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry("日本語~1.TXT", "日本語の長い名前.txt").entry),
            (VfatNames{"日本語の長い名前.txt", "日本語~1.TXT"}));
  // An entry with no long name goes by its short name, as readdir shows it.
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry("readme.txt", "").entry),
            (VfatNames{"readme.txt", "readme.txt"}));
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry(".", "").entry), std::nullopt);
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry("..", "").entry), std::nullopt);
  EXPECT_EQ(NamesFromVfatEntry(BuiltEntry("", "").entry), std::nullopt);
}

TEST(VfatEntries, NeverReadPastTheNameWhateverItsLengthSays) {
  // A length beyond the name stops at its NUL.
  BuiltEntry overlong("SHORT.TXT", "short.txt");
  overlong.entry[0].d_reclen = 200;
  overlong.entry[1].d_reclen = 60000;
  EXPECT_EQ(NamesFromVfatEntry(overlong.entry), (VfatNames{"short.txt", "SHORT.TXT"}));

  // A field filled to its end with no NUL at all stops at the field's end.
  VfatEntry full{};
  std::memset(full[0].d_name, 'A', sizeof full[0].d_name);
  full[0].d_reclen = 65535;
  std::memset(full[1].d_name, 'b', sizeof full[1].d_name);
  full[1].d_reclen = 65535;
  const std::optional<VfatNames> names = NamesFromVfatEntry(full);
  ASSERT_TRUE(names);
  EXPECT_EQ(names->short_name, std::string(sizeof full[0].d_name, 'A'));
  EXPECT_EQ(names->long_name, std::string(sizeof full[1].d_name, 'b'));

  // A shorter length than the name holds is taken at its word.
  BuiltEntry cut("ABCDEFGH.TXT", "abcdefgh long.txt");
  cut.entry[0].d_reclen = 8;
  cut.entry[1].d_reclen = 8;
  EXPECT_EQ(NamesFromVfatEntry(cut.entry), (VfatNames{"abcdefgh", "ABCDEFGH"}));
}

TEST(VfatEntries, AreReadToTheEndOrNotAtAll) {
  const std::vector<BuiltEntry> folder = {
      {".", ""}, {"..", ""}, {"LONGFI~1.TXT", "Long File Name.txt"}, {"README.TXT", ""}};
  std::size_t next = 0;
  const auto read_all = [&](VfatEntry& entry) {
    if (next == folder.size()) return 0;
    std::memcpy(&entry, &folder[next++].entry, sizeof entry);
    return 1;
  };
  EXPECT_EQ(ReadVfatEntries(read_all),
            (std::vector<VfatNames>{{"Long File Name.txt", "LONGFI~1.TXT"},
                                    {"README.TXT", "README.TXT"}}));

  // An error part way through leaves no half-read folder.
  next = 0;
  const auto fail_after_two = [&](VfatEntry& entry) {
    if (next == 2) {
      errno = EIO;
      return -1;
    }
    return read_all(entry);
  };
  EXPECT_EQ(ReadVfatEntries(fail_after_two), std::nullopt);
}

TEST(VfatEntries, NameTheirEntriesByEitherName) {
  const auto table = ShortNamesByName({{"Long File Name.txt", "LONGFI~1.TXT"},
                                       {"README.TXT", "README.TXT"},
                                       {"Photos 2024", "PHOTOS~1"}});
  const std::pair<std::string_view, std::string_view> expected[] = {
      {"Long File Name.txt", "LONGFI~1.TXT"},
      {"LONGFI~1.TXT", "LONGFI~1.TXT"},
      {"README.TXT", "README.TXT"},
      {"Photos 2024", "PHOTOS~1"},
      {"PHOTOS~1", "PHOTOS~1"}};
  EXPECT_EQ(table.size(), std::size(expected));
  for (const auto& [name, short_name] : expected) EXPECT_EQ(table.Find(name), short_name) << name;
  EXPECT_EQ(table.Find("LONGFI~2.TXT"), std::nullopt);
}

TEST(VfatFolders, AnotherFileSystemFallsBackQuicklyToTheFatRules) {
  testing::TempFolder folder;
  folder.File("Long File Name.txt");
  // The driver's question has no answer here...
  EXPECT_EQ(ReadVfatFolder(folder.path()), std::nullopt);
  EXPECT_EQ(ReadVfatFolder(folder.path() + "missing/"), std::nullopt);
  // ...and the file system is known without asking it.
  EXPECT_EQ(ShortNameSourceOf(folder.path()), ShortNameSource::FatRules);

  ShortPathResolver resolver;
  EXPECT_EQ(resolver.ShortPath(folder.path() + "Long File Name.txt"),
            folder.path() + "LONGFI~1.TXT");
}

}  // namespace
}  // namespace tarnwick::on_linux
