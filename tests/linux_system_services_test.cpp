#include "platform/linux/linux_system_services.h"

#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "fat/fat_short_names.h"
#include "listing/listing_refresh.h"
#include "listing/path_names.h"
#include "platform/linux/mounts.h"
#include "support/fakes.h"
#include "support/forwarding_system.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"

namespace tarnwick::on_linux {
namespace {

using testing::FakeControls;
using testing::TempFolder;

std::set<Text> Enumerate(LinuxSystemServices& system, const std::string& folder,
                         std::int32_t attributes = kOrdinaryFiles) {
  std::set<Text> names;
  for (Text name = system.FirstEntry(DecodeFileName(folder) + u"*.*", attributes); !name.empty();
       name = system.NextEntry()) {
    EXPECT_TRUE(names.insert(name).second) << "a name came twice";
  }
  return names;
}

// The short name that the service gives for a path, or nullopt.
std::optional<std::string> ShortPathOf(LinuxSystemServices& system, const std::string& path) {
  std::string buffer(kShortPathBufferSize, ' ');
  system.GetShortPathNameA(path, buffer);
  const auto end = buffer.find('\0');
  if (end == std::string::npos) return std::nullopt;
  return buffer.substr(0, end);
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Past the time for which a folder is taken to be as it was last seen, for
// the files asked for in it.
void WaitPastTheTrustedTime() {
  std::this_thread::sleep_for(std::chrono::nanoseconds(2 * ShortPathResolver::kFolderTrustedNs));
}

TEST(LinuxEnumeration, ListsOrdinaryFilesAndLinksToThemOnly) {
  TempFolder folder;
  folder.Make({"plain.txt", "no dot at all", ".hidden", "sub/", "sub/inside.txt", ".git/",
               "link to file -> plain.txt", "link to folder -> sub", "broken link -> missing",
               "loop -> loop"});
  ASSERT_EQ(::mkfifo((folder.path() + "fifo").c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = folder.path() + "socket";
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  std::copy(socket_path.begin(), socket_path.end(), address.sun_path);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(sock);

  LinuxSystemServices system;
  EXPECT_EQ(Enumerate(system, folder.path()),
            (std::set<Text>{u"plain.txt", u"no dot at all", u"link to file"}));
  // The Windows attribute bits widen the enumeration to those kinds.
  EXPECT_EQ(Enumerate(system, folder.path(), 0x02 | 0x10),
            (std::set<Text>{u"plain.txt", u"no dot at all", u"link to file", u".hidden", u"sub",
                            u".git", u"link to folder"}));
  EXPECT_TRUE(system.NextEntry().empty());
  EXPECT_TRUE(system.NextEntry().empty());
}

TEST(LinuxEnumeration, KeepsNamesThatDifferOnlyInCaseOrAreNotUtf8) {
  TempFolder folder;
  folder.File("Report.TXT");
  folder.File("report.txt");
  const std::string latin1 = "caf\xE9.txt";
  const std::string sjis = "\x93\xFA\x96\x7B.txt";
  folder.File(latin1);
  folder.File(sjis);
  LinuxSystemServices system;
  const std::set<Text> names = Enumerate(system, folder.path());
  ASSERT_EQ(names.size(), 4u);
  EXPECT_TRUE(names.count(u"Report.TXT") && names.count(u"report.txt"));
  EXPECT_TRUE(names.count(u"caf\xDCE9.txt"));
  // Every name leads back to its own file.
  for (const Text& name : names) {
    const std::optional<std::string> bytes = system.ToSystemCodePage(name);
    ASSERT_TRUE(bytes);
    struct stat status {};
    EXPECT_EQ(::stat((folder.path() + *bytes).c_str(), &status), 0);
  }
}

TEST(LinuxEnumeration, GivesNothingForAnEmptyFolderAndAnErrorForAMissingOne) {
  TempFolder folder;
  LinuxSystemServices system;
  EXPECT_TRUE(system.FirstEntry(DecodeFileName(folder.path()) + u"*.*", 0).empty());
  try {
    system.FirstEntry(DecodeFileName(folder.path()) + u"gone/*.*", 0);
    FAIL() << "a missing folder must raise an error";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
    EXPECT_NE(std::string(error.what()).find("gone"), std::string::npos);
  }
  folder.File("a file");
  EXPECT_THROW(system.FirstEntry(DecodeFileName(folder.path()) + u"a file/*.*", 0), PlatformError);
  EXPECT_THROW(system.FirstEntry(DecodeFileName(folder.path()) + u"*.txt", 0),
               std::invalid_argument);
}

TEST(LinuxEnumeration, ReportsAFolderThatMayNotBeRead) {
  TempFolder folder;
  folder.Folder("locked");
  folder.File("locked/secret.txt");
  ASSERT_EQ(::chmod((folder.path() + "locked").c_str(), 0), 0);
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  // Root may read any folder, so the check runs as an ordinary user.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    LinuxSystemServices system;
    try {
      system.FirstEntry(DecodeFileName(folder.path()) + u"locked/*.*", 0);
    } catch (const PlatformError& error) {
      ::_exit(error.kind() == ErrorKind::AccessDenied ? 0 : 1);
    }
    ::_exit(2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong kind of error, 2: no error, 3: setuid failed";
}

TEST(LinuxShortPaths, ShortenEveryComponentAndKeepTheSeparators) {
  TempFolder folder;
  folder.Folder("Long Folder Name");
  folder.File("Long Folder Name/Long File Name.txt");
  folder.File("Long Folder Name/README.txt");
  LinuxSystemServices system;
  const std::string base = *ShortPathOf(system, folder.path());
  EXPECT_EQ(base.back(), '/');
  EXPECT_EQ(base.front(), '/');
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder Name/"), base + "LONGFO~1/");
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder Name/Long File Name.txt"),
            base + "LONGFO~1/LONGFI~1.TXT");
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder Name/README.txt"),
            base + "LONGFO~1/README.txt");
  EXPECT_EQ(*ShortPathOf(system, "/"), "/");
}

TEST(LinuxShortPaths, LeaveTheBufferAloneForAPathThatIsNotThere) {
  TempFolder folder;
  folder.File("file.txt");
  LinuxSystemServices system;
  for (const std::string& path : {folder.path() + "missing.txt", folder.path() + "missing/x",
                                  folder.path() + "file.txt/", std::string()}) {
    std::string buffer(kShortPathBufferSize, ' ');
    EXPECT_EQ(system.GetShortPathNameA(path, buffer), 0u) << path;
    EXPECT_EQ(buffer, std::string(kShortPathBufferSize, ' ')) << path;
  }
}

TEST(LinuxShortPaths, MadeNamesAreValidUniqueAndStable) {
  TempFolder folder;
  std::vector<std::string> names = {"Long File Name.txt",
                                    "Long File Name 2.txt",
                                    "LONGFI~1.TXT",
                                    "a.b.c.d",
                                    "x+y=z.txt",
                                    "日本語のファイル名.txt",
                                    "日本語のファイル名その2.txt",
                                    "caf\xE9 cr\xE8me.txt",
                                    "Report.TXT",
                                    "report.txt",
                                    ".bashrc",
                                    "  spaces  .txt"};
  for (const std::string& name : names) folder.File(name);
  LinuxSystemServices system;
  std::set<std::string> seen;
  for (const std::string& name : names) {
    const std::optional<std::string> short_path = ShortPathOf(system, folder.path() + name);
    ASSERT_TRUE(short_path) << name;
    const std::string short_name = LastComponent(*short_path);
    EXPECT_TRUE(fat::IsValidShortName(short_name)) << name << " -> " << short_name;
    std::string upper = short_name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    EXPECT_TRUE(seen.insert(upper).second) << short_name << " given twice";
    // The same on a second look, and with services of their own.
    EXPECT_EQ(ShortPathOf(system, folder.path() + name), short_path);
    LinuxSystemServices fresh;
    EXPECT_EQ(ShortPathOf(fresh, folder.path() + name), short_path);
  }
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "LONGFI~1.TXT")), "LONGFI~1.TXT");
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name.txt")),
            "LONGFI~3.TXT");
}

