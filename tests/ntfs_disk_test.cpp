// The Linux services on a real Windows disk: an NTFS image mounted through
// ntfs-3g by ctest's fixture (scripts/ntfs-disk), named to the tests by
// TARNWICK_NTFS_DISK.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <set>

#include "listing/listing_refresh.h"
#include "listing/path_names.h"
#include "platform/linux/linux_system_services.h"
#include "platform/linux/ntfs_names.h"
#include "platform/linux/short_path.h"
#include "support/fake_window.h"
#include "support/fakes.h"
#include "support/list_lines.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"
#include "window/main_window.h"

namespace tarnwick::on_linux {
namespace {

using testing::FakeControls;

constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kArchive = 0x20;

// A folder of its own on the NTFS disk for one test, removed afterwards.
class NtfsDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* disk = std::getenv("TARNWICK_NTFS_DISK");
    const bool fuse_missing = ::access("/dev/fuse", F_OK) != 0;
    if (fuse_missing) GTEST_SKIP() << "FUSE is missing (no /dev/fuse), so no NTFS disk is mounted";
    ASSERT_NE(disk, nullptr) << "TARNWICK_NTFS_DISK is not set: run these tests through ctest, "
                                "whose fixture mounts the NTFS disk";
    mount_point_ = std::string(disk) + "/";
    struct statfs status {};
    ASSERT_EQ(::statfs(mount_point_.c_str(), &status), 0) << mount_point_ << " is not there";
    ASSERT_EQ(status.f_type, FUSE_SUPER_MAGIC) << mount_point_ << " is not the mounted NTFS disk";
    path_ = folder_.emplace(mount_point_).path();
  }

  void File(const std::string& name) const {
    const int fd = ::creat((path_ + name).c_str(), 0644);
    ASSERT_GE(fd, 0) << "cannot make " << name;
    ::close(fd);
  }
  void Folder(const std::string& name) const {
    ASSERT_EQ(::mkdir((path_ + name).c_str(), 0755), 0) << "cannot make " << name;
  }
  // What Windows would have written when it made the entry.
  void SetShortName(const std::string& name, const std::string& short_name) const {
    ASSERT_EQ(::lsetxattr((path_ + name).c_str(), "system.ntfs_dos_name", short_name.data(),
                          short_name.size(), 0),
              0)
        << "cannot give " << name << " the short name " << short_name;
  }
  void SetAttributes(const std::string& name, std::uint32_t attributes) const {
    const std::array<unsigned char, 4> big_endian = {
        static_cast<unsigned char>(attributes >> 24), static_cast<unsigned char>(attributes >> 16),
        static_cast<unsigned char>(attributes >> 8), static_cast<unsigned char>(attributes)};
    ASSERT_EQ(::lsetxattr((path_ + name).c_str(), "system.ntfs_attrib_be", big_endian.data(),
                          big_endian.size(), 0),
              0)
        << "cannot set the attributes of " << name;
  }

  std::set<Text> Enumerate(LinuxSystemServices& system, std::int32_t attributes) const {
    std::set<Text> names;
    for (Text name = system.FirstEntry(DecodeFileName(path_) + u"*.*", attributes); !name.empty();
         name = system.NextEntry()) {
      names.insert(name);
    }
    return names;
  }

  static std::optional<std::string> ShortPathOf(LinuxSystemServices& system,
                                                const std::string& path) {
    std::string buffer(kShortPathBufferSize, ' ');
    system.GetShortPathNameA(path, buffer);
    const auto end = buffer.find('\0');
    if (end == std::string::npos) return std::nullopt;
    return buffer.substr(0, end);
  }

  std::string mount_point_;  // ".../Windows Disk/"
  std::optional<testing::TempFolder> folder_;
  std::string path_;  // ".../Windows Disk/twXXXXXX/"
};

TEST_F(NtfsDiskTest, IsKnownForWhatItIs) {
  EXPECT_EQ(ShortNameSourceOf(path_), ShortNameSource::Ntfs3g);
  EXPECT_EQ(ShortNameSourceOf(mount_point_), ShortNameSource::Ntfs3g);
  // The folder that holds the mount point is on another disk.
  EXPECT_EQ(ShortNameSourceOf(mount_point_ + "../"), ShortNameSource::FatRules);
  EXPECT_TRUE(IsNtfs3gFolder(path_));
  EXPECT_FALSE(IsNtfs3gFolder("/proc/"));
}

