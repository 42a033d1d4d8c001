// The listing core on the real system: short names through code page 932 or
// the wide service, and a refresh of a real folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "listing/listing_refresh.h"
#include "listing/path_names.h"
#include "platform/win32/win32_system_services.h"
#include "support/fakes.h"
#include "temp_folder.h"
#include "window/texts.h"

namespace tarnwick::win32 {
namespace {

using testing::FakeControls;
using testing::TempFolder;

const Text kJapaneseName = u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt";
const Text kKoreanName = u"\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt";
const Text kEmojiName = u"\U0001F600 smile.txt";

// What the system's wide short-path service itself says of `path`.
Text SystemShortPath(const Text& path) {
  wchar_t buffer[1024] = {};
  const DWORD length = ::GetShortPathNameW(ToWide(path).c_str(), buffer, 1024);
  if (length == 0 || length >= 1024) return {};
  return FromWide(std::wstring_view(buffer, length));
}

class ShortFileNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 932";
  }

  // The short form of a new file named `name`, checked against the service.
  void ExpectServiceAnswer(const Text& name, bool in_code_page) {
    const Text path = folder_.AddFile(name);
    ASSERT_EQ(system_.ToSystemCodePage(path).has_value(), in_code_page);
    const Text expected = SystemShortPath(path);
    ASSERT_FALSE(expected.empty());
    const Text short_path = GetShortFileName(system_, path);
    EXPECT_EQ(short_path, expected);
    const Text short_name = GetFileName(short_path, u'\\');
    EXPECT_FALSE(short_name.empty());
    EXPECT_EQ(short_name.find(u'\\'), Text::npos);
    EXPECT_NE(short_name, name);
  }

  TempFolder folder_;
  Win32SystemServices system_;
};

TEST_F(ShortFileNameTest, JapaneseNameGoesThroughTheCodePage) {
  ExpectServiceAnswer(kJapaneseName, true);
}

TEST_F(ShortFileNameTest, NamesOutsideTheCodePageGoThroughTheWideService) {
  ExpectServiceAnswer(kKoreanName, false);
  ExpectServiceAnswer(kEmojiName, false);
}

TEST_F(ShortFileNameTest, FolderAndMissingPaths) {
  EXPECT_EQ(GetShortFileName(system_, folder_.slashed()), SystemShortPath(folder_.slashed()));
  EXPECT_EQ(GetShortFileName(system_, folder_.slashed() + u"missing.txt"), u"");
  EXPECT_EQ(GetShortFileName(system_, folder_.slashed() + u"missing " + kKoreanName), u"");
}

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const Text& name : long_names_) folder_.AddFile(name);
    folder_.AddFile(u"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    folder_.AddFolder(u"A Folder");
    controls_.path = folder_.path();
  }

  Text ShortName(const Text& name) const {
    return GetFileName(SystemShortPath(folder_.slashed() + name), u'\\');
  }

  // In the order of their lower-cased names, by code unit.
  const std::vector<Text> long_names_{u"abc.txt", u"Long File Name.text", u"SHORT.TXT",
                                      kJapaneseName, kKoreanName};
  TempFolder folder_;
  Win32SystemServices system_;
  FakeControls controls_;
};

TEST_F(RefreshTest, LabelIsTheFolderShortPath) {
  ListFileName(controls_, system_);
  EXPECT_EQ(controls_.label.substr(0, 4), u"\u30D1\u30B9\u540D\uFF0D");
  EXPECT_EQ(controls_.label, kLabelPrefix + SystemShortPath(folder_.slashed()));
}

TEST_F(RefreshTest, ByLongNameLongNameFirst) {
  ListFileName(controls_, system_);
  std::vector<Text> expected;
  for (const Text& name : long_names_) {
    const Text short_name = ShortName(name);
    ASSERT_FALSE(short_name.empty()) << "no short name for a file";
    expected.push_back(name + u" \u21D4 " + short_name);
  }
  EXPECT_EQ(controls_.lines, expected);
  EXPECT_EQ(ShortName(u"SHORT.TXT"), u"SHORT.TXT") << "an 8.3 name is its own short name";
}

TEST_F(RefreshTest, ByShortNameShortNameFirst) {
  controls_.by_long_name = false;
  ListFileName(controls_, system_);
  ASSERT_EQ(controls_.lines.size(), long_names_.size());

  const Text separator = u" \u21D4 ";
  std::vector<Text> seen_long_names;
  Text previous_key;
  for (const Text& line : controls_.lines) {
    const auto at = line.find(separator);
    ASSERT_NE(at, Text::npos);
    const Text short_name = line.substr(0, at);
    const Text long_name = line.substr(at + separator.size());
    EXPECT_EQ(short_name, ShortName(long_name)) << "for the long name of its line";
    const Text key = system_.ToLowerCase(short_name);
    EXPECT_LE(previous_key, key) << "sorted by short name";
    previous_key = key;
    seen_long_names.push_back(long_name);
  }
  std::sort(seen_long_names.begin(), seen_long_names.end());
  std::vector<Text> all = long_names_;
  std::sort(all.begin(), all.end());
  EXPECT_EQ(seen_long_names, all);
}

TEST_F(RefreshTest, HoldsNoHandleOfTheFolderAfterwards) {
  TempFolder parent;
  const Text shown = parent.AddFolder(u"Shown");
  parent.AddFile(u"Shown\\a.txt");
  parent.AddFile(u"Shown\\b.txt");
  controls_.path = shown;
  ListFileName(controls_, system_);
  ASSERT_EQ(controls_.lines.size(), 2u);
  EXPECT_FALSE(system_.Enumerating());
  // Nothing keeps the folder from going at once, as a drive that is taken
  // out or a folder renamed in another program would.
  for (const Text name : {u"a.txt", u"b.txt"}) {
    ASSERT_TRUE(::DeleteFileW(ToWide(shown + u'\\' + name).c_str()));
  }
  EXPECT_TRUE(::RemoveDirectoryW(ToWide(shown).c_str())) << ::GetLastError();
}

}  // namespace
}  // namespace tarnwick::win32
