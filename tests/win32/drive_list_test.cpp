// The drive list's texts, and which drives it asks for a label: a network
// drive waits for its server, so only local drives are asked.
#include <gtest/gtest.h>

#include "fake_system_calls.h"
#include "platform/win32/win32_system_services.h"

namespace tarnwick::win32 {
namespace {

using testing::FakeSystemCalls;

TEST(DriveListTest, LabelsOfLocalDrivesAndSharesOfNetworkDrives) {
  FakeSystemCalls calls;
  calls.drives = {
      {L'A', {DRIVE_REMOVABLE, std::nullopt, std::nullopt}},  // no disk in it
      {L'C', {DRIVE_FIXED, L"Windows", std::nullopt}},
      {L'D', {DRIVE_CDROM, L"\u30C7\u30A3\u30B9\u30AF", std::nullopt}},
      {L'E', {DRIVE_RAMDISK, L"", std::nullopt}},
      {L'P', {DRIVE_REMOTE, L"never asked", L"\\\\server\\share"}},
      {L'Q', {DRIVE_REMOTE, L"never asked", std::nullopt}},
      {L'R', {DRIVE_UNKNOWN, L"never asked", std::nullopt}},
      {L'S', {DRIVE_NO_ROOT_DIR, L"never asked", std::nullopt}},
  };
  Win32SystemServices system(calls);
  const std::vector<Drive> expected = {
      {u"a:", u"A:\\"},
      {u"c: [Windows]", u"C:\\"},
      {u"d: [\u30C7\u30A3\u30B9\u30AF]", u"D:\\"},
      {u"e:", u"E:\\"},
      {u"p: [\\\\server\\share]", u"P:\\", u"\\\\server\\share"},
      {u"q:", u"Q:\\"},
      {u"r:", u"R:\\"},
      {u"s:", u"S:\\"},
  };
  EXPECT_EQ(system.Drives(), expected);
  EXPECT_EQ(calls.label_questions, (std::vector<std::wstring>{L"A:\\", L"C:\\", L"D:\\", L"E:\\"}));
  EXPECT_EQ(calls.connection_questions, (std::vector<std::wstring>{L"P:", L"Q:"}));
}

// A network drive whose server is gone is a drive that is not ready; a
// share's folder is one that cannot be read.
TEST(DriveListTest, ServersThatDoNotAnswer) {
  FakeSystemCalls calls;
  Win32SystemServices system(calls);
  for (const auto& [path, kind] :
       {std::pair<Text, ErrorKind>{u"P:\\", ErrorKind::NotReady},
        std::pair<Text, ErrorKind>{u"\\\\server\\share\\folder", ErrorKind::Other}}) {
    calls.unreachable = ToWide(path.substr(0, 2));
    // Taken for a folder, so that showing it says why it cannot be.
    EXPECT_EQ(system.KindOfPath(path), PathKind::Folder) << ToUtf8(path);
    try {
      system.Subfolders(path);
      ADD_FAILURE() << "no error for " << ToUtf8(path);
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.kind(), kind) << ToUtf8(path);
      EXPECT_EQ(error.path(), path);
    }
  }
}

// Wine's own drives: C: and Z: are local, so both are there and were asked.
TEST(DriveListTest, TheSystemsOwnDrives) {
  FakeSystemCalls calls;
  Win32SystemServices system(calls);
  const std::vector<Drive> drives = system.Drives();
  ASSERT_FALSE(drives.empty());
  EXPECT_NE(std::find_if(drives.begin(), drives.end(),
                         [](const Drive& drive) { return drive.root == u"C:\\"; }),
            drives.end());
  for (const std::wstring& root : calls.label_questions) {
    EXPECT_NE(::GetDriveTypeW(root.c_str()), static_cast<UINT>(DRIVE_REMOTE));
  }
}

}  // namespace
}  // namespace tarnwick::win32
