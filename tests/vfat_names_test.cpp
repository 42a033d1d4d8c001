#include "platform/linux/vfat_names.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

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
  EXPECT_EQ(names->long_name, std::string(sizeof full[1].d_name, 'b'));
  // A short name that long is none.
  EXPECT_EQ(names->short_name, names->long_name);

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

// A FAT disk as the vfat driver answers for it, since none can be mounted
// here: the folder is a real one, on whatever disk the tests run, but the
// resolver takes it for a folder on a FAT disk whose entries are `entries`.
// The names the rules would make differ from the disk's: "Long File
// Name.txt" alone would be LONGFI~1.TXT.
struct FakeFatDisk {
  FakeFatDisk() {
    for (const char* name : {"Long File Name.txt", "README.TXT", "日本語の長い名前.txt",
                             "No Short Name.txt", "Not Listed By The Driver.txt"}) {
      folder.File(name);
    }
  }

  testing::TempFolder folder;
  std::vector<BuiltEntry> entries = {{".", ""},
                                     {"..", ""},
                                     {"LONGFI~2.TXT", "Long File Name.txt"},
                                     {"README.TXT", ""},  // no long name: it goes by its short one
                                     {"日本語~3.TXT", "日本語の長い名前.txt"},
                                     {"", "No Short Name.txt"}};
  // How many entries the driver gives before its call fails; -1 for never.
  int fails_after = -1;
  int folders_read = 0;

  ShortPathResolver Resolver(FolderStateReader read_state = ReadFolderState) {
    return ShortPathResolver(
        std::move(read_state),
        [this](const std::string& path) {
          return path == folder.path() ? ShortNameSource::Vfat : ShortNameSource::FatRules;
        },
        [this](const std::string& path) {
          EXPECT_EQ(path, folder.path());
          ++folders_read;
          int given = 0;
          return ReadVfatEntries([&](VfatEntry& entry) {
            if (given == fails_after) {
              errno = ENOTTY;
              return -1;
            }
            if (given == static_cast<int>(entries.size())) return 0;
            std::memcpy(&entry, &entries[given++].entry, sizeof entry);
            return 1;
          });
        });
  }

  // The short path of an entry of the folder, through a walk of the folder
  // first, as a listing does.
  std::optional<std::string> ShortPath(ShortPathResolver& resolver, const std::string& name) {
    EXPECT_EQ(resolver.ShortPath(folder.path()), folder.path());
    return resolver.ShortPath(folder.path() + name);
  }
};

TEST(VfatFolders, GetTheShortNamesTheDriverGives) {
  FakeFatDisk disk;
  ShortPathResolver resolver = disk.Resolver();
  const std::string& folder = disk.folder.path();
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"Long File Name.txt", folder + "LONGFI~2.TXT"},
      {"LONGFI~2.TXT", folder + "LONGFI~2.TXT"},
      {"README.TXT", folder + "README.TXT"},
      {"日本語の長い名前.txt", folder + "日本語~3.TXT"},
      // An entry the driver gives no short name goes by its long one.
      {"No Short Name.txt", folder + "No Short Name.txt"},
      // The driver's answer is the whole folder.
      {"Not Listed By The Driver.txt", std::nullopt},
      {"LONGFI~1.TXT", std::nullopt},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(disk.ShortPath(resolver, name), expected) << name;
  }
}

TEST(VfatFolders, FallBackToTheFatRulesWhenTheDriverFails) {
  for (const int fails_after : {0, 3}) {
    SCOPED_TRACE(fails_after);
    FakeFatDisk disk;
    disk.fails_after = fails_after;
    ShortPathResolver resolver = disk.Resolver();
    const std::string& folder = disk.folder.path();
    // No half-read folder: every name is made by the rules.
    EXPECT_EQ(disk.ShortPath(resolver, "Long File Name.txt"), folder + "LONGFI~1.TXT");
    EXPECT_EQ(disk.ShortPath(resolver, "日本語の長い名前.txt"), folder + "日本語~1.TXT");
    EXPECT_EQ(disk.ShortPath(resolver, "Not Listed By The Driver.txt"), folder + "NOTLIS~1.TXT");
    EXPECT_EQ(disk.ShortPath(resolver, "LONGFI~2.TXT"), std::nullopt);
  }
}

// A FAT folder's times move in 2 s steps, or not at all in the root: even
// where they look exact and old, each look at the folder asks the driver
// again.
TEST(VfatFolders, AreAskedAgainAtEachLookWhateverTheirTimesSay) {
  FakeFatDisk disk;
  ShortPathResolver resolver = disk.Resolver([](const std::string& path) {
    std::optional<FolderState> state = ReadFolderState(path);
    if (state) state->modified_ns = state->changed_ns = 1'600'000'000'123'456'789;
    return state;
  });
  const std::string& folder = disk.folder.path();
  EXPECT_EQ(disk.ShortPath(resolver, "Long File Name.txt"), folder + "LONGFI~2.TXT");
  EXPECT_EQ(disk.folders_read, 1);
  // Renamed on the disk, which the times do not show.
  disk.entries[2] = {"OTHERL~1.TXT", "Other Long Name.txt"};
  EXPECT_EQ(disk.ShortPath(resolver, "Other Long Name.txt"), folder + "OTHERL~1.TXT");
  EXPECT_EQ(disk.ShortPath(resolver, "Long File Name.txt"), std::nullopt);
  EXPECT_EQ(disk.folders_read, 3);
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
