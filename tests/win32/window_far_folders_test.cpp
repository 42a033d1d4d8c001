// The Win32 window on folders far from the defaults, under Wine: one deeper
// than MAX_PATH and one on a share, each dropped on the window (what
// WM_DROPFILES hands to Form1), read back through the controls.
#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/main_window.h"
#include "platform/win32/win32_system_services.h"
#include "win32/control_text.h"
#include "win32/system_short_path.h"
#include "win32/temp_folder.h"
#include "window/texts.h"

namespace tarnwick::win32 {
namespace {

using testing::AsItIs;
using testing::ListLines;
using testing::SystemShortPath;
using testing::TempFolder;
using testing::TextOf;

const Text kArrow = u" \u21D4 ";

class FarFolderWindow : public ::testing::Test {
 protected:
  FarFolderWindow() {
    window = std::make_unique<MainWindow>(*system, ::GetModuleHandleW(nullptr));
    window->SetMessageShower(
        [this](HWND, const Text& text, std::int32_t, const Text&) { messages.push_back(text); });
    window->Create(folder.path());
    window->Load();
  }

  // The label and the lines the window should show for `shown`, a folder
  // holding the one file `name`.
  void ExpectListing(const Text& shown, const Text& name) {
    const Text short_folder = SystemShortPath(shown);
    EXPECT_EQ(TextOf(window->control(kLabel1Id)), kLabelPrefix + short_folder);
    const Text short_path = SystemShortPath(shown + name);
    const Text short_name = short_path.substr(short_path.rfind(u'\\') + 1);
    EXPECT_EQ(ListLines(window->control(kList1Id)), std::vector<Text>{name + kArrow + short_name});
  }

  TempFolder folder;
  std::unique_ptr<SystemServices> system = CreateSystemServices();
  std::unique_ptr<MainWindow> window;
  std::vector<Text> messages;
};

TEST_F(FarFolderWindow, ShowsAFolderDeeperThanMaxPath) {
  Text deep = folder.path();
  for (int level = 0; level < 14; ++level) {
    deep +=
        u"\\\u9577\u3044\u540D\u524D\u306E\u30D5\u30A9\u30EB\u30C0\u30FC\u3067\u3059\u3088"
        u"\u306D\u3002\u7B2C" +
        Text(1, static_cast<char16_t>(u'A' + level));
    ASSERT_TRUE(::CreateDirectoryW(AsItIs(deep).c_str(), nullptr));
  }
  ASSERT_GT(deep.size(), 280u);
  const Text name = u"Quarterly Report Final Version.xlsx";
  const HANDLE file = ::CreateFileW(AsItIs(deep + u'\\' + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);

  window->form().Dropped({deep});
  EXPECT_EQ(messages, std::vector<Text>{});
  EXPECT_EQ(window->form().Dir1Path(), deep);
  ASSERT_FALSE(SystemShortPath(deep + u'\\').empty());
  ExpectListing(deep + u'\\', name);
}

// The share that the tests' script serves through Wine's dosdevices/unc.
// Wine's short-path service answers nothing on a share, so neither does
// the window; on Windows the label shows the share's short path.
TEST_F(FarFolderWindow, ShowsAFolderOnAShare) {
  const Text share = u"\\\\tarnwick-server\\share\\";
  if (::GetFileAttributesW(ToWide(share + u"folder").c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no share: the tests' script serves it";
  }
  window->form().Dropped({share + u"folder"});
  EXPECT_EQ(messages, std::vector<Text>{});
  EXPECT_EQ(window->form().Dir1Path(), share + u"folder");
  const std::vector<Text> tree = ListLines(window->control(kDir1Id));
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_NE(tree[0].find(share), Text::npos) << "the tree starts at the share";
  EXPECT_NE(tree[2].find(u"Sub"), Text::npos);
  EXPECT_EQ(::SendMessageW(window->control(kDrive1Id), CB_GETCURSEL, 0, 0), CB_ERR)
      << "no drive is mapped to the share";
  ExpectListing(share + u"folder\\", u"Long Report Name.docx");
}

}  // namespace
}  // namespace tarnwick::win32
