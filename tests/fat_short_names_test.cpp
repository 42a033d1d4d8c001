#include "fat/fat_short_names.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tarnwick::fat {
namespace {

// The code page 932 bytes of UTF-8 text, or "?" when 932 cannot hold it.
std::string ToCp932(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string out(utf8.size() + 1, '\0');
  char* in_ptr = const_cast<char*>(utf8.data());
  char* out_ptr = out.data();
  std::size_t in_left = utf8.size();
  std::size_t out_left = out.size();
  const bool ok = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  return ok ? out.substr(0, out.size() - out_left) : "?";
}

// Short names that are equal without regard to case are equal once their
// ASCII letters are: their other characters are upper-case already.
std::string Fold(std::string name) {
  for (char& c : name) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return name;
}

TEST(IsValidShortNameTest, AcceptsEightDotThreeNamesInAnyCase) {
  for (const char* name : {"README.TXT", "readme.txt", "ReadMe.Txt", "a", "ABC~1.TXT", "日本語.TXT",
                           "日本語で.txt", "Ａ.TXT", "ｱｲｳｴｵｶｷｸ.ｹｺｻ", "ソ.ソ", "餌", "表.txt",
                           "-@^_`{}~.!#$", "%&'()", "A\u3000B.TXT"}) {
    EXPECT_TRUE(IsValidShortName(name)) << name;
  }
}

TEST(IsValidShortNameTest, RejectsOtherNames) {
  // clang-format off
  const char* const names[] = {
      // Wrong shape: lengths in 932 bytes, periods.
      "", "日本語です.txt", "ｱｲｳｴｵｶｷｸｹ", "a.日本", ".profile", "a.b.c", "abc.", "abcdefghi",
      "a.text",
      // Characters a short name may not hold.
      "a b.txt", "x+y.txt", "a\\b", "a,b", "a;b", "a=b", "[a]", "a*", "a?", "a|b", "a:b", "a\"b",
      "a<b", "a/b", "\x01", "\x7f",
      // Lower case outside ASCII, and characters 932 does not hold as themselves.
      "ａ.txt", "é.txt", "\xff.txt", "¥.txt", "\U0001F600", "한", "日\U000E0041",
      // Letters that upper-case to ASCII, but are none: the long s and the dotless i.
      "\u017F.txt", "\u0131", "@\u017F~"};
  // clang-format on
  for (const char* name : names) {
    EXPECT_FALSE(IsValidShortName(name)) << name;
  }
}

TEST(MakeShortNamesTest, GivesEachLoneNameItsFatName) {
  const std::pair<const char*, const char*> cases[] = {
      {"readme.txt", "readme.txt"},
      {"Long File Name.txt", "LONGFI~1.TXT"},
      {"a.b.c.d", "ABC~1.D"},
      {"x+y=z.txt", "X_Y_Z~1.TXT"},
      {"日本語のファイル名.txt", "日本語~1.TXT"},
      {".bashrc", "BASHRC~1"},
      {"a.text", "A~1.TEX"},
      // Spaces and periods take no room in either part.
      {"a b c d e f g h i.txt", "ABCDEF~1.TXT"},
      {"..a.b.c.d.e.f.g.h.txt", "ABCDEF~1.TXT"},
      {"a.t x t", "A~1.TXT"},
      {"abc.", "ABC~1"},
      {" . .", "_~1"},
      {"back\\slash[1]", "BACK_S~1"},
      {"a\u3000b c.txt", "A\u3000BC~1.TXT"},  // only the ASCII space goes
      {"ａｂｃ.txt", "ＡＢＣ.TXT"},           // upper-casing alone loses nothing
      {"é.txt", "_~1.TXT"},
      {"¥.txt", "_~1.TXT"},  // 932 would read it back as a backslash
      {"\U0001F600.txt", "_~1.TXT"},
      {"한국어.txt", "___~1.TXT"},
      {"\xff\xfe.txt", "__~1.TXT"},
      {"日\U000E0041本.txt", "日_本~1.TXT"},  // glibc's iconv drops tag characters unasked
      {"ｱｲｳｴｵｶｷｸｹ.txt", "ｱｲｳｴｵｶ~1.TXT"},
      // ソ and 表 end in byte 0x5C, 餌 in 0x61: never a backslash, never
      // upper-cased, never split.
      {"アイウソ123456.txt", "アイウ~1.TXT"},
      {"アイソ1234.txt", "アイソ~1.TXT"},
      {"aアイソ123.txt", "Aアイ~1.TXT"},
      {"abcdeソ.txt", "abcdeソ.txt"},
      {"表表表表表.txt", "表表表~1.TXT"},
      {"餌餌餌餌餌.txt", "餌餌餌~1.TXT"},
      {"a.ソソ", "A~1.ソ"},
      {"@\u017F~", "@_~~1"},
      {"Fi\u0131e.txt", "FI_E~1.TXT"},
  };
  for (const auto& [name, expected] : cases) {
    const std::vector<std::string> result = MakeShortNames({name});
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0], expected) << name;
  }
}

