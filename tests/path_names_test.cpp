#include "listing/path_names.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tarnwick {
namespace {

using testing::FakeSystem;

TEST(GetFileName, GivesWhatFollowsTheLastSeparatorOnly) {
  struct Case {
    Text path;
    Text name;
  };
  const Case cases[] = {
      {u"C:\\DIR\\NAME.TXT", u"NAME.TXT"},
      {u"C:\\DIR\\", u""},
      {u"NAME.TXT", u""},
      {u"", u""},
      {u"A\\B\\C", u"C"},
      {u"C:NAME.TXT", u""},
      {u"C:\\DIR/NAME.TXT", u"DIR/NAME.TXT"},
      {u"\\", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetFileName(c.path, u'\\'), c.name);
  }
  EXPECT_EQ(GetFileName(u"/home/user/name.txt", u'/'), u"name.txt");
  EXPECT_EQ(GetFileName(u"C:\\DIR\\NAME.TXT", u'/'), u"");
}

TEST(GetShortFileName, GivesTheServicesShortFormWithItsFinalSeparator) {
  FakeSystem system;
  system.short_paths[u"C:\\Program Files\\"] = u"C:\\PROGRA~1\\";
  system.short_paths[u"C:\\Program Files\\My Long Name.txt"] = u"C:\\PROGRA~1\\MYLONG~1.TXT";
  EXPECT_EQ(GetShortFileName(system, u"C:\\Program Files\\"), u"C:\\PROGRA~1\\");
  EXPECT_EQ(GetShortFileName(system, u"C:\\Program Files\\My Long Name.txt"),
            u"C:\\PROGRA~1\\MYLONG~1.TXT");
  EXPECT_TRUE(system.buffers_were_spaces);
}

TEST(GetShortFileName, GivesTheEmptyTextWhenTheServiceLeavesTheBufferAlone) {
  FakeSystem system;
  EXPECT_EQ(GetShortFileName(system, u"C:\\missing\\file.txt"), u"");
  EXPECT_EQ(GetShortFileName(system, u""), u"");
}

TEST(GetShortFileName, ConvertsThroughTheSystemCodePageBothWays) {
  FakeSystem system;
  // Both names hold trail bytes 0x00, 0x20 and 0x5C in the fakes' code page,
  // which must neither end the text nor be trimmed nor be taken for "\".
  const Text long_path =
      u"C:\\\u3000\u3020\u305C\u65E5\u672C\u8A9E\u306E\u30D5\u30A1\u30A4\u30EB.txt";
  const Text short_path = u"C:\\\u3000\u3020\u305C~1.TXT";
  system.short_paths[long_path] = short_path;
  EXPECT_EQ(GetShortFileName(system, long_path), short_path);
  ASSERT_EQ(system.narrow_requests.size(), 1u);
  EXPECT_EQ(system.narrow_requests[0], long_path);
  EXPECT_TRUE(system.wide_requests.empty());
}

TEST(GetShortFileName, TrimsBeforeCuttingAtTheFirstNul) {
  FakeSystem system;
  // Leading spaces go, spaces inside stay, the text ends at the first NUL.
  system.raw_short_paths[u"a"] = std::string("  C:\\MY DIR\\A.TXT\0B", 19);
  EXPECT_EQ(GetShortFileName(system, u"a"), u"C:\\MY DIR\\A.TXT");
  // Without a NUL the trimmed buffer is the answer as it stands.
  system.raw_short_paths[u"b"] = std::string(" C:\\B.TXT ");
  EXPECT_EQ(GetShortFileName(system, u"b"), u"C:\\B.TXT");
  // A NUL first leaves nothing.
  system.raw_short_paths[u"c"] = std::string("\0C:\\C.TXT", 9);
  EXPECT_EQ(GetShortFileName(system, u"c"), u"");
  // A whole buffer of text, no NUL and no spaces, comes back whole.
  system.raw_short_paths[u"d"] = std::string(kShortPathBufferSize, 'D');
  EXPECT_EQ(GetShortFileName(system, u"d"), Text(kShortPathBufferSize, u'D'));
}

TEST(GetShortFileName, StartsEveryCallWithAFreshBufferOfSpaces) {
  FakeSystem system;
  system.short_paths[u"C:\\A LONG NAME.TXT"] = u"C:\\ALONGN~1.TXT";
  EXPECT_EQ(GetShortFileName(system, u"C:\\A LONG NAME.TXT"), u"C:\\ALONGN~1.TXT");
  // A second call for a missing path must not see the first call's answer.
  EXPECT_EQ(GetShortFileName(system, u"C:\\missing.txt"), u"");
  EXPECT_TRUE(system.buffers_were_spaces);
}

TEST(GetShortFileName, UsesTheWideServiceForAPathTheCodePageCannotHold) {
  FakeSystem system;
  const Text korean = u"C:\\\uD55C\uAD6D\uC5B4 \uD30C\uC77C.txt";
  system.short_paths[korean] = u"C:\\___~1.TXT";
  EXPECT_EQ(GetShortFileName(system, korean), u"C:\\___~1.TXT");
  EXPECT_EQ(system.wide_requests, std::vector<Text>{korean});
  EXPECT_TRUE(system.narrow_requests.empty());
  // What the wide service leaves is trimmed and cut in the same way.
  EXPECT_EQ(GetShortFileName(system, u"C:\\\xD83D\xDE00.txt"), u"");
  EXPECT_TRUE(system.buffers_were_spaces);
}

}  // namespace
}  // namespace tarnwick
