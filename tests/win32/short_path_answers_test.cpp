// The short-path services of a refresh answered from what its enumeration
// read, and paths that only the long form "\\?\" carries: compared with what
// the system's own wide service gives (Wine's names under Wine), and counted
// through stand-ins for the system's calls.
#include <gtest/gtest.h>

#include "fake_system_calls.h"
#include "listing/listing_refresh.h"
#include "listing/path_names.h"
#include "platform/win32/long_paths.h"
#include "platform/win32/win32_system_services.h"
#include "support/fakes.h"
#include "system_short_path.h"
#include "temp_folder.h"
#include "window/texts.h"

namespace tarnwick::win32 {
namespace {

using testing::AsItIs;
using testing::FakeControls;
using testing::FakeSystemCalls;
using testing::SystemShortPath;
using testing::TempFolder;

const Text kSeparator = u" \u21D4 ";

// A file made by the system's own call.
void MakeFile(const Text& path) {
  const HANDLE file = ::CreateFileW(AsItIs(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << ToUtf8(path) << " error " << ::GetLastError();
  ::CloseHandle(file);
}

// The lines a refresh should show for `names` in `folder`: each with what
// the system's service gives for that file.
std::vector<Text> ExpectedLines(const Text& folder, std::vector<Text> names) {
  std::vector<Text> lines;
  for (const Text& name : names) {
    const Text short_name = GetFileName(SystemShortPath(folder + name), u'\\');
    EXPECT_FALSE(short_name.empty()) << "the system gives no short name for " << ToUtf8(name);
    lines.push_back(name + kSeparator + short_name);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<Text> Sorted(std::vector<Text> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class EveryKindOfNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 932";
    for (const Text& name : names_) MakeFile(folder_.slashed() + name);
    controls_.path = folder_.path();
  }

  const std::vector<Text> names_{
      u"A Rather Long File Name.text",
      u"SHORT.TXT",
      u"readme.txt",
      u"Case Twin Report.txt",
      u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt",
      u"\u8868.txt",
      u"\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt",
      u"\U0001F600 smile.txt",
      u"ends in a dot.",
      u"ends in a space ",
  };
  TempFolder folder_;
  FakeSystemCalls calls_;
  Win32SystemServices system_{calls_};
  FakeControls controls_;
};

TEST_F(EveryKindOfNameTest, EveryLineIsWhatTheSystemsServiceGives) {
  ListFileName(controls_, system_);
  EXPECT_EQ(controls_.label, kLabelPrefix + SystemShortPath(folder_.slashed()));
  EXPECT_EQ(Sorted(controls_.lines), ExpectedLines(folder_.slashed(), names_));
}

TEST_F(EveryKindOfNameTest, OneRefreshAsksTheSystemOnlyForTheFolder) {
  ListFileName(controls_, system_);
  EXPECT_EQ(calls_.short_path_questions, std::vector<std::wstring>{ToWide(folder_.slashed())});

  // The next refresh asks again, and answers from its own enumeration: a
  // file renamed in between shows its new names.
  const Text old_name = folder_.slashed() + u"A Rather Long File Name.text";
  const Text new_name = folder_.slashed() + u"Another Long File Name.text";
  ASSERT_TRUE(::MoveFileW(ToWide(old_name).c_str(), ToWide(new_name).c_str()));
  ListFileName(controls_, system_);
  EXPECT_EQ(calls_.short_path_questions.size(), 2u);
  std::vector<Text> names = names_;
  names.front() = u"Another Long File Name.text";
  EXPECT_EQ(Sorted(controls_.lines), ExpectedLines(folder_.slashed(), names));

  // A path outside what the enumeration read goes to the system.
  EXPECT_EQ(GetShortFileName(system_, old_name), u"");
  EXPECT_EQ(calls_.short_path_questions.size(), 3u);
}

// Names that differ only in case, which Wine cannot make itself: the tests'
// script makes them on the Linux side and names the folder in
// TARNWICK_CASE_TWINS.
TEST(CaseTwinsTest, EachTwinGetsWhatTheSystemsServiceGivesIt) {
  const std::optional<Text> twins = testing::UnixFolderNamedBy(L"TARNWICK_CASE_TWINS");
  if (!twins) GTEST_SKIP() << "TARNWICK_CASE_TWINS names no folder";
  const Text& folder = *twins;
  FakeControls controls;
  controls.path = folder;
  FakeSystemCalls calls;
  Win32SystemServices system(calls);
  ListFileName(controls, system);
  EXPECT_EQ(
      Sorted(controls.lines),
      ExpectedLines(folder, {u"readme.txt", u"README.TXT", u"Case Twin Report.txt",
                             u"CASE TWIN REPORT.TXT", u"ends in a dot.", u"ends in a space "}));
  EXPECT_EQ(calls.short_path_questions.size(), 1u);
}

// Both services write what the system's would: the code-page form through
// the narrow one, a NUL after it, and nothing but the size needed when the
// buffer is too small.
TEST_F(EveryKindOfNameTest, AnswersAreWrittenAsTheSystemWritesThem) {
  const Text file =
      folder_.slashed() + u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt";
  ASSERT_FALSE(system_.FirstEntry(folder_.slashed() + kEveryName, kOrdinaryFiles).empty());
  while (!system_.NextEntry().empty()) {
  }
  const Text expected = SystemShortPath(file);
  std::string narrow(kShortPathBufferSize, ' ');
  const std::uint32_t length =
      system_.GetShortPathNameA(system_.ToSystemCodePage(file).value(), narrow);
  EXPECT_EQ(system_.FromSystemCodePage(narrow.substr(0, length)), expected);
  EXPECT_EQ(narrow[length], '\0');
  EXPECT_EQ(narrow.substr(length + 1), std::string(kShortPathBufferSize - length - 1, ' '));

  Text small(4, u' ');
  EXPECT_EQ(system_.GetShortPathNameW(file, small), expected.size() + 1);
  EXPECT_EQ(small, Text(4, u' '));
  EXPECT_EQ(calls_.short_path_questions.size(), 1u) << "the folder's, asked once";
}

// A folder more than 280 characters deep, in fourteen levels of long
// Japanese names.
class DeepFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 932";
    deep_ = root_.path();
    for (int level = 0; level < 14; ++level) {
      deep_ +=
          u"\\\u9577\u3044\u540D\u524D\u306E\u30D5\u30A9\u30EB\u30C0\u30FC\u3067\u3059"
          u"\u3088\u306D\u3002\u7B2C" +
          Text(1, static_cast<char16_t>(u'A' + level));
      ASSERT_TRUE(::CreateDirectoryW(AsItIs(deep_).c_str(), nullptr)) << ::GetLastError();
    }
    ASSERT_GT(deep_.size(), 280u);
    for (const Text& name : names_) MakeFile(deep_ + u'\\' + name);
    controls_.path = deep_;
  }

  const std::vector<Text> names_{u"Quarterly Report Final Version.xlsx", u"SHORT.TXT",
                                 u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt",
                                 u"\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt"};
  TempFolder root_;
  Text deep_;
  FakeSystemCalls calls_;
  Win32SystemServices system_{calls_};
  FakeControls controls_;
};

TEST_F(DeepFolderTest, LabelAndLinesAreTheWideServicesWithNoShortNameEmpty) {
  calls_.refuse_long_paths = true;
  ListFileName(controls_, system_);
  const Text short_folder = SystemShortPath(deep_ + u'\\');
  ASSERT_FALSE(short_folder.empty());
  EXPECT_LT(short_folder.size(), deep_.size());
  EXPECT_EQ(controls_.label, kLabelPrefix + short_folder);
  EXPECT_EQ(Sorted(controls_.lines), ExpectedLines(deep_ + u'\\', names_));
  for (const std::wstring& pattern : calls_.patterns) {
    EXPECT_TRUE(pattern.starts_with(L"\\\\?\\")) << "unprefixed: " << ToUtf8(FromWide(pattern));
  }
}

// Windows refuses such a path without the prefix: the services add it to
// what they ask and take it off what they give.
TEST_F(DeepFolderTest, PrefixAddedWhereNeededAndNeverShown) {
  calls_.refuse_long_paths = true;
  const Text parent = deep_.substr(0, deep_.rfind(u'\\'));
  const std::vector<Text> subfolders = system_.Subfolders(parent);
  EXPECT_EQ(subfolders, std::vector<Text>{deep_.substr(parent.size() + 1)});
  EXPECT_EQ(system_.KindOfPath(deep_), PathKind::Folder);
  EXPECT_EQ(system_.KindOfPath(deep_ + u"\\SHORT.TXT"), PathKind::File);

  const Text short_path = GetShortFileName(system_, deep_ + u"\\SHORT.TXT");
  EXPECT_EQ(short_path, SystemShortPath(deep_ + u"\\SHORT.TXT"));
  EXPECT_TRUE(short_path.starts_with(root_.path().substr(0, 3))) << ToUtf8(short_path);

  const Text missing = deep_ + u"\\\u5B58\u5728\u3057\u306A\u3044\\";
  try {
    system_.FirstEntry(missing + kEveryName, kOrdinaryFiles);
    FAIL() << "no error";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
    EXPECT_EQ(error.path(), missing);
    EXPECT_EQ(std::string(error.what()).find("\\\\?\\"), std::string::npos) << error.what();
  }
  // Short paths go as they are; the refusals above were of the long ones.
  EXPECT_EQ(system_.KindOfPath(root_.path()), PathKind::Folder);
  EXPECT_EQ(calls_.attribute_questions.back(), ToWide(root_.path()));
}

TEST(LongFormTest, PrefixesOnlyWhatNeedsIt) {
  const Text deep = u"C:\\" + Text(MAX_PATH, u'a');
  EXPECT_FALSE(NeedsLongForm(u"C:\\short\\name.txt"));
  EXPECT_TRUE(NeedsLongForm(deep));
  EXPECT_FALSE(NeedsLongForm(u"C:\\" + Text(MAX_PATH - 4, u'a'))) << "one short of MAX_PATH";
  EXPECT_TRUE(NeedsLongForm(u"C:\\folder\\ends in a dot."));
  EXPECT_TRUE(NeedsLongForm(u"C:\\ends in a space \\file.txt"));
  EXPECT_FALSE(NeedsLongForm(u"C:\\folder\\..\\file.txt")) << "the rules take '..' back";
  EXPECT_FALSE(NeedsLongForm(u"relative\\ends in a dot."));

  EXPECT_EQ(LongForm(u"C:/a/b."), u"\\\\?\\C:\\a\\b.");
  EXPECT_EQ(LongForm(u"\\\\server\\share\\b."), u"\\\\?\\UNC\\server\\share\\b.");
  EXPECT_EQ(ShownForm(u"\\\\?\\C:\\a\\b."), u"C:\\a\\b.");
  EXPECT_EQ(ShownForm(u"\\\\?\\UNC\\server\\share\\b."), u"\\\\server\\share\\b.");
  EXPECT_EQ(ShownForm(LongForm(deep)), deep);
}

}  // namespace
}  // namespace tarnwick::win32