// A character of every lead-byte range of code page 932 (0x81-0x9F and
// 0xE0-0xFC, the edges included) keeps its double-byte form: a valid 8.3
// name stays as it is, and a basis name takes three of them whole.
TEST(MakeShortNamesTest, KeepsCharactersOfEveryLeadByte) {
  const struct {
    const char* character;
    const char* lead;
  } cases[] = {{"○", "\x81"},  {"ソ", "\x83"}, {"亜", "\x88"}, {"滌", "\x9F"}, {"漾", "\xE0"},
               {"熙", "\xEA"}, {"纊", "\xFA"}, {"涖", "\xFB"}, {"髜", "\xFC"}, {"黑", "\xFC"}};
  for (const auto& c : cases) {
    const std::string one = c.character;
    ASSERT_EQ(ToCp932(one).substr(0, 1), c.lead) << one;
    EXPECT_EQ(MakeShortNames({one + ".txt", one + one + one + one + one + " report.txt"}),
              (std::vector<std::string>{one + ".txt", one + one + one + "~1.TXT"}))
        << one;
  }
}

// Half-width katakana take one byte in code page 932 and three in UTF-8: a
// valid 8.3 name of them is up to 34 bytes long, and is kept, before any
// name is made, even from a name that comes first in binary order.
TEST(MakeShortNamesTest, KeepsLongValidNamesInUtf8BeforeMakingAny) {
  const std::string longest = "ｱｲｳｴｵｶｷｸ.ｹｺｻ";
  ASSERT_EQ(longest.size(), 34u);
  EXPECT_EQ(MakeShortNames({longest}), std::vector<std::string>{longest});
  const std::string kept = "ｱｲｳｴｵｶ~1.ｹｺｻ";
  ASSERT_EQ(kept.size(), 30u);
  EXPECT_EQ(MakeShortNames({"ｱｲｳｴｵｶ1234.ｹｺｻ", kept}),
            (std::vector<std::string>{"ｱｲｳｴｵｶ~2.ｹｺｻ", kept}));
}

TEST(MakeShortNamesTest, ResolvesClashesWithinTheFolder) {
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"readme.txt", "README.TXT"}, {"README~1.TXT", "README.TXT"}},
      {{"readme.txt", "ReadMe.txt", "README.TXT"}, {"README~2.TXT", "README~1.TXT", "README.TXT"}},
      {{"Long File Name.txt", "LONGFI~1.TXT"}, {"LONGFI~2.TXT", "LONGFI~1.TXT"}},
      // The kept name comes after the made one in binary order.
      {{"a.b.c.d", "abc~1.d"}, {"ABC~2.D", "abc~1.d"}},
      // Each basis has tails of its own; in binary order the ".txt" names
      // come before and after the ".doc" one.
      {{"Long File Name.txt", "Long File Name 2.txt", "Long File Name.doc", "Other Name.txt"},
       {"LONGFI~2.TXT", "LONGFI~1.TXT", "LONGFI~1.DOC", "OTHERN~1.TXT"}},
      {{"ａ.txt", "Ａ.TXT"}, {"Ａ~1.TXT", "Ａ.TXT"}},
      {{"ソ.txt", "ソ.TXT"}, {"ソ~1.TXT", "ソ.TXT"}},
      {{"Long File Name 1.txt", "Long File Name 10.txt", "Long File Name 11.txt",
        "Long File Name 2.txt", "Long File Name 3.txt", "Long File Name 4.txt",
        "Long File Name 5.txt", "Long File Name 6.txt", "Long File Name 7.txt",
        "Long File Name 8.txt", "Long File Name 9.txt"},
       {"LONGFI~1.TXT", "LONGFI~2.TXT", "LONGFI~3.TXT", "LONGFI~4.TXT", "LONGFI~5.TXT",
        "LONGFI~6.TXT", "LONGFI~7.TXT", "LONGFI~8.TXT", "LONGFI~9.TXT", "LONGF~10.TXT",
        "LONGF~11.TXT"}},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeShortNames(c.names), c.expected);
}