TEST(LinuxShortPaths, FollowChangesToTheFolder) {
  TempFolder folder;
  folder.File("Long File Name B.txt");
  LinuxSystemServices system;
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name B.txt")),
            "LONGFI~1.TXT");
  // A new name that comes first in binary order takes ~1 from now on: seen
  // by the files asked for once the folder is looked at again...
  folder.File("Long File Name A.txt");
  WaitPastTheTrustedTime();
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name A.txt")),
            "LONGFI~1.TXT");
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name B.txt")),
            "LONGFI~2.TXT");
  // ... and at once by a refresh, which asks for its folder first.
  folder.File("Long File Name 0.txt");
  ASSERT_TRUE(ShortPathOf(system, folder.path()));
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name B.txt")),
            "LONGFI~3.TXT");
  EXPECT_EQ(LastComponent(*ShortPathOf(system, folder.path() + "Long File Name 0.txt")),
            "LONGFI~1.TXT");
}

// As on a FAT disk, whose root keeps no times and whose other folders keep
// them in 2 s steps: a refresh still shows new and renamed files with their
// own short names.
TEST(LinuxShortPaths, FollowChangesWhereTheFolderTimesStayTheSame) {
  for (const std::int64_t frozen_ns : {std::int64_t{0}, std::int64_t{1'700'000'000'000'000'000}}) {
    TempFolder folder;
    folder.File("Long File Name B.txt");
    ShortPathResolver resolver([frozen_ns](const std::string& path) {
      std::optional<FolderState> state = ReadFolderState(path);
      if (state) state->modified_ns = state->changed_ns = frozen_ns;
      return state;
    });
    // Each listing asks for its folder first, then for each file.
    const auto short_name = [&](const std::string& name) {
      const std::optional<std::string> path = resolver.ShortPath(folder.path() + name);
      return path ? LastComponent(*path) : "(none)";
    };
    ASSERT_TRUE(resolver.ShortPath(folder.path()));
    EXPECT_EQ(short_name("Long File Name B.txt"), "LONGFI~1.TXT");

    folder.File("Long File Name A.txt");
    ASSERT_TRUE(resolver.ShortPath(folder.path()));
    EXPECT_EQ(short_name("Long File Name A.txt"), "LONGFI~1.TXT") << frozen_ns;
    EXPECT_EQ(short_name("Long File Name B.txt"), "LONGFI~2.TXT") << frozen_ns;

    ASSERT_EQ(::rename((folder.path() + "Long File Name A.txt").c_str(),
                       (folder.path() + "Other Long Name.txt").c_str()),
              0);
    ASSERT_TRUE(resolver.ShortPath(folder.path()));
    EXPECT_EQ(short_name("Other Long Name.txt"), "OTHERL~1.TXT") << frozen_ns;
    EXPECT_EQ(short_name("Long File Name B.txt"), "LONGFI~1.TXT") << frozen_ns;
    EXPECT_EQ(short_name("Long File Name A.txt"), "(none)") << frozen_ns;
  }
}