TEST_F(NtfsDiskTest, ListingShowsTheShortNamesKeptOnTheDisk) {
  // Each file, in the order listed, with the short name that the disk keeps
  // for it. QUARTE~7.XLS is not the name the FAT rules would give: it must
  // come from the disk. An entry without one keeps its own, as Windows shows
  // it.
  const std::pair<std::string, std::string> on_disk[] = {{"A long name that has none.txt", ""},
                                                         {"Long File Name.txt", "LONGFI~1.TXT"},
                                                         {"Quarterly Report.xlsx", "QUARTE~7.XLS"},
                                                         {"readme.txt", ""},
                                                         {"日本語の長い名前.txt", "日本語~1.TXT"}};
  std::vector<testing::FileNames> files;
  for (const auto& [name, short_name] : on_disk) {
    File(name);
    if (!short_name.empty()) SetShortName(name, short_name);
    files.push_back({DecodeFileName(name), DecodeFileName(short_name.empty() ? name : short_name)});
  }
  Folder("Sub Folder");

  LinuxSystemServices system;
  FakeControls controls;
  controls.path = DecodeFileName(path_.substr(0, path_.size() - 1));
  // Each short name sorts as its long one: both orders list the files alike.
  for (const bool by_long_name : {true, false}) {
    controls.by_long_name = by_long_name;
    ListFileName(controls, system);
    EXPECT_EQ(controls.lines, testing::ListLines(files, by_long_name));
  }
}

TEST_F(NtfsDiskTest, ShortNamesTellWhereTheyComeFrom) {
  File("Long File Name.txt");
  SetShortName("Long File Name.txt", "LONGFI~1.TXT");
  File("A long name that has none.txt");
  File("readme.txt");

  LinuxSystemServices system;
  const auto origin = [this, &system](const std::string& name) {
    const std::optional<std::string> short_path = ShortPathOf(system, path_ + name);
    EXPECT_TRUE(short_path) << name;
    const std::string short_name =
        short_path.value_or("").substr(short_path.value_or("").rfind('/') + 1);
    return system.ShortNameOriginOf(DecodeFileName(path_), DecodeFileName(name),
                                    DecodeFileName(short_name));
  };
  EXPECT_EQ(origin("Long File Name.txt"), ShortNameOrigin::Disk);
  EXPECT_EQ(origin("A long name that has none.txt"), ShortNameOrigin::None);
  EXPECT_EQ(origin("readme.txt"), ShortNameOrigin::ValidName);

  const testing::TempFolder scratch;
  const testing::ProgramRun run =
      testing::RunCommand(scratch.path(), testing::ShellQuoted(TARNWICK_LIST_PROGRAM) +
                                              " --source " + testing::ShellQuoted(path_));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string label = run.out.substr(0, run.out.find('\n') + 1);
  EXPECT_EQ(label.find('\t'), std::string::npos) << label;
  EXPECT_EQ(run.out.substr(label.size()),
            "A long name that has none.txt \u21D4 A long name that has none.txt\tnone\n"
            "Long File Name.txt \u21D4 LONGFI~1.TXT\tdisk\n"
            "readme.txt \u21D4 readme.txt\t8.3\n");
}

