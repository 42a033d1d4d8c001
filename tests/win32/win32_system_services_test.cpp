// The Windows services on real folders of the system (under Wine in the
// Japanese locale, whose ANSI code page is 932).
#include "platform/win32/win32_system_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "temp_folder.h"

namespace tarnwick::win32 {
namespace {

using testing::TempFolder;

constexpr std::int32_t kHidden = 2;
constexpr std::int32_t kSystem = 4;
constexpr std::int32_t kFolders = 16;

// Every name of one enumeration, with a check that it stays ended.
std::multiset<Text> Enumerate(SystemServices& system, const Text& folder,
                              std::int32_t attributes = kOrdinaryFiles) {
  std::multiset<Text> names;
  for (Text name = system.FirstEntry(folder + u"\\*.*", attributes); !name.empty();
       name = system.NextEntry()) {
    names.insert(name);
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(system.NextEntry(), u"") << "after the end";
  return names;
}

class EnumerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.AddFile(u"plain.txt");
    folder_.AddFile(u"NoDot");
    folder_.AddFile(u"readonly.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    folder_.AddFile(u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt");
    folder_.AddFile(u"\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt");
    folder_.AddFile(u"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    folder_.AddFile(u"system.sys", FILE_ATTRIBUTE_SYSTEM);
    folder_.AddFile(u"both.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder_.AddFolder(u"sub");
    folder_.AddFolder(u"hidden sub", FILE_ATTRIBUTE_HIDDEN);
  }

  const std::multiset<Text> ordinary_{u"plain.txt", u"NoDot", u"readonly.txt",
                                      u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt",
                                      u"\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt"};
  TempFolder folder_;
  Win32SystemServices system_;
};

TEST_F(EnumerationTest, OrdinaryFilesOnlyWithTheirLongNames) {
  EXPECT_EQ(Enumerate(system_, folder_.path()), ordinary_);
}

TEST_F(EnumerationTest, FirstEntryStartsOverAndTheFinalSeparatorMayBeThere) {
  ASSERT_FALSE(system_.FirstEntry(folder_.slashed() + u"*.*", kOrdinaryFiles).empty());
  ASSERT_FALSE(system_.NextEntry().empty());
  EXPECT_EQ(Enumerate(system_, folder_.path()), ordinary_);
}

TEST_F(EnumerationTest, MaskAdmitsKindsAsDirDoes) {
  std::multiset<Text> hidden = ordinary_;
  hidden.insert(u"hidden.txt");
  EXPECT_EQ(Enumerate(system_, folder_.path(), kHidden), hidden);

  std::multiset<Text> hidden_system = hidden;
  hidden_system.insert({u"system.sys", u"both.dat"});
  EXPECT_EQ(Enumerate(system_, folder_.path(), kHidden | kSystem), hidden_system);

  std::multiset<Text> folders = ordinary_;
  folders.insert({u".", u"..", u"sub"});
  EXPECT_EQ(Enumerate(system_, folder_.path(), kFolders), folders);

  std::multiset<Text> everything = hidden_system;
  everything.insert({u".", u"..", u"sub", u"hidden sub"});
  EXPECT_EQ(Enumerate(system_, folder_.path(), kHidden | kSystem | kFolders), everything);
}

TEST(EmptyFolderTest, GivesNoNames) {
  TempFolder folder;
  Win32SystemServices system;
  EXPECT_EQ(Enumerate(system, folder.path()), std::multiset<Text>{});

  // Only hidden files and folders is no different.
  folder.AddFile(u"desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  folder.AddFolder(u"sub");
  EXPECT_EQ(Enumerate(system, folder.path()), std::multiset<Text>{});

  // A pattern that matches nothing at all, not even "." and "..".
  EXPECT_EQ(system.FirstEntry(folder.slashed() + u"*.none", kOrdinaryFiles), u"");
  EXPECT_EQ(system.NextEntry(), u"");
}

TEST(MissingFolderTest, ThrowsNotFoundWithThePathInUtf8) {
  TempFolder folder;
  Win32SystemServices system;
  const Text missing = folder.slashed() + u"\u5B58\u5728\u3057\u306A\u3044\\";
  try {
    system.FirstEntry(missing + u"*.*", kOrdinaryFiles);
    FAIL() << "no error";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
    EXPECT_EQ(error.path(), missing);
    const std::string what = error.what();
    EXPECT_NE(what.find(ToUtf8(missing)), std::string::npos) << what;
    EXPECT_NE(what.find("\xE5\xAD\x98\xE5\x9C\xA8\xE3\x81\x97\xE3\x81\xAA\xE3\x81\x84"),
              std::string::npos)
        << what;
    // The system's own message, for the window, as the console has it too.
    const Text& words = error.system_words();
    ASSERT_FALSE(words.empty());
    EXPECT_NE(words.back(), u'\n');
    EXPECT_NE(words.back(), u'\r');
    EXPECT_NE(what.find(": " + ToUtf8(words) + ")"), std::string::npos) << what;
  }
  EXPECT_EQ(system.NextEntry(), u"");

  // A file is no folder either.
  const Text file = folder.AddFile(u"file.txt");
  try {
    system.FirstEntry(file + u"\\*.*", kOrdinaryFiles);
    FAIL() << "no error";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::NotFound);
  }
}

TEST(MissingFolderTest, FailedStartEndsTheEnumerationBefore) {
  TempFolder folder;
  folder.AddFile(u"a.txt");
  folder.AddFile(u"b.txt");
  Win32SystemServices system;
  ASSERT_FALSE(system.FirstEntry(folder.slashed() + u"*.*", kOrdinaryFiles).empty());
  EXPECT_THROW(system.FirstEntry(folder.slashed() + u"gone\\*.*", kOrdinaryFiles), PlatformError);
  EXPECT_EQ(system.NextEntry(), u"");
}

// The short-path services leave the buffer as it was when there is no such
// path, and write the short path and a NUL when there is.
TEST(ShortPathTest, WritesOnlyForAPathThatExists) {
  TempFolder folder;
  Win32SystemServices system;
  const std::string narrow_missing =
      system.ToSystemCodePage(folder.slashed() + u"missing.txt").value();
  std::string narrow(kShortPathBufferSize, ' ');
  EXPECT_EQ(system.GetShortPathNameA(narrow_missing, narrow), 0u);
  EXPECT_EQ(narrow, std::string(kShortPathBufferSize, ' '));

  Text wide(kShortPathBufferSize, u' ');
  EXPECT_EQ(system.GetShortPathNameW(folder.slashed() + u"missing.txt", wide), 0u);
  EXPECT_EQ(wide, Text(kShortPathBufferSize, u' '));

  const Text file = folder.AddFile(u"A Rather Long File Name.text");
  const std::uint32_t narrow_length =
      system.GetShortPathNameA(system.ToSystemCodePage(file).value(), narrow);
  ASSERT_GT(narrow_length, 0u);
  ASSERT_LT(narrow_length, kShortPathBufferSize);
  EXPECT_EQ(narrow[narrow_length], '\0');
  const std::string narrow_short = narrow.substr(0, narrow_length);
  EXPECT_NE(::GetFileAttributesA(narrow_short.c_str()), INVALID_FILE_ATTRIBUTES) << narrow_short;
  const std::string narrow_name = narrow_short.substr(narrow_short.rfind('\\') + 1);
  EXPECT_LE(narrow_name.size(), 12u) << narrow_name;
  EXPECT_EQ(narrow_name.find(' '), std::string::npos) << narrow_name;

  const std::uint32_t wide_length = system.GetShortPathNameW(file, wide);
  ASSERT_EQ(wide_length, narrow_length);
  EXPECT_EQ(wide[wide_length], u'\0');
  EXPECT_EQ(wide.substr(0, wide_length), system.FromSystemCodePage(narrow_short));
}

class CodePage932Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 932";
  }
  Win32SystemServices system_;
};

TEST_F(CodePage932Test, JapaneseIsHeldExactly) {
  EXPECT_EQ(system_.ToSystemCodePage(u"\u65E5\u672C"), "\x93\xFA\x96\x7B");
  EXPECT_EQ(system_.ToSystemCodePage(u"C:\\\u8868\\a.txt"), "C:\\\x95\x5C\\a.txt")
      << "a trail byte may be the byte of a backslash";
  EXPECT_EQ(system_.ToSystemCodePage(u"\uFF71"), "\xB1") << "half-width katakana is one byte";
  EXPECT_EQ(system_.ToSystemCodePage(u"a?b"), "a?b") << "a question mark of its own is fine";
  EXPECT_EQ(system_.ToSystemCodePage(u""), "");
  EXPECT_EQ(system_.ToSystemCodePage(std::u16string_view(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(system_.ToSystemCodePage(Text(kShortPathBufferSize, u' ')),
            std::string(kShortPathBufferSize, ' '));
}

TEST_F(CodePage932Test, WhatTheCodePageLacksGivesNothing) {
  EXPECT_EQ(system_.ToSystemCodePage(u"\uD55C\uAD6D\uC5B4"), std::nullopt) << "Korean";
  EXPECT_EQ(system_.ToSystemCodePage(u"\u65E5\u672C\uD55C"), std::nullopt) << "mostly Japanese";
  EXPECT_EQ(system_.ToSystemCodePage(u"\U0001F600.txt"), std::nullopt) << "emoji";
  EXPECT_EQ(system_.ToSystemCodePage(u"\u00E4"), std::nullopt) << "no best fit to 'a'";
  const Text lone_surrogate(1, static_cast<char16_t>(0xD800));
  EXPECT_EQ(system_.ToSystemCodePage(lone_surrogate), std::nullopt) << "lone surrogate";
}

TEST_F(CodePage932Test, FromTheCodePageKeepsEveryByte) {
  EXPECT_EQ(system_.FromSystemCodePage("\x93\xFA\x96\x7B"), u"\u65E5\u672C");
  EXPECT_EQ(system_.FromSystemCodePage(std::string_view("ab\0\x93\xFA", 5)),
            std::u16string_view(u"ab\0\u65E5", 4));
  EXPECT_EQ(system_.FromSystemCodePage(""), u"");
  EXPECT_EQ(system_.FromSystemCodePage("\xB1"), u"\uFF71");

  const Text name = u"\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB\u540D.txt";
  EXPECT_EQ(system_.FromSystemCodePage(system_.ToSystemCodePage(name).value()), name);
  // Whatever bytes come, they give some text.
  EXPECT_FALSE(system_.FromSystemCodePage("\x81").empty());
}

// Where a short name comes from, told by the names and the system's own test
// of the long name. The folder is not looked at.
TEST(ShortNameOriginTest, AValid83NameStandsForItselfAnyOtherShortNameIsTheDisks) {
  Win32SystemServices system;
  const Text folder = u"C:\\";
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"readme.txt", u"readme.txt"),
            ShortNameOrigin::ValidName);
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"NODOT", u"NODOT"), ShortNameOrigin::ValidName);
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"Long File Name.text", u"LONGFI~1.TEX"),
            ShortNameOrigin::Disk);
  // Names that are no valid 8.3 names, the file system keeping no other.
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"a b.txt", u"a b.txt"), ShortNameOrigin::None)
      << "a space";
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"abcdefghi.txt", u"abcdefghi.txt"),
            ShortNameOrigin::None);
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"a+b.txt", u"a+b.txt"), ShortNameOrigin::None);
  EXPECT_EQ(system.ShortNameOriginOf(folder, u"readme.txt", u""), ShortNameOrigin::None);
}