TEST(LinuxShortPaths, SeeChangesToTheFoldersOnTheWay) {
  TempFolder folder;
  folder.Folder("Long Folder B");
  folder.File("Long Folder B/file.txt");
  LinuxSystemServices system;
  const std::string base = *ShortPathOf(system, folder.path());
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder B/file.txt"),
            base + "LONGFO~1/file.txt");
  // A new folder that takes ~1 shows when the folder is asked for again, and
  // so for its files from then on.
  folder.Folder("Long Folder A");
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder B/"), base + "LONGFO~2/");
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder B/file.txt"),
            base + "LONGFO~2/file.txt");
  // Another folder put in its place is not taken for the one looked at last.
  ASSERT_EQ(::rename((folder.path() + "Long Folder B").c_str(), (folder.path() + "old").c_str()),
            0);
  folder.Folder("Long Folder B");
  WaitPastTheTrustedTime();
  EXPECT_EQ(ShortPathOf(system, folder.path() + "Long Folder B/file.txt"), std::nullopt);
  folder.File("Long Folder B/other.txt");
  EXPECT_EQ(*ShortPathOf(system, folder.path() + "Long Folder B/other.txt"),
            base + "LONGFO~2/other.txt");
}

TEST(LinuxShortPaths, ThroughTheWideServiceGiveTheSameAnswer) {
  TempFolder folder;
  folder.File("Long File Name.txt");
  LinuxSystemServices system;
  std::u16string buffer(kShortPathBufferSize, u' ');
  system.GetShortPathNameW(DecodeFileName(folder.path() + "Long File Name.txt"), buffer);
  EXPECT_EQ(buffer.substr(0, buffer.find(u'\0')),
            DecodeFileName(*ShortPathOf(system, folder.path() + "Long File Name.txt")));
  // A result that does not fit leaves the buffer alone and asks for more.
  std::string small(8, ' ');
  EXPECT_GT(system.GetShortPathNameA(folder.path() + "Long File Name.txt", small), 8u);
  EXPECT_EQ(small, std::string(8, ' '));
}

