// The refresh on real Linux folders full of names that a disk may hold but a
// program seldom meets: every file that can be reached is listed once, under
// its own name and a short name of its own, or the folder gives a clear
// message.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fat/fat_short_names.h"
#include "listing/listing_refresh.h"
#include "platform/linux/linux_system_services.h"
#include "support/fakes.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"

namespace tarnwick {
namespace {

using fat::IsValidShortName;
using on_linux::LinuxSystemServices;
using testing::FakeControls;
using testing::TempFolder;

struct ListedFile {
  std::string long_name;   // file-name bytes
  std::string short_name;  // file-name bytes
};

struct Listing {
  Text label;
  std::vector<ListedFile> files;  // in the order shown
};

// One refresh of `folder` (file-name bytes) by either name, through the real
// system services. A line is split at its last " ⇔ " when the long name comes
// first and at its first one otherwise, since a short name holds no space.
Listing Refresh(const std::string& folder, bool by_long_name) {
  FakeControls controls;
  controls.path = DecodeFileName(folder);
  controls.by_long_name = by_long_name;
  LinuxSystemServices system;
  ListFileName(controls, system);
  Listing listing{controls.label, {}};
  const Text separator = u" ⇔ ";
  for (const Text& line : controls.lines) {
    const std::size_t at = by_long_name ? line.rfind(separator) : line.find(separator);
    EXPECT_NE(at, Text::npos);
    if (at == Text::npos) continue;
    const Text first = line.substr(0, at);
    const Text second = line.substr(at + separator.size());
    const std::optional<std::string> long_name = EncodeFileName(by_long_name ? first : second);
    const std::optional<std::string> short_name = EncodeFileName(by_long_name ? second : first);
    EXPECT_TRUE(long_name && short_name);
    listing.files.push_back({long_name.value_or(""), short_name.value_or("")});
  }
  return listing;
}

// Upper case for ASCII letters: two short names that differ only so are the
// same name to Windows.
std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Short names by long name, as file-name bytes.
using ShortNames = std::map<std::string, std::string>;

// Lists `folder` by either name. Each order lists the same files, each once,
// each with a valid short name that no other file of the folder has; gives
// them by long name.
ShortNames ListBothWays(const std::string& folder) {
  std::optional<ShortNames> first_order;
  for (const bool by_long_name : {true, false}) {
    SCOPED_TRACE(by_long_name ? "by long name" : "by short name");
    ShortNames listed;
    std::set<std::string> folded;
    for (const ListedFile& file : Refresh(folder, by_long_name).files) {
      EXPECT_TRUE(IsValidShortName(file.short_name))
          << "'" << file.short_name << "' for '" << file.long_name << "'";
      EXPECT_TRUE(folded.insert(AsciiUpper(file.short_name)).second)
          << "'" << file.short_name << "' twice";
      EXPECT_TRUE(listed.emplace(file.long_name, file.short_name).second)
          << "'" << file.long_name << "' twice";
    }
    if (!first_order) {
      first_order = std::move(listed);
    } else {
      EXPECT_EQ(listed, *first_order);
    }
  }
  return *first_order;
}

// ListBothWays lists exactly the files `names`, those of `certain` with the
// short names it gives them.
void ExpectListed(const std::string& folder, const std::vector<std::string>& names,
                  const ShortNames& certain) {
  const ShortNames listed = ListBothWays(folder);
  std::set<std::string> long_names;
  for (const auto& [long_name, short_name] : listed) long_names.insert(long_name);
  EXPECT_EQ(long_names, std::set<std::string>(names.begin(), names.end()));
  for (const auto& [long_name, short_name] : certain) {
    const auto found = listed.find(long_name);
    EXPECT_EQ(found == listed.end() ? "(not listed)" : found->second, short_name) << long_name;
  }
}

// The short names below are what the FAT rules make of these folders: where
// a name gets a tail, the lowest free one, handed out in binary order of the
// long names, hidden ones too.
TEST(HostileNames, LongestNamesAndNamesOfOnlySpacesOrDots) {
  TempFolder folder;
  std::string japanese;
  for (int i = 0; i < 85; ++i) japanese += "\xE5\x90\x8D";  // 名, 3 bytes each
  const ShortNames expected = {
      {std::string(251, 'a') + ".txt", "AAAAAA~1.TXT"},  // 255 bytes
      {std::string(255, 'B'), "BBBBBB~1"},               // 255 bytes, no extension
      {japanese, "名名名~1"},                            // 255 bytes of Japanese
      // Of these only "_" is left.
      {" ", "_~1"},
      {"   ", "_~2"},
      {" . ", "_~3"},
      // A final period separates nothing.
      {"name.", "NAME~1"},
      {"name...", "NAME~2"},
  };
  for (const auto& [name, short_name] : expected) folder.File(name);
  // A leading dot hides a name, as every dot name on Linux.
  folder.File("..txt");
  folder.File("...");
  // A 2-byte character that ends at byte 256 makes no name: the disk refuses it.
  EXPECT_THROW(folder.File(std::string(254, 'c') + "\xC3\xA9"), std::runtime_error);
  EXPECT_EQ(ListBothWays(folder.path()), expected);
}

TEST(HostileNames, EveryByteThatANameMayHold) {
  TempFolder folder;
  std::vector<std::string> names;
  for (int byte = 0x01; byte <= 0xFF; ++byte) {
    if (byte == '/') continue;
    const std::string alone(1, static_cast<char>(byte));
    const std::string inside = "x" + alone + "y.t" + alone;
    if (byte != '.') {
      folder.File(alone);
      names.push_back(alone);
    }
    folder.File(inside);
    names.push_back(inside);
  }
  // A byte that a short name may not hold becomes "_". Alone, those take
  // their tails in this order: 31 control characters, the space (which goes,
  // leaving nothing), 14 marks, DEL, and the 128 bytes from 0x80, none of
  // them UTF-8 alone. Inside, the same but for the space.
  ExpectListed(folder.path(), names,
               {{"\x01", "_~1"},
                {"\x1F", "_~31"},
                {" ", "_~32"},
                {"!", "!"},
                {"\"", "_~33"},
                {"+", "_~35"},
                {"A", "A"},
                {"\\", "_~44"},
                {"_", "_"},
                {"a", "A~1"},  // "A" came first
                {"|", "_~46"},
                {"~", "~"},
                {"\x7F", "_~47"},
                {"\x80", "_~48"},
                {"\xFF", "_~175"},
                {"x\x01y.t\x01", "X_Y~1.T_"},
                {"x y.t ", "XY~1.T"},
                {"x.y.t.", "XYT~1"},
                {"xAy.tA", "xAy.tA"},
                {"xay.ta", "XAY~1.TA"},
                {"x\x7Fy.t\x7F", "X_Y~46.T_"},
                {"x\x80y.t\x80", "X_Y~47.T_"},
                {"x\xFFy.t\xFF", "X_Y~174.T_"}});
}

TEST(HostileNames, InvalidOverlongAndSurrogateUtf8KeepTheirBytes) {
  TempFolder folder;
  // Each byte that is no part of valid UTF-8 is a character of its own, and
  // code page 932 holds none of them.
  const ShortNames expected = {
      {"caf\xE9.txt", "CAF_~2.TXT"},       // Latin-1
      {"\xFF\xFE.txt", "__~2.TXT"},        // bytes that never start UTF-8
      {"\xC0\xAF.txt", "__~1.TXT"},        // overlong "/"
      {"\xE0\x80\xAF", "___~1"},           // overlong "/" in three bytes
      {"\xF0\x80\x80\xAF", "____~1"},      // and in four
      {"\xED\xA0\x80.txt", "___~1.TXT"},   // an encoded high surrogate
      {"\xED\xB2\x80", "___~2"},           // an encoded low surrogate ...
      {"\x80", "_~1"},                     // ... and the lone byte whose escape it looks like
      {"\xF4\x90\x80\x80", "____~2"},      // past U+10FFFF
      {"\xE6\x97\xA5\xE6\x9C", "日__~1"},  // "日" and a cut-off "本"
      {"\x81\x40.txt", "_@~1.TXT"},        // code page 932 bytes, not UTF-8
      {"caf\xC3\xA9.txt", "CAF_~1.TXT"},   // valid UTF-8 beside its Latin-1 twin; 932 has no "É"
  };
  for (const auto& [name, short_name] : expected) folder.File(name);
  EXPECT_EQ(ListBothWays(folder.path()), expected);
}

TEST(HostileNames, NamesThatDifferOnlyInCaseOrNormalisation) {
  TempFolder folder;
  const ShortNames expected = {
      // The first valid name in binary order keeps its own; the others share
      // its basis with the names that lose their spaces.
      {"README.TXT", "README.TXT"},
      {"READ ME.TXT", "README~1.TXT"},
      {"Read Me.txt", "README~2.TXT"},
      {"ReadMe.Txt", "README~3.TXT"},
      {"readme.txt", "README~4.TXT"},
      {"CAF\xC3\x89.TXT", "CAF_~1.TXT"},    // NFC, upper case
      {"caf\xC3\xA9.txt", "CAF_~2.TXT"},    // NFC
      {"cafe\xCC\x81.txt", "CAFE_~1.TXT"},  // NFD: the combining accent is no 932 character
      {"\xEF\xBC\xA1\xEF\xBC\xA2.txt", "\xEF\xBC\xA1\xEF\xBC\xA2.txt"},    // full-width "ＡＢ"
      {"\xEF\xBD\x81\xEF\xBD\x82.txt", "\xEF\xBC\xA1\xEF\xBC\xA2~1.TXT"},  // full-width "ａｂ"
  };
  for (const auto& [name, short_name] : expected) folder.File(name);
  EXPECT_EQ(ListBothWays(folder.path()), expected);
}

TEST(HostileNames, PathAndMarkupCharactersInNamesAndFolders) {
  TempFolder folder;
  folder.Folder("a\\b & <c> %d ~1");
  const std::string inner = folder.path() + "a\\b & <c> %d ~1/";
  const ShortNames expected = {
      {"back\\slash.txt", "BACK_S~1.TXT"},
      {"\\", "_~1"},
      {"a&b.txt", "a&b.txt"},
      {"&", "&"},
      {"<tag>.htm", "_TAG_~1.HTM"},
      {"%s%n%x.txt", "%s%n%x.txt"},
      {"100%", "100%"},
      {"~", "~"},
      {"~1", "~1"},
      {"a~1.txt", "A~1~1.TXT"},  // "A~1.TXT" came first
      {"A~1.TXT", "A~1.TXT"},
      {"file~1.txt", "file~1.txt"},
      {"File Name.txt", "FILENA~1.TXT"},
  };
  for (const auto& [name, short_name] : expected) folder.File("a\\b & <c> %d ~1/" + name);
  EXPECT_EQ(ListBothWays(inner), expected);
  // The folder's own short name stands in the label.
  const Listing listing = Refresh(inner, true);
  EXPECT_EQ(listing.label, u"パス名－" + DecodeFileName(folder.path()) + u"A_B&_C~1/");
}

TEST(HostileNames, ManyNamesThatShareOneBasis) {
  for (const int count : {11, 150}) {
    SCOPED_TRACE(count);
    TempFolder folder;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "Quarterly Report %03d.xlsx", i);
      names.emplace_back(name);
      folder.File(name);
    }
    // And one that is a valid short name of the very form the others get:
    // it keeps its own, and the others' tails start at 2.
    names.emplace_back("QUARTE~1.XLS");
    folder.File(names.back());
    ShortNames certain = {{"QUARTE~1.XLS", "QUARTE~1.XLS"},
                          {"Quarterly Report 000.xlsx", "QUARTE~2.XLS"},
                          {"Quarterly Report 007.xlsx", "QUARTE~9.XLS"},
                          {"Quarterly Report 008.xlsx", "QUART~10.XLS"},
                          {"Quarterly Report 010.xlsx", "QUART~12.XLS"}};
    if (count == 150) {
      certain.insert({{"Quarterly Report 097.xlsx", "QUART~99.XLS"},
                      {"Quarterly Report 098.xlsx", "QUAR~100.XLS"},
                      {"Quarterly Report 149.xlsx", "QUAR~151.XLS"}});
    }
    ExpectListed(folder.path(), names, certain);
  }
}