// A file made from Linux gets no DOS name: the window offers no short name
// of it to copy, while it does for a file that has one.
TEST_F(NtfsDiskTest, TheWindowCopiesOnlyShortNamesTheDiskKeeps) {
  File("A long name that has none.txt");
  File("Long File Name.txt");
  SetShortName("Long File Name.txt", "LONGFI~1.TXT");

  LinuxSystemServices system;
  testing::FakeWindow window;
  Form1 form(window, system);
  form.Start(DecodeFileName(path_));
  form.Form_Load();
  ASSERT_EQ(window.lines,
            (std::vector<Text>{u"A long name that has none.txt ⇔ A long name that has none.txt",
                               u"Long File Name.txt ⇔ LONGFI~1.TXT"}));
  window.chosen_line = 0;
  EXPECT_FALSE(form.CanCopyShortName());
  EXPECT_FALSE(form.CanCopyShortPath());
  form.CopyShortPath();
  EXPECT_FALSE(window.clipboard);

  window.chosen_line = 1;
  EXPECT_TRUE(form.CanCopyShortName());
  form.CopyShortPath();
  const std::optional<std::string> folder = ShortPathOf(system, path_);
  ASSERT_TRUE(folder);
  EXPECT_EQ(window.clipboard, DecodeFileName(*folder + "LONGFI~1.TXT"));
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(NtfsDiskTest, HiddenAndSystemEntriesAreLeftOut) {
  File("Hidden.txt");
  SetAttributes("Hidden.txt", kHiddenAttribute | kArchive);
  File("System.sys");
  SetAttributes("System.sys", kSystemAttribute);
  File("Both.dat");
  SetAttributes("Both.dat", kHiddenAttribute | kSystemAttribute);
  File("Read only.txt");
  SetAttributes("Read only.txt", kReadOnly);
  File("Plain.txt");
  File(".dotted");
  Folder("Hidden Folder");
  SetAttributes("Hidden Folder", kFolderAttribute | kHiddenAttribute);
  Folder("Shown Folder");
  ASSERT_EQ(WindowsAttributesOf(path_ + "Hidden.txt"), kHiddenAttribute | kArchive);

  LinuxSystemServices system;
  EXPECT_EQ(Enumerate(system, kOrdinaryFiles), (std::set<Text>{u"Read only.txt", u"Plain.txt"}));
  // Asked for, they come back.
  EXPECT_EQ(Enumerate(system, 0x02),
            (std::set<Text>{u"Read only.txt", u"Plain.txt", u"Hidden.txt", u".dotted"}));
  EXPECT_EQ(Enumerate(system, 0x02 | 0x04 | 0x10),
            (std::set<Text>{u"Read only.txt", u"Plain.txt", u"Hidden.txt", u".dotted",
                            u"System.sys", u"Both.dat", u"Hidden Folder", u"Shown Folder"}));
  EXPECT_EQ(system.Subfolders(DecodeFileName(path_)), (std::vector<Text>{u"Shown Folder"}));

  FakeControls controls;
  controls.path = DecodeFileName(path_);
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines,
            (std::vector<Text>{u"Plain.txt ⇔ Plain.txt", u"Read only.txt ⇔ Read only.txt"}));
}

// Between the two passes of one enumeration, a file replaced under the same
// name is another entry: its own attributes count, not what the first pass
// read of the name.
TEST_F(NtfsDiskTest, AFileReplacedBetweenThePassesIsReadAfresh) {
  File("Plain.txt");
  File("Swapped.txt");
  LinuxSystemServices system;
  EXPECT_EQ(Enumerate(system, kOrdinaryFiles), (std::set<Text>{u"Plain.txt", u"Swapped.txt"}));
  // A second file, hidden, takes the name: a new inode.
  File("Hidden meanwhile.txt");
  SetAttributes("Hidden meanwhile.txt", kHiddenAttribute);
  ASSERT_EQ(std::rename((path_ + "Hidden meanwhile.txt").c_str(), (path_ + "Swapped.txt").c_str()),
            0);
  EXPECT_EQ(Enumerate(system, kOrdinaryFiles), std::set<Text>{u"Plain.txt"});
}

