#include "platform/linux/short_name_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tarnwick::on_linux {
namespace {

TEST(ShortNameTable, FindsEveryNameAfterItGrowsAndTheLastShortNameGiven) {
  ShortNameTable table;
  EXPECT_EQ(table.Find("anything"), std::nullopt);
  for (int i = 0; i < 10000; ++i) {
    table.Set("Long Name " + std::to_string(i) + ".txt", "LONGNA~" + std::to_string(i));
  }
  table.Set("Long Name 17.txt", "OTHER.TXT");
  table.Set("caf\xE9", "CAF_");  // file-name bytes, not UTF-8
  EXPECT_EQ(table.size(), 10001u);
  for (int i = 0; i < 10000; ++i) {
    const std::string expected = i == 17 ? "OTHER.TXT" : "LONGNA~" + std::to_string(i);
    ASSERT_EQ(table.Find("Long Name " + std::to_string(i) + ".txt"), expected) << i;
  }
  EXPECT_EQ(table.Find("caf\xE9"), "CAF_");
  EXPECT_EQ(table.Find("Long Name 10000.txt"), std::nullopt);
  EXPECT_EQ(table.Find("long name 1.txt"), std::nullopt);  // names are bytes, case and all
  EXPECT_THROW(table.Set(std::string(70000, 'x'), "X"), std::length_error);
}

}  // namespace
}  // namespace tarnwick::on_linux