TEST(MakeShortNamesTest, GeneratedFoldersGetValidUniqueOrderFreeNames) {
  const std::vector<std::string> pieces = {
      "a",  "B",  "z", "Q",  "0",  "7",  " ",  ".", ".",          "+",    "[",      "~", "_",
      "ソ", "ア", "ｱ", "日", "表", "餌", "ａ", "é", "\U0001F600", "\xff", "\u3000", "\\"};
  std::mt19937 random(20240611);
  std::set<std::string> unique_names;
  while (unique_names.size() < 3000) {
    std::string name;
    for (std::size_t n = random() % 12 + 1; n > 0; --n) name += pieces[random() % pieces.size()];
    unique_names.insert(name);
  }
  std::vector<std::string> names(unique_names.begin(), unique_names.end());
  std::shuffle(names.begin(), names.end(), random);
  const std::vector<std::string> result = MakeShortNames(names);
  ASSERT_EQ(result.size(), names.size());

  std::map<std::string, std::string> by_name;
  std::set<std::string> folded;
  for (std::size_t i = 0; i < names.size(); ++i) {
    by_name[names[i]] = result[i];
    if (result[i].empty()) continue;
    EXPECT_TRUE(IsValidShortName(result[i])) << result[i];
    const std::string bytes = ToCp932(result[i]);
    const std::size_t period = bytes.find('.');
    EXPECT_LE(std::min(period, bytes.size()), 8u) << result[i];
    EXPECT_LE(period == std::string::npos ? 0 : bytes.size() - period - 1, 3u) << result[i];
    EXPECT_TRUE(folded.insert(Fold(result[i])).second) << "clash: " << result[i];
  }
  // A valid name keeps its own exactly when no valid name before it in
  // binary order equals it without regard to case.
  std::set<std::string> seen_folds;
  for (const std::string& name : unique_names) {
    const bool first = IsValidShortName(name) && seen_folds.insert(Fold(name)).second;
    EXPECT_EQ(by_name[name] == name, first) << name << " -> " << by_name[name];
  }
  EXPECT_GT(seen_folds.size(), 100u);  // the folder holds enough valid names to say something

  std::reverse(names.begin(), names.end());
  const std::vector<std::string> again = MakeShortNames(names);
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(again[i], by_name[names[i]]);
}

// How long these take is a figure of the benchmark (--fat-rules).
TEST(MakeShortNamesTest, TailsRunIntoTheTensOfThousands) {
  // One basis for all; then 1296 bases ("ABCDEF00" ...) whose tails all
  // begin "ABCDEF~". Both lists are in binary order, so the last name gets
  // the last tail.
  std::vector<std::string> one_basis;
  std::vector<std::string> shared_prefix;
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int i = 0; i < 20000; ++i) {
    one_basis.push_back("Long File Name " + std::to_string(100000 + i) + ".txt");
    shared_prefix.push_back("abcdef" + std::string{alphabet[i / 36 % 36], alphabet[i % 36]} +
                            std::to_string(100000 + i) + ".txt");
  }
  std::sort(shared_prefix.begin(), shared_prefix.end());
  const std::pair<const std::vector<std::string>*, const char*> cases[] = {
      {&one_basis, "LO~20000.TXT"}, {&shared_prefix, "AB~20000.TXT"}};
  for (const auto& [names, last] : cases) {
    const std::vector<std::string> result = MakeShortNames(*names);
    EXPECT_EQ(std::set<std::string>(result.begin(), result.end()).size(), names->size());
    EXPECT_EQ(result.back(), last);
  }
}

}  // namespace
}  // namespace tarnwick::fat
