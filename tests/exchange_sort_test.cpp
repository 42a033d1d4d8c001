#include "listing/exchange_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>

#include "support/reference_exchange_sort.h"

namespace tarnwick {

// For GoogleTest's messages (found by argument-dependent lookup).
void PrintTo(SortPath path, std::ostream* out) { *out << SortPathName(path); }

namespace {

// The order in which the reference sort leaves the keys' indexes.
std::vector<std::int32_t> ReferenceOrder(const std::vector<Text>& keys) {
  std::vector<Text> sorted = keys;
  std::vector<Text> indexes;
  for (std::size_t i = 0; i < keys.size(); ++i) indexes.push_back(Text(1, char16_t(i)));
  std::vector<Text> unused = indexes;
  testing::ReferenceExchangeSort(indexes, unused, sorted);
  std::vector<std::int32_t> order;
  for (const Text& index : indexes) order.push_back(index[0]);
  return order;
}

Text RandomKey(std::mt19937& random, TextView alphabet, std::size_t max_length) {
  std::uniform_int_distribution<std::size_t> length(0, max_length);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  Text key;
  for (std::size_t i = length(random); i > 0; --i) key.push_back(alphabet[pick(random)]);
  return key;
}

std::vector<Text> RandomKeys(unsigned start, std::size_t count, TextView alphabet,
                             std::size_t max_length, const Text& common = u"") {
  std::mt19937 random(start);
  std::vector<Text> keys;
  for (std::size_t i = 0; i < count; ++i)
    keys.push_back(common + RandomKey(random, alphabet, max_length));
  return keys;
}

// Keys whose deciding units run long: every length of a run of "a" is also
// the start of a key that goes on with "b", so each "a" of the long keys
// decides something, and the long keys tie on any start that fits an item.
std::vector<Text> KeysThatTieOnTheirStarts() {
  std::vector<Text> keys;
  for (int length = 0; length < 60; ++length) keys.push_back(Text(length, u'a') + u'b');
  const Text long_run(60, u'a');
  for (const TextView end : {u"y", u"x", u"yx", u"x", u"", u"xy", u"y"})
    keys.push_back(long_run + Text(end));
  // Interleaved, so that the ties meet on the way.
  std::mt19937 random(9);
  std::shuffle(keys.begin(), keys.end(), random);
  return keys;
}

std::string NameOf(SortPath path) {
  std::string name(SortPathName(path));
  for (char& c : name) {
    if (c == '.') c = '_';
  }
  return name;
}

// Every test runs on each path of the sort in turn.
class ExchangeSortOnPath : public ::testing::TestWithParam<SortPath> {
 protected:
  void SetUp() override {
    const std::vector<SortPath> supported = SupportedSortPaths();
    if (std::find(supported.begin(), supported.end(), GetParam()) == supported.end()) {
      GTEST_SKIP() << "this processor cannot run the " << SortPathName(GetParam()) << " sort";
    }
  }

  ExchangeSortResult Sort(const std::vector<Text>& keys) { return ExchangeSort(TextList(keys), GetParam()); }

  void ExpectSameOrderAsReference(const std::vector<Text>& keys) {
    const ExchangeSortResult result = Sort(keys);
    const auto n = static_cast<std::int64_t>(keys.size());
    EXPECT_EQ(result.order, ReferenceOrder(keys)) << n << " keys";
    EXPECT_EQ(result.comparisons, n * (n > 0 ? n - 1 : 0)) << n << " keys";
    EXPECT_EQ(result.path, GetParam());
  }
};

TEST_P(ExchangeSortOnPath, MatchesTheReferenceAtEveryCountOverSeveralSweeps) {
  // Every count up to a few sweeps of the widest kernel, so that some sweeps
  // run fewer passes than they have chains; short keys of two letters give
  // many equal keys and prefixes.
  std::mt19937 random(1);
  for (std::size_t n = 0; n <= 150; ++n) {
    std::vector<Text> keys = RandomKeys(static_cast<unsigned>(n), n, u"ab", 6);
    if (n > 70) {
      // Some that tie on their packed starts, among the others.
      const std::vector<Text> tying = KeysThatTieOnTheirStarts();
      for (std::size_t i = 0; i < n; i += 2) keys[i] = tying[random() % tying.size()];
    }
    ExpectSameOrderAsReference(keys);
  }
}

TEST_P(ExchangeSortOnPath, MakesEveryPassEvenOnSortedInput) {
  const std::vector<Text> sorted = {u"a", u"b", u"c", u"d", u"e", u"f", u"g"};
  const ExchangeSortResult result = Sort(sorted);
  EXPECT_EQ(result.comparisons, 7 * 6);
  EXPECT_EQ(result.order, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6}));
}

TEST_P(ExchangeSortOnPath, OrdersKeysThatTieOnTheirStartsByTheKeysThemselves) {
  const std::vector<Text> keys = KeysThatTieOnTheirStarts();
  const ExchangeSortResult result = Sort(keys);
  EXPECT_GT(result.full_key_comparisons, 0) << "the keys no longer tie: the test lost its point";
  EXPECT_EQ(result.order, ReferenceOrder(keys));
}

TEST_P(ExchangeSortOnPath, KeepsTheFirstOrderOfEqualKeys) {
  // Lower-cased case twins ("README.TXT", "readme.txt") are equal keys.
  const std::vector<Text> keys = {u"readme.txt", u"b", u"readme.txt", u"a", u"readme.txt",
                                  u"",           u""};
  EXPECT_EQ(Sort(keys).order, (std::vector<std::int32_t>{5, 6, 3, 1, 0, 2, 4}));
}