TEST(LinuxText, LowerCasesByUnicodeRulesUnitForUnit) {
  LinuxSystemServices system;
  EXPECT_EQ(system.ToLowerCase(u"ABC xyz 123 ~_."), u"abc xyz 123 ~_.");
  EXPECT_EQ(system.ToLowerCase(u"\uFF21\uFF3A\u00C0\u0391\u0416"),
            u"\uFF41\uFF5A\u00E0\u03B1\u0436");
  EXPECT_EQ(system.ToLowerCase(u"\u65E5\u30A2\xD83D\xDE00\xDCC3"),
            u"\u65E5\u30A2\xD83D\xDE00\xDCC3");
  EXPECT_EQ(system.Separator(), u'/');
}

TEST(LinuxListing, ListsARealFolderWithItsShortNames) {
  TempFolder folder;
  folder.Make(
      {"Long File Name.txt", "readme.txt", "日本語のファイル名.txt", ".hidden", "subfolder/"});
  LinuxSystemServices system;
  FakeControls controls;
  controls.path = DecodeFileName(folder.path().substr(0, folder.path().size() - 1));
  ListFileName(controls, system);
  const Text arrow = u" \u21D4 ";
  EXPECT_EQ(controls.lines,
            (std::vector<Text>{u"Long File Name.txt" + arrow + u"LONGFI~1.TXT",
                               u"readme.txt" + arrow + u"readme.txt",
                               u"日本語のファイル名.txt" + arrow + u"日本語~1.TXT"}));
  // The folder's own name is a valid short name: its short path is its path.
  const Text label = u"パス名－" + DecodeFileName(folder.path());
  EXPECT_EQ(controls.label, label);
  controls.by_long_name = false;
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines[0], u"LONGFI~1.TXT" + arrow + u"Long File Name.txt");
  EXPECT_EQ(controls.label, label);
}

// Each refresh shows the short names of the folder as it is then, although
// the short names are made from what the refresh's own enumeration read.
TEST(LinuxListing, ShowsTheShortNamesAsTheyAreAtEachRefresh) {
  TempFolder folder;
  folder.File("Long File Name B.txt");
  LinuxSystemServices system;
  FakeControls controls;
  controls.path = DecodeFileName(folder.path());
  const Text arrow = u" \u21D4 ";
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, std::vector<Text>{u"Long File Name B.txt" + arrow + u"LONGFI~1.TXT"});
  folder.File("Long File Name A.txt");
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, (std::vector<Text>{u"Long File Name A.txt" + arrow + u"LONGFI~1.TXT",
                                               u"Long File Name B.txt" + arrow + u"LONGFI~2.TXT"}));
  ASSERT_EQ(::rename((folder.path() + "Long File Name A.txt").c_str(),
                     (folder.path() + "other.txt").c_str()),
            0);
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, (std::vector<Text>{u"Long File Name B.txt" + arrow + u"LONGFI~1.TXT",
                                               u"other.txt" + arrow + u"other.txt"}));
}

// A big folder's table of short names is let go once its listing has asked
// for every file, and made again for whatever asks after.
TEST(LinuxListing, GivesABigFolderTheSameShortNamesAfterItsTableIsLetGo) {
  TempFolder folder;
  constexpr int kFiles = 10000;
  for (int i = 0; i < kFiles; ++i) folder.File("Long File Name " + std::to_string(i) + ".txt");
  LinuxSystemServices system;
  FakeControls controls;
  controls.path = DecodeFileName(folder.path());
  ListFileName(controls, system);
  ASSERT_EQ(controls.lines.size(), std::size_t{kFiles});
  const std::vector<Text> first = controls.lines;
  ListFileName(controls, system);
  EXPECT_EQ(controls.lines, first);
  // Asked for after the listing, before the folder is looked at again;
  // "Long File Name 0.txt" comes first in binary order.
  const std::optional<std::string> file =
      ShortPathOf(system, folder.path() + "Long File Name 0.txt");
  EXPECT_EQ(file, *ShortPathOf(system, folder.path()) + "LONGFI~1.TXT");
}

// How many of this process's descriptors are open on `folder` (no final "/").
int DescriptorsOpenOn(const std::string& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == folder) ++count;
  }
  return count;
}

