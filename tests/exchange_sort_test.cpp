#include "listing/exchange_sort.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "support/reference_exchange_sort.h"

namespace tarnwick {
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

// Both ways of sorting, the one of this compiler and the one of compilers
// without 128-bit integers, must give the reference's order.
void ExpectSameOrderAsReference(const std::vector<Text>& keys) {
  const std::vector<std::int32_t> expected = ReferenceOrder(keys);
  const auto n = static_cast<std::int64_t>(keys.size());
  for (const auto sort : {ExchangeSort, ExchangeSortOfTwoWords}) {
    const ExchangeSortResult result = sort(keys);
    EXPECT_EQ(result.order, expected);
    EXPECT_EQ(result.comparisons, n * (n > 0 ? n - 1 : 0));
  }
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

TEST(ExchangeSort, HandlesNoKeysAndOneKey) {
  EXPECT_TRUE(ExchangeSort(std::vector<Text>{}).order.empty());
  EXPECT_EQ(ExchangeSort(std::vector<Text>{u"only"}).comparisons, 0);
  EXPECT_EQ(ExchangeSort(std::vector<Text>{u"only"}).order, std::vector<std::int32_t>{0});
}

TEST(ExchangeSort, MakesEveryPassEvenOnSortedInput) {
  const std::vector<Text> sorted = {u"a", u"b", u"c", u"d", u"e", u"f", u"g"};
  const ExchangeSortResult result = ExchangeSort(sorted);
  EXPECT_EQ(result.comparisons, 7 * 6);
  EXPECT_EQ(result.order, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(ExchangeSort, MatchesTheReferenceOnRandomKeys) {
  ExpectSameOrderAsReference(RandomKeys(1, 300, u"abcdefghijklmnopqrstuvwxyz0123456789._~ ", 14));
  ExpectSameOrderAsReference(RandomKeys(2, 300, u"ab", 6));  // many equal keys
  ExpectSameOrderAsReference(RandomKeys(3, 2, u"xyz", 3));
}

TEST(ExchangeSort, MatchesTheReferenceOnKeysSharingLongStarts) {
  const Text common = u"2024\u5E74\u5EA6_\u55B6\u696D\u90E8_\u5831\u544A\u66F8_final version ";
  ExpectSameOrderAsReference(RandomKeys(4, 200, u"0123456789", 5, common));
  // Half share a start longer than any packed window, half do not.
  std::vector<Text> mixed = RandomKeys(5, 100, u"abc", 40, Text(60, u'q'));
  const std::vector<Text> others = RandomKeys(6, 100, u"pqr", 70);
  mixed.insert(mixed.end(), others.begin(), others.end());
  ExpectSameOrderAsReference(mixed);
}

TEST(ExchangeSort, MatchesTheReferenceOnKeysThatArePrefixesOfEachOther) {
  std::vector<Text> keys;
  for (int length = 40; length >= 0; length -= 3) keys.push_back(Text(length, u'a'));
  for (int length = 0; length <= 40; length += 5) keys.push_back(Text(length, u'a') + u'b');
  keys.push_back(u"");
  keys.push_back(Text(40, u'a'));
  ExpectSameOrderAsReference(keys);
}

TEST(ExchangeSort, KeepsTheFirstOrderOfEqualKeys) {
  const std::vector<Text> keys = {u"same", u"b", u"same", u"a", u"same", u"", u""};
  const ExchangeSortResult result = ExchangeSort(keys);
  EXPECT_EQ(result.order, (std::vector<std::int32_t>{5, 6, 3, 1, 0, 2, 4}));
}

TEST(ExchangeSort, ComparesCodeUnitsAsUnsignedNumbers) {
  // Surrogates (0xD800-0xDFFF) sort below U+E000 and U+FFFF by code unit,
  // even though the characters they encode lie above them; U+0000 sorts
  // below everything but the end of a key.
  const std::vector<Text> keys = {u"\uFFFF",       u"\xD83D\xDE00",  u"\uE000", u"\uFF21",
                                  u"\xDC80",       Text(u"a\0b", 3), u"a",      Text(u"a\0", 2),
                                  u"\u7FFF\uFFFF", u"\u8000"};
  const ExchangeSortResult result = ExchangeSort(keys);
  EXPECT_EQ(result.order, (std::vector<std::int32_t>{6, 7, 5, 8, 9, 1, 4, 2, 3, 0}));
  ExpectSameOrderAsReference(keys);
}

TEST(ExchangeSort, MatchesTheReferenceOverAWideAlphabet) {
  // Thousands of different code units need wider codes in the packing.
  Text alphabet;
  for (char16_t unit = 0x4E00; unit < 0x4E00 + 3000; ++unit) alphabet.push_back(unit);
  alphabet += u"\xD800\xDBFF\xDC00\xDFFF\uFFFF\u0001";
  ExpectSameOrderAsReference(RandomKeys(7, 400, alphabet, 12));
}

TEST(ExchangeSort, LooksAtWholeKeysOnlyWhenTheirStartsTie) {
  std::vector<Text> keys;
  for (int i = 0; i < 1000; ++i)
    keys.push_back(u"img_" + Text(1, char16_t(u'a' + i % 26)) + Text(1, char16_t(u'a' + i / 26)));
  keys.push_back(keys.front());  // equal keys need no look past their starts
  for (const auto sort : {ExchangeSort, ExchangeSortOfTwoWords}) {
    std::vector<Text> these = keys;
    EXPECT_EQ(sort(these).full_key_comparisons, 0);
    // Two keys that share a long start, too few to be worth shortening.
    these.push_back(Text(100, u'q') + u"2");
    these.push_back(Text(100, u'q') + u"1");
    EXPECT_GT(sort(these).full_key_comparisons, 0);
    ExpectSameOrderAsReference(these);
  }
}

TEST(ExchangeSort, MatchesTheReferenceWhenOtherKeysReachDeepIntoASharedStart) {
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

}  // namespace
}  // namespace tarnwick