TEST_F(CodePage932Test, AJapaneseNameOfSixBytesIsValid) {
  // Three characters of two bytes each in code page 932.
  EXPECT_EQ(
      system_.ShortNameOriginOf(u"C:\\", u"\u65E5\u672C\u8A9E.txt", u"\u65E5\u672C\u8A9E.txt"),
      ShortNameOrigin::ValidName);
  EXPECT_EQ(system_.ShortNameOriginOf(u"C:\\", u"\u65E5\u672C\u8A9E\u306E\u540D.txt",
                                      u"\u65E5\u672C\u8A9E\u306E\u540D.txt"),
            ShortNameOrigin::None)
      << "ten bytes";
}

TEST(LowerCaseTest, LettersOfEveryKindKeepTheirLength) {
  Win32SystemServices system;
  EXPECT_EQ(system.ToLowerCase(u"ABC xyz 019 .TXT"), u"abc xyz 019 .txt");
  EXPECT_EQ(system.ToLowerCase(u"\uFF21\uFF22\uFF3A"), u"\uFF41\uFF42\uFF5A") << "full width";
  EXPECT_EQ(system.ToLowerCase(u"\u00C0\u00C9\u00CE\u00D5\u00DC"),
            u"\u00E0\u00E9\u00EE\u00F5\u00FC")
      << "accented";
  EXPECT_EQ(system.ToLowerCase(u"\u0391\u0411"), u"\u03B1\u0431") << "Greek and Cyrillic";
  EXPECT_EQ(system.ToLowerCase(u"\u65E5\u672C\u30D5\uFF71"), u"\u65E5\u672C\u30D5\uFF71");
  EXPECT_EQ(system.ToLowerCase(u""), u"");
  EXPECT_EQ(system.ToLowerCase(Text(u"A\0B", 3)), Text(u"a\0b", 3));
  EXPECT_EQ(system.ToLowerCase(u"\U0001F600X"), u"\U0001F600x");
}

}  // namespace
}  // namespace tarnwick::win32
