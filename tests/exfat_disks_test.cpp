// Telling an exFAT disk: by the answers of a disk and of udev stood in for,
// and on a real exFAT image on a loop device, mounted through exfat-fuse by
// ctest's fixture (scripts/exfat-disk), named to the tests by
// TARNWICK_EXFAT_DISK.
#include "platform/linux/exfat_disks.h"

#include <gtest/gtest.h>
#include <linux/magic.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

#include <filesystem>
#include <fstream>

#include "listing/path_names.h"
#include "platform/linux/linux_system_services.h"
#include "platform/linux/ntfs_names.h"
#include "platform/linux/short_path.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"

namespace tarnwick::on_linux {
namespace {

using testing::TempFolder;

// The first bytes of a boot sector: a jump, then the file system's name.
const std::string kExfatStart(
    "\xEB\x76\x90"
    "EXFAT   ");
const std::string kNtfsStart(
    "\xEB\x52\x90"
    "NTFS    ");

TEST(ExfatDisks, AreToldByTheirBootSectorElseByWhatUdevFound) {
  EXPECT_TRUE(IsExfatBootSector(kExfatStart + std::string(501, '\0')));
  EXPECT_FALSE(IsExfatBootSector(kNtfsStart + std::string(501, '\0')));
  EXPECT_FALSE(IsExfatBootSector(kExfatStart.substr(0, 10)));
  EXPECT_FALSE(IsExfatBootSector(""));

  const TempFolder udev;
  const dev_t device = ::makedev(259, 3);
  const auto udev_says = [&udev](const std::string& type) {
    std::ofstream(udev.path() + "b259:3")
        << "S:disk/by-label/STICK\nE:ID_FS_VERSION=1.0\nE:ID_FS_TYPE=" << type << "\nG:systemd\n";
  };
  const auto sector = [](std::optional<std::string> bytes) {
    return [bytes](dev_t) { return bytes; };
  };
  // The disk's own word counts first.
  udev_says("ntfs");
  EXPECT_TRUE(DeviceHoldsExfat(device, sector(kExfatStart), udev.path()));
  udev_says("exfat");
  EXPECT_FALSE(DeviceHoldsExfat(device, sector(kNtfsStart), udev.path()));
  // Where the disk cannot be read, udev's.
  EXPECT_TRUE(DeviceHoldsExfat(device, sector(std::nullopt), udev.path()));
  udev_says("ntfs");
  EXPECT_FALSE(DeviceHoldsExfat(device, sector(std::nullopt), udev.path()));
  EXPECT_FALSE(DeviceHoldsExfat(::makedev(259, 4), sector(std::nullopt), udev.path()));
  EXPECT_EQ(UdevFileSystemType("E:ID_FS_TYPE_VERSION=2\nE:ID_FS_TYPE=vfat"), "vfat");
  EXPECT_EQ(UdevFileSystemType("E:ID_FS_USAGE=filesystem\n"), std::nullopt);
}

// A folder of its own on the exFAT disk for one test, removed afterwards.
class ExfatDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* disk = std::getenv("TARNWICK_EXFAT_DISK");
    ASSERT_NE(disk, nullptr) << "TARNWICK_EXFAT_DISK is not set: run these tests through ctest, "
                                "whose fixture mounts the exFAT disk";
    mount_point_ = std::string(disk) + "/";
    const std::filesystem::path why = std::filesystem::path(disk).parent_path() / "not-mounted";
    if (std::filesystem::exists(why)) GTEST_SKIP() << testing::ReadWholeFile(why.string());
    struct statfs status {};
    ASSERT_EQ(::statfs(mount_point_.c_str(), &status), 0) << mount_point_ << " is not there";
    ASSERT_EQ(status.f_type, FUSE_SUPER_MAGIC) << mount_point_ << " is not the mounted exFAT disk";
    path_ = folder_.emplace(mount_point_).path();
  }

  std::string mount_point_;  // ".../exFAT Disk/"
  std::optional<TempFolder> folder_;
  std::string path_;  // ".../exFAT Disk/twXXXXXX/"
};

TEST_F(ExfatDiskTest, IsKnownForWhatItIs) {
  struct stat status {};
  ASSERT_EQ(::stat(path_.c_str(), &status), 0);
  const std::optional<std::string> sector = ReadBootSector(status.st_dev);
  ASSERT_TRUE(sector) << "the loop device's boot sector cannot be read";
  EXPECT_TRUE(IsExfatBootSector(*sector));
  EXPECT_FALSE(AnswersForWindowsAttributes(path_));
  EXPECT_TRUE(FolderOnExfatDevice(path_));
  EXPECT_EQ(ShortNameSourceOf(path_), ShortNameSource::OwnNames);
  EXPECT_EQ(ShortNameSourceOf(mount_point_), ShortNameSource::OwnNames);
  // The folder that holds the mount point is on another disk.
  EXPECT_FALSE(FolderOnExfatDevice(mount_point_ + "../"));
  EXPECT_EQ(ShortNameSourceOf(mount_point_ + "../"), ShortNameSource::FatRules);
}

// As on Windows, every name on the disk stands for itself, in the label and
// in the lines, and --source says that no short name is kept.
TEST_F(ExfatDiskTest, EveryNameIsItsOwnShortName) {
  const std::string folder = path_ + "Long Folder Name/";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  for (const char* name : {"A long name that has none.txt", "readme.txt", "日本語の名前.txt"}) {
    std::ofstream(folder + name).put('x');
  }
  LinuxSystemServices system;
  std::string above(kShortPathBufferSize, '\0');
  above.resize(system.GetShortPathNameA(
      mount_point_.substr(0, mount_point_.size() - sizeof "exFAT Disk"), above));
  ASSERT_FALSE(above.empty());

  const TempFolder scratch;
  const testing::ProgramRun run =
      testing::RunCommand(scratch.path(), testing::ShellQuoted(TARNWICK_LIST_PROGRAM) +
                                              " --source " + testing::ShellQuoted(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  // "exFAT Disk" is a name in a folder of a disk that keeps no short names
  // but is no exFAT: there the FAT rules make its name.
  EXPECT_EQ(run.out,
            "パス名－" + above + "EXFATD~1/" + path_.substr(mount_point_.size()) +
                "Long Folder Name/\n"
                "A long name that has none.txt \u21D4 A long name that has none.txt\tnone\n"
                "readme.txt \u21D4 readme.txt\t8.3\n"
                "日本語の名前.txt \u21D4 日本語の名前.txt\tnone\n");
}

}  // namespace
}  // namespace tarnwick::on_linux