// The real system, failing at one call of NextEntry.
class FailingEnumeration final : public testing::ForwardingSystem {
 public:
  FailingEnumeration(SystemServices& real, int failing_call)
      : ForwardingSystem(real), failing_call_(failing_call) {}
  Text NextEntry() override {
    if (++calls_ == failing_call_) throw PlatformError(ErrorKind::Other, u"", "failed");
    return ForwardingSystem::NextEntry();
  }

 private:
  int failing_call_;
  int calls_ = 0;
};

TEST(LinuxListing, HoldsTheFolderOpenNeitherAfterARefreshNorAfterAFailedOne) {
  TempFolder folder;
  folder.File("a.txt");
  folder.File("b.txt");
  folder.File("c.txt");
  const std::string path = folder.path().substr(0, folder.path().size() - 1);
  LinuxSystemServices system;
  FakeControls controls;
  controls.path = DecodeFileName(path);
  ListFileName(controls, system);
  ASSERT_EQ(controls.lines.size(), 3u);
  EXPECT_EQ(DescriptorsOpenOn(path), 0);
  // Calls 1 to 3 count; call 4 is the first of the second pass.
  for (const int failing_call : {2, 4}) {
    FailingEnumeration failing(system, failing_call);
    EXPECT_THROW(ListFileName(controls, failing), PlatformError);
    EXPECT_EQ(DescriptorsOpenOn(path), 0) << failing_call;
  }
}

TEST(LinuxShortNameOrigins, TellValidNamesFromNamesTheRulesMade) {
  TempFolder folder;
  folder.Make({"alone/", "alone/readme.txt", "alone/A long name.html", "clash/", "clash/readme.txt",
               "clash/README.TXT"});
  LinuxSystemServices system;
  // What a refresh of the folder gives, then where that came from.
  const auto origin = [&system, &folder](const std::string& path) {
    const std::optional<std::string> short_path = ShortPathOf(system, folder.path() + path);
    EXPECT_TRUE(short_path) << path;
    const std::size_t slash = path.rfind('/');
    return system.ShortNameOriginOf(DecodeFileName(folder.path() + path.substr(0, slash + 1)),
                                    DecodeFileName(path.substr(slash + 1)),
                                    DecodeFileName(LastComponent(short_path.value_or(""))));
  };
  EXPECT_EQ(origin("alone/readme.txt"), ShortNameOrigin::ValidName);
  EXPECT_EQ(origin("alone/A long name.html"), ShortNameOrigin::Rules);
  // Of two names alike but for case, the first in binary order keeps its own.
  EXPECT_EQ(origin("clash/README.TXT"), ShortNameOrigin::ValidName);
  EXPECT_EQ(origin("clash/readme.txt"), ShortNameOrigin::Rules);
  const Text alone = DecodeFileName(folder.path() + "alone/");
  EXPECT_EQ(system.ShortNameOriginOf(alone, u"A long name.html", u""), ShortNameOrigin::None);
  // A folder gone since the refresh is no error.
  EXPECT_EQ(system.ShortNameOriginOf(alone + u"gone/", u"readme.txt", u"readme.txt"),
            ShortNameOrigin::ValidName);
}

TEST(LinuxShortNameSources, FollowTheKindOfDisk) {
  struct Disk {
    std::int64_t type;
    bool answers_for_windows_attributes;  // as ntfs-3g does
    bool holds_exfat;
    ShortNameSource expected;
  };
  const Disk disks[] = {
      {MSDOS_SUPER_MAGIC, false, false, ShortNameSource::Vfat},
      {0x7366746e, true, true, ShortNameSource::FatRulesOverNtfs3},  // ntfs3
      {EXFAT_SUPER_MAGIC, false, false, ShortNameSource::OwnNames},  // the kernel's exfat
      {FUSE_SUPER_MAGIC, true, true, ShortNameSource::Ntfs3g},
      {FUSE_SUPER_MAGIC, false, true, ShortNameSource::OwnNames},  // exfat-fuse
      {FUSE_SUPER_MAGIC, false, false, ShortNameSource::FatRules},
      {EXT4_SUPER_MAGIC, true, true, ShortNameSource::FatRules},
  };
  for (const Disk& disk : disks) {
    EXPECT_EQ(ShortNameSourceFor(
                  disk.type, [&] { return disk.answers_for_windows_attributes; },
                  [&] { return disk.holds_exfat; }),
              disk.expected)
        << std::hex << disk.type << " " << disk.answers_for_windows_attributes << disk.holds_exfat;
  }
}