TEST_P(ExchangeSortOnPath, PutsAPrefixBeforeItsExtensions) {
  std::vector<Text> keys;
  for (int length = 40; length >= 0; length -= 3) keys.push_back(Text(length, u'a'));
  for (int length = 0; length <= 40; length += 5) keys.push_back(Text(length, u'a') + u'b');
  keys.push_back(u"");
  keys.push_back(Text(40, u'a'));
  ExpectSameOrderAsReference(keys);
  EXPECT_EQ(Sort({u"abc~1.txt", u"abc", u"abc~"}).order, (std::vector<std::int32_t>{1, 2, 0}));
}

TEST_P(ExchangeSortOnPath, ComparesCodeUnitsAsUnsignedNumbers) {
  // Surrogates (0xD800-0xDFFF) sort below U+E000 and U+FFFF by code unit,
  // even though the characters they encode lie above them; U+0000 sorts
  // below everything but the end of a key.
  const std::vector<Text> keys = {u"\uFFFF",       u"\xD83D\xDE00",  u"\uE000", u"\uFF21",
                                  u"\xDC80",       Text(u"a\0b", 3), u"a",      Text(u"a\0", 2),
                                  u"\u7FFF\uFFFF", u"\u8000"};
  EXPECT_EQ(Sort(keys).order, (std::vector<std::int32_t>{6, 7, 5, 8, 9, 1, 4, 2, 3, 0}));
}

TEST_P(ExchangeSortOnPath, MatchesTheReferenceOnRandomKeys) {
  ExpectSameOrderAsReference(RandomKeys(1, 300, u"abcdefghijklmnopqrstuvwxyz0123456789._~ ", 14));
  ExpectSameOrderAsReference(RandomKeys(2, 300, u"ab", 6));  // many equal keys
  // Thousands of different code units, above U+D7FF too, need wide codes.
  Text alphabet;
  for (char16_t unit = 0x4E00; unit < 0x4E00 + 3000; ++unit) alphabet.push_back(unit);
  alphabet += u"\xD800\xDBFF\xDC00\xDFFF\uE000\uFFFD\uFFFF\u0001";
  ExpectSameOrderAsReference(RandomKeys(3, 400, alphabet, 12));
}

TEST_P(ExchangeSortOnPath, KeepsLargeGroupsSharingALongStartOffTheKeys) {
  // Names as cameras and offices make them: each group shares a long start,
  // which decides nothing within the group.
  std::vector<Text> keys;
  for (int i = 0; i < 600; ++i) {
    const Text number = u"0000" + Text(1, char16_t(u'0' + i % 10)) +
                        Text(1, char16_t(u'0' + i / 10 % 10)) + Text(1, char16_t(u'0' + i / 100));
    switch (i % 3) {
      case 0:
        keys.push_back(u"project alpha - quarterly financial report - draft " + number + u".xlsx");
        break;
      case 1:
        keys.push_back(u"2024\u5E74\u5EA6_\u55B6\u696D\u90E8_\u5831\u544A\u66F8_" + number);
        break;
      default:
        keys.push_back(u"pxl_20240512_" + number + u".jpg");
        break;
    }
  }
  const ExchangeSortResult result = Sort(keys);
  EXPECT_EQ(result.full_key_comparisons, 0);
  EXPECT_EQ(result.order, ReferenceOrder(keys));
}

TEST_P(ExchangeSortOnPath, MatchesTheReferenceWhenOtherKeysReachDeepIntoASharedStart) {
  const Text shared = u"project alpha - quarterly financial report - draft ";
  std::vector<Text> keys = RandomKeys(8, 120, u"0123456789", 4, shared);
  for (std::size_t cut = 0; cut <= shared.size(); cut += 7) {
    keys.push_back(shared.substr(0, cut));
    keys.push_back(shared.substr(0, cut) + u"~");
    keys.push_back(shared.substr(0, cut) + u" ");
  }
  keys.push_back(shared);
  keys.push_back(shared + u"0");
  ExpectSameOrderAsReference(keys);
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ExchangeSortOnPath,
                         ::testing::Values(SortPath::kScalar, SortPath::kSse2, SortPath::kSse42,
                                           SortPath::kAvx2, SortPath::kAvx512),
                         [](const auto& path) { return NameOf(path.param); });

TEST(ExchangeSort, TakesTheWidestPathUnlessToldOtherwise) {
  const std::vector<SortPath> supported = SupportedSortPaths();
  ASSERT_FALSE(supported.empty());
  EXPECT_EQ(supported.back(), SortPath::kScalar);
  const std::vector<Text> keys = {u"b", u"a"};
  EXPECT_EQ(ExchangeSort(TextList(keys)).path, supported.front());
  UseSortPath(SortPath::kScalar);
  EXPECT_EQ(ExchangeSort(TextList(keys)).path, SortPath::kScalar);
  UseSortPath(supported.front());
  EXPECT_EQ(ExchangeSort(TextList(keys)).path, supported.front());
}

TEST(ExchangeSort, NamesItsPaths) {
  for (const SortPath path : SupportedSortPaths()) {
    EXPECT_EQ(SortPathNamed(SortPathName(path)), path);
  }
  EXPECT_THROW(SortPathNamed("avx1024"), std::invalid_argument);
  EXPECT_THROW(SortPathNamed(""), std::invalid_argument);
}

TEST(ExchangeSort, HandlesNoKeysAndOneKey) {
  EXPECT_TRUE(ExchangeSort(TextList()).order.empty());
  const ExchangeSortResult one = ExchangeSort(TextList(std::vector<Text>{u"only"}));
  EXPECT_EQ(one.comparisons, 0);
  EXPECT_EQ(one.order, std::vector<std::int32_t>{0});
}

}  // namespace
}  // namespace tarnwick