// Counted as the disk sees them, by strace: a refresh goes through the folder
// twice, but asks for each file's attributes once.
TEST_F(NtfsDiskTest, ARefreshReadsEachFilesAttributesOnce) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is missing";
  constexpr int kFiles = 20;
  for (int i = 0; i < kFiles; ++i) File("File " + std::to_string(i) + ".txt");
  const testing::TempFolder scratch;  // for the trace and the output, off the disk
  const std::string trace = scratch.path() + "trace";
  // LeakSanitizer cannot work under ptrace, in the sanitized build.
  const testing::ProgramRun run = testing::RunCommand(
      scratch.path(), "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=lgetxattr -o " +
                          testing::ShellQuoted(trace) + " " +
                          testing::ShellQuoted(TARNWICK_LIST_PROGRAM) + " " +
                          testing::ShellQuoted(path_));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), kFiles + 1);
  const std::string calls = testing::ReadWholeFile(trace);
  for (int i = 0; i < kFiles; ++i) {
    const std::string asked =
        "lgetxattr(\"" + path_ + "File " + std::to_string(i) + ".txt\", \"system.ntfs_attrib_be\"";
    std::size_t times = 0;
    for (std::size_t at = calls.find(asked); at != std::string::npos;
         at = calls.find(asked, at + 1)) {
      ++times;
    }
    EXPECT_EQ(times, 1u) << "File " << i;
  }
}

TEST_F(NtfsDiskTest, APathMixesMadeNamesAboveTheMountWithRealOnesBelow) {
  Folder("Program Files");
  SetShortName("Program Files", "PROGRA~1");
  Folder("Program Files/Tarnwick Tools");
  SetShortName("Program Files/Tarnwick Tools", "TARNWI~3");
  File("Program Files/Tarnwick Tools/Read Me First.txt");
  SetShortName("Program Files/Tarnwick Tools/Read Me First.txt", "README~1.TXT");

  LinuxSystemServices system;
  const std::string above = mount_point_.substr(0, mount_point_.size() - sizeof "Windows Disk");
  const std::optional<std::string> short_above = ShortPathOf(system, above);
  ASSERT_TRUE(short_above);
  // "Windows Disk" lies in a folder of a disk that keeps no short names.
  const std::string folder_name = path_.substr(mount_point_.size());  // "twXXXXXX/"
  const std::string expected_folder =
      *short_above + "WINDOW~1/" + folder_name + "PROGRA~1/TARNWI~3/";
  const std::string folder = path_ + "Program Files/Tarnwick Tools/";
  EXPECT_EQ(ShortPathOf(system, folder), expected_folder);
  EXPECT_EQ(ShortPathOf(system, folder + "Read Me First.txt"), expected_folder + "README~1.TXT");
  EXPECT_EQ(ShortPathOf(system, folder + "Not There.txt"), std::nullopt);

  // The label of the listing shows the same.
  FakeControls controls;
  controls.path = DecodeFileName(folder);
  ListFileName(controls, system);
  EXPECT_EQ(controls.label, u"パス名－" + DecodeFileName(expected_folder));
  EXPECT_EQ(controls.lines, std::vector<Text>{u"Read Me First.txt ⇔ README~1.TXT"});
}

TEST_F(NtfsDiskTest, ChangesOnTheDiskAreSeen) {
  File("First Long Name.txt");
  SetShortName("First Long Name.txt", "FIRSTL~1.TXT");
  LinuxSystemServices system;
  const std::optional<std::string> folder = ShortPathOf(system, path_);
  ASSERT_TRUE(folder);
  EXPECT_EQ(ShortPathOf(system, path_ + "First Long Name.txt"), *folder + "FIRSTL~1.TXT");

  File("Second Long Name.txt");
  SetShortName("Second Long Name.txt", "SECOND~1.TXT");
  ASSERT_EQ(::unlink((path_ + "First Long Name.txt").c_str()), 0);
  EXPECT_EQ(ShortPathOf(system, path_ + "Second Long Name.txt"), *folder + "SECOND~1.TXT");
  EXPECT_EQ(ShortPathOf(system, path_ + "First Long Name.txt"), std::nullopt);

  // Refreshes within the same second: a renamed file shows its new short name.
  FakeControls controls;
  controls.path = DecodeFileName(path_);
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, std::vector<Text>{u"Second Long Name.txt \u21D4 SECOND~1.TXT"});
  ASSERT_EQ(::rename((path_ + "Second Long Name.txt").c_str(), (path_ + "Third Name.txt").c_str()),
            0);
  SetShortName("Third Name.txt", "THIRDN~1.TXT");
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, std::vector<Text>{u"Third Name.txt \u21D4 THIRDN~1.TXT"});
}

}  // namespace
}  // namespace tarnwick::on_linux