TEST(LinuxShortNameOrigins, AreGuessesOnADiskThroughNtfs3) {
  LinuxSystemServices system([](const std::string&) { return ShortNameSource::FatRulesOverNtfs3; });
  EXPECT_EQ(system.ShortNameOriginOf(u"/ntfs/", u"A long name.html", u"ALONGN~1.HTM"),
            ShortNameOrigin::RulesGuess);
  EXPECT_EQ(system.ShortNameOriginOf(u"/ntfs/", u"readme.txt", u"readme.txt"),
            ShortNameOrigin::ValidName);
}

// exFAT keeps no short names, and Windows shows none there: each file and
// folder goes by its own name, as `none` or, for a valid 8.3 name, `8.3`.
// The kind of disk is found once for the lines of a folder, not for each.
TEST(LinuxShortNameOrigins, OnExfatEveryEntryGoesByItsOwnName) {
  TempFolder folder;
  folder.Make({"Long Folder Name/", "Long Folder Name/A long name.html",
               "Long Folder Name/readme.txt", "Long Folder Name/日本語の名前.txt"});
  int kinds_asked = 0;
  LinuxSystemServices system([&kinds_asked](const std::string&) {
    ++kinds_asked;
    return ShortNameSource::OwnNames;
  });
  const std::string path = folder.path() + "Long Folder Name/";
  FakeControls controls;
  controls.path = DecodeFileName(path);
  ListFileName(controls, system);
  EXPECT_EQ(controls.label, u"パス名－" + DecodeFileName(path));
  EXPECT_EQ(controls.lines,
            (std::vector<Text>{u"A long name.html ⇔ A long name.html", u"readme.txt ⇔ readme.txt",
                               u"日本語の名前.txt ⇔ 日本語の名前.txt"}));

  kinds_asked = 0;
  const Text shown = DecodeFileName(path);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(system.ShortNameOriginOf(shown, u"A long name.html", u"A long name.html"),
              ShortNameOrigin::None);
    EXPECT_EQ(system.ShortNameOriginOf(shown, u"readme.txt", u"readme.txt"),
              ShortNameOrigin::ValidName);
  }
  EXPECT_EQ(kinds_asked, 1);
  // Another folder in its place may lie on another disk.
  ASSERT_EQ(::rename(path.c_str(), (folder.path() + "gone").c_str()), 0);
  folder.Folder("Long Folder Name");
  EXPECT_EQ(system.ShortNameOriginOf(shown, u"readme.txt", u"readme.txt"),
            ShortNameOrigin::ValidName);
  EXPECT_EQ(kinds_asked, 2);
}

TEST(LinuxFolders, ListsSubfoldersAndLinksToThemButNoHiddenOnes) {
  TempFolder folder;
  folder.Make(
      {"Photos/", ".git/", "日本語/", "file.txt", "link to photos -> Photos", "broken -> missing"});
  LinuxSystemServices system;
  std::vector<Text> names = system.Subfolders(DecodeFileName(folder.path()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<Text>{u"Photos", u"link to photos", u"日本語"}));
  EXPECT_THROW(system.Subfolders(DecodeFileName(folder.path() + "gone")), PlatformError);
}

TEST(LinuxDrives, AreTheMountedFileSystemsThatHoldFiles) {
  const std::string mountinfo =
      "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
      "24 22 0:22 / /sys rw - sysfs sysfs rw\n"
      "25 24 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
      "26 22 0:5 / /dev/pts rw - devpts devpts rw\n"
      "27 22 0:24 / /tmp rw shared:5 - tmpfs tmpfs rw\n"
      "28 22 8:17 / /media/USB\\040STICK rw shared:6 master:2 - vfat /dev/sdb1 rw\n"
      "29 22 0:40 / /mnt/windows rw - fuseblk /dev/sdc1 rw\n"
      "30 22 8:1 / /tmp rw - ext4 /dev/sda1 rw\n"
      "a line that is not one\n"
      "31 22 0:1 / relative rw - ext4 /dev/sde1 rw\n"
      "-    =\n";
  const std::vector<Drive> drives = DrivesFromMountInfo(mountinfo);
  std::vector<Text> roots;
  for (const Drive& drive : drives) {
    roots.push_back(drive.root);
    EXPECT_EQ(drive.text, drive.root);
  }
  EXPECT_EQ(roots, (std::vector<Text>{u"/", u"/media/USB STICK", u"/mnt/windows", u"/tmp"}));
  LinuxSystemServices system;
  const std::vector<Drive> here = system.Drives();
  const auto top =
      std::find_if(here.begin(), here.end(), [](const Drive& drive) { return drive.root == u"/"; });
  ASSERT_NE(top, here.end());
  EXPECT_TRUE(top->text.starts_with(u"/"));
}

