#include "window/folder_list.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tarnwick {
namespace {

using testing::FakeSystem;

TEST(FolderList, ShowsTheChainOpenThenTheSubfoldersSorted) {
  FakeSystem system;
  system.separator = u'/';
  system.subfolders[u"/home/user"] = {u"zeta", u"Beta", u"alpha", u"\u65E5\u672C"};
  const std::vector<FolderListEntry> expected = {
      {u"/", u"/", 0, true},
      {u"home", u"/home", 1, true},
      {u"user", u"/home/user", 2, true},
      {u"alpha", u"/home/user/alpha", 3, false},
      {u"Beta", u"/home/user/Beta", 3, false},
      {u"zeta", u"/home/user/zeta", 3, false},
      {u"\u65E5\u672C", u"/home/user/\u65E5\u672C", 3, false},
  };
  EXPECT_EQ(FolderListFor(u"/home//user/./", system), expected);
}

TEST(FolderList, StartsAtTheTopOfAWindowsDrive) {
  FakeSystem system;
  system.subfolders[u"C:\\"] = {u"Windows"};
  EXPECT_EQ(FolderListFor(u"C:\\", system),
            (std::vector<FolderListEntry>{{u"C:\\", u"C:\\", 0, true},
                                          {u"Windows", u"C:\\Windows", 1, false}}));
  system.subfolders[u"C:\\Windows"] = {};
  EXPECT_EQ(FolderListFor(u"C:\\Windows\\", system).back(),
            (FolderListEntry{u"Windows", u"C:\\Windows", 1, true}));
}

TEST(FolderList, FailsForAFolderThatCannotBeRead) {
  FakeSystem system;
  EXPECT_THROW(FolderListFor(u"C:\\Gone", system), PlatformError);
  EXPECT_THROW(FolderListFor(u"", system), PlatformError);
}

// A path as given, cleaned, and the folder above the clean one, up to the top.
TEST(FolderList, CleansPathsAndGoesUpOneFolderAtATimeToTheTop) {
  const struct {
    Text path;
    char16_t separator;
    Text clean;
    Text parent;
  } cases[] = {
      {u"/", u'/', u"/", u""},
      {u"/home", u'/', u"/home", u"/"},
      {u"/home/user", u'/', u"/home/user", u"/home"},
      {u"/a/b/../c/./", u'/', u"/a/c", u"/a"},
      {u"/../..", u'/', u"/", u""},
      {u"C:", u'\\', u"C:\\", u""},
      {u"C:\\Work", u'\\', u"C:\\Work", u"C:\\"},
      {u"C:\\Dir\\\\Sub\\", u'\\', u"C:\\Dir\\Sub", u"C:\\Dir"},
      {u"\\\\server\\share\\dir", u'\\', u"\\\\server\\share\\dir", u"\\\\server\\share\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanFolderPath(c.path, c.separator), c.clean) << ::testing::PrintToString(c.path);
    EXPECT_EQ(ParentFolder(c.clean, c.separator), c.parent) << ::testing::PrintToString(c.clean);
  }
}

TEST(FolderList, FindsTheDriveThatHoldsAFolder) {
  FakeSystem system;
  system.separator = u'/';
  const std::vector<Drive> drives = {
      {u"/", u"/"}, {u"/media/usb", u"/media/usb"}, {u"/media/usb2", u"/media/usb2"}};
  EXPECT_EQ(DriveFor(drives, u"/home/user", system), 0u);
  EXPECT_EQ(DriveFor(drives, u"/media/usb", system), 1u);
  EXPECT_EQ(DriveFor(drives, u"/media/usb/photos", system), 1u);
  EXPECT_EQ(DriveFor(drives, u"/media/usb2/x", system), 2u);
  EXPECT_EQ(DriveFor(drives, u"/media/usb22", system), 0u);
  FakeSystem windows;
  const std::vector<Drive> letters = {{u"c:", u"C:\\"}, {u"d: [DATA]", u"D:\\"}};
  EXPECT_EQ(DriveFor(letters, u"d:\\photos", windows), 1u);
  EXPECT_EQ(DriveFor(letters, u"E:\\", windows), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