#ifndef TARNWICK_SANITIZED  // a hundred thousand files take too long under the sanitizers
TEST(HostileNames, AHundredThousandFiles) {
  TempFolder folder;
  std::vector<std::string> names;
  names.reserve(100'000);
  for (int i = 0; i < 100'000; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "photo %06d from the trip.jpg", i);
    names.emplace_back(name);
    folder.File(name);
  }
  // One order is enough here: the other sorts the same lines.
  const Listing listing = Refresh(folder.path(), true);
  ASSERT_EQ(listing.files.size(), names.size());
  std::set<std::string> short_names;
  for (std::size_t i = 0; i < listing.files.size(); ++i) {
    // Named in order, since the names sort as their numbers do.
    ASSERT_EQ(listing.files[i].long_name, names[i]);
    ASSERT_TRUE(IsValidShortName(listing.files[i].short_name));
    ASSERT_TRUE(short_names.insert(listing.files[i].short_name).second);
  }
  // The tail takes one more digit, and the basis one byte less, at each
  // power of ten.
  const std::pair<std::size_t, const char*> tails[] = {
      {0, "PHOTO0~1.JPG"},   {9, "PHOTO~10.JPG"},    {99, "PHOT~100.JPG"},
      {999, "PHO~1000.JPG"}, {9999, "PH~10000.JPG"}, {99999, "P~100000.JPG"}};
  for (const auto& [at, short_name] : tails) EXPECT_EQ(listing.files[at].short_name, short_name);
}
#endif

// Makes folders of `component` bytes each, one inside the other, until the
// next would make the path (with a final "/") longer than `limit`; gives the
// deepest path, with its final "/".
std::string DeepFolder(const std::string& top, std::size_t component, std::size_t limit) {
  std::string path = top;
  int parent = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (char letter = 'a'; parent >= 0 && path.size() + 2 <= limit; ++letter) {
    const std::string name(std::min(component, limit - path.size() - 1), letter);
    if (::mkdirat(parent, name.c_str(), 0755) != 0) break;
    const int child = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(parent);
    parent = child;
    path += name + "/";
  }
  if (parent >= 0) {
    for (const char* file : {"inside the deepest folder.txt", "short.txt"}) {
      ::close(::openat(parent, file, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    ::close(parent);
  }
  return path;
}

TEST(HostileNames, APathAsLongAsTheSystemTakesAndOneLonger) {
  TempFolder folder;
  // The longest path the system takes is 4,095 bytes and its NUL.
  const std::string deepest = DeepFolder(folder.path(), 250, 4095);
  ASSERT_EQ(deepest.size(), 4095u);
  EXPECT_EQ(ListBothWays(deepest), (ShortNames{{"inside the deepest folder.txt", "INSIDE~1.TXT"},
                                               {"short.txt", "short.txt"}}));

  // One byte more, and the system gives no handle on the folder at all.
  TempFolder other;
  const std::string too_long = DeepFolder(other.path(), 250, 4096);
  ASSERT_EQ(too_long.size(), 4096u);
  try {
    Refresh(too_long, true);
    ADD_FAILURE() << "a folder with a path of 4,096 bytes was listed";
  } catch (const PlatformError& error) {
    EXPECT_NE(std::string(error.what()).find("File name too long"), std::string::npos)
        << error.what();
  }
}

TEST(HostileNames, LinkLoopsAndLinksToNothingAreNoFiles) {
  TempFolder folder;
  folder.Make({"target.txt", "link to target.txt -> target.txt", "loop -> loop", "ping -> pong",
               "pong -> ping", "to nothing.txt -> missing.txt", "real folder/",
               "real folder/up -> .."});  // a folder loop below
  EXPECT_EQ(ListBothWays(folder.path()),
            (ShortNames{{"link to target.txt", "LINKTO~1.TXT"}, {"target.txt", "target.txt"}}));
  LinuxSystemServices system;
  EXPECT_EQ(system.Subfolders(DecodeFileName(folder.path() + "real folder")),
            std::vector<Text>{u"up"});
}

TEST(HostileNames, AFolderRemovedWhileShownGivesAMessage) {
  TempFolder folder;
  folder.Folder("shown");
  folder.File("shown/a.txt");
  const std::string shown = folder.path() + "shown/";
  EXPECT_EQ(ListBothWays(shown), (ShortNames{{"a.txt", "a.txt"}}));
  ASSERT_EQ(::unlink((shown + "a.txt").c_str()), 0);
  ASSERT_EQ(::rmdir(shown.c_str()), 0);
  try {
    Refresh(shown, true);
    ADD_FAILURE() << "a removed folder was listed";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
    EXPECT_NE(std::string(error.what()).find("shown"), std::string::npos) << error.what();
  }
}

// A folder that may not be read, seen as a user who may not read it: the
// tests run as root, who may read everything, so the program runs as nobody.
TEST(HostileNames, AFolderThatMayNotBeReadGivesAMessage) {
  TempFolder folder;
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  folder.Folder("closed");
  folder.File("closed/secret.txt");
  folder.Folder("passable");
  folder.Folder("passable/Open Inside");
  folder.File("passable/Open Inside/seen.txt");
  ASSERT_EQ(::chmod((folder.path() + "closed").c_str(), 0700), 0);
  ASSERT_EQ(::chmod((folder.path() + "passable").c_str(), 0711), 0);  // entered, not listed

  std::string as_user = testing::ShellQuoted(TARNWICK_LIST_PROGRAM);
  if (::geteuid() == 0) {
    // nobody must reach the program too: a copy beside the folders.
    const std::string copy = folder.path() + "tarnwick-list";
    ASSERT_EQ(std::system(("cp " + as_user + " " + testing::ShellQuoted(copy)).c_str()), 0);
    as_user = "setpriv --reuid=nobody --regid=nogroup --clear-groups " + testing::ShellQuoted(copy);
  } else {
    ASSERT_EQ(::chmod((folder.path() + "closed").c_str(), 0), 0);
  }
  TempFolder scratch;
  ASSERT_EQ(::chmod(scratch.path().c_str(), 0777), 0);

  const testing::ProgramRun closed = testing::RunCommand(
      scratch.path(), as_user + " " + testing::ShellQuoted(folder.path() + "closed"));
  EXPECT_EQ(closed.status, 2) << closed.err;
  EXPECT_EQ(closed.out, "");
  EXPECT_NE(closed.err.find("Permission denied"), std::string::npos) << closed.err;
  EXPECT_NE(closed.err.find(folder.path() + "closed"), std::string::npos) << closed.err;

  // Inside a folder that may be entered but not listed: its entries get the
  // FAT rules' names of their own names in the label, and the files below
  // are listed.
  const testing::ProgramRun inside = testing::RunCommand(
      scratch.path(), as_user + " " + testing::ShellQuoted(folder.path() + "passable/Open Inside"));
  EXPECT_EQ(inside.status, 0) << inside.err;
  EXPECT_EQ(inside.out, "パス名－" + folder.path() + "passable/OPENIN~1/\nseen.txt ⇔ seen.txt\n");
}

}  // namespace
}  // namespace tarnwick