TEST(LinuxDrives, LeaveOutTheSystemsOwnFoldersWhateverIsMountedThere) {
  const std::string mountinfo =
      "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "23 22 0:21 / /proc rw - proc proc rw\n"
      "25 22 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
      "26 22 0:24 / /dev/shm rw - tmpfs tmpfs rw\n"
      "27 22 0:25 / /run rw - tmpfs tmpfs rw\n"
      "28 27 0:26 / /run/user/0 rw - tmpfs tmpfs rw\n"
      "29 27 0:27 / /run/lock rw - tmpfs tmpfs rw\n"
      "30 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
      "31 27 8:17 / /run/media/u/USB rw - vfat /dev/sdb1 rw\n"
      "32 22 8:33 / /media/x rw - exfat /dev/sdc1 rw\n"
      "33 22 8:49 / /mnt/data rw - xfs /dev/sdd1 rw\n"
      "34 22 8:50 / /devices rw - ext4 /dev/sdd2 rw\n";
  std::vector<Text> roots;
  for (const Drive& drive : DrivesFromMountInfo(mountinfo)) roots.push_back(drive.root);
  EXPECT_EQ(roots, (std::vector<Text>{u"/", u"/devices", u"/home", u"/media/x", u"/mnt/data",
                                      u"/run/media/u/USB"}));
}

TEST(LinuxDrives, ShowTheLabelOfWhatIsMountedLastBesideTheMountPoint) {
  const std::string mountinfo =
      "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "28 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
      "29 22 0:40 / /mnt/windows rw - fuseblk /dev/sdc1 rw\n"
      "31 29 0:41 / /mnt/windows rw - fuseblk /dev/sdd1 rw\n"
      "32 22 0:24 / /tmp rw - tmpfs tmpfs rw\n";
  const LabelOf label_of = [](const std::string& source) -> std::optional<std::string> {
    if (source == "/dev/sda1") return "";  // a label that is empty is none
    if (source == "/dev/sdb1") return "USB STICK";
    if (source == "/dev/sdc1") return "HIDDEN";
    if (source == "/dev/sdd1") return "ウィンドウズ";
    return std::nullopt;
  };
  EXPECT_EQ(DrivesFromMountInfo(mountinfo, label_of),
            (std::vector<Drive>{{u"/", u"/"},
                                {u"/media/usb [USB STICK]", u"/media/usb"},
                                {u"/mnt/windows [ウィンドウズ]", u"/mnt/windows"},
                                {u"/tmp", u"/tmp"}}));
}

TEST(LinuxDrives, FindLabelsThroughLinksToTheDisks) {
  TempFolder folder;
  folder.Make({"by-label/", "dev/", "dev/sdb1", "dev/sdc1", "dev/dm-0",
               "by-label/USB\\x20STICK -> ../dev/sdb1", "by-label/A\\x2fB -> ../dev/sdc1",
               "by-label/GONE -> ../dev/sdz9", "mapped -> dev/dm-0",
               "by-label/CRYPT -> ../mapped"});

  const LabelOf label_of = LabelsInFolder(folder.path() + "by-label");
  ASSERT_TRUE(label_of);
  EXPECT_EQ(label_of(folder.path() + "dev/sdb1"), "USB STICK");
  EXPECT_EQ(label_of(folder.path() + "dev/sdc1"), "A/B");
  // A source that is a link itself is followed to its disk.
  EXPECT_EQ(label_of(folder.path() + "mapped"), "CRYPT");
  EXPECT_EQ(label_of(folder.path() + "dev/dm-0"), "CRYPT");
  EXPECT_EQ(label_of(folder.path() + "dev/sdz9"), std::nullopt);
  EXPECT_EQ(label_of("tmpfs"), std::nullopt);
  // No such folder, as where udev does not run: no labels, and no cost.
  EXPECT_FALSE(LabelsInFolder(folder.path() + "missing"));
}

}  // namespace
}  // namespace tarnwick::on_linux
