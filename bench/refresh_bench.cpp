// Times whole refreshes of real folders on Windows (or under Wine), given as
// arguments: with the services as they are, whose short-path operation
// answers from what the refresh's enumeration read, and with every question
// put to the system's own service, as before. Then checks, for folders of up
// to 10,000 files, that every line carries what the system's wide service
// gives for that file. Prints one line per folder:
// files=N refresh_ms=… system_questions=… each_file_to_system_ms=… lines_as_system=…
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "listing/listing_refresh.h"
#include "listing/path_names.h"
#include "platform/win32/win32_system_services.h"
#include "support/forwarding_system.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarnwick::Text;
using tarnwick::TextView;

// Beyond this, putting every file's question to the system takes minutes.
constexpr std::size_t kMostFilesAskedOneByOne = 10000;

// Keeps the names of each line.
class Lines final : public tarnwick::ListingControls {
 public:
  explicit Lines(Text folder) : folder_(std::move(folder)) {}
  std::vector<std::pair<Text, Text>> names;
  Text short_folder;

  Text Dir1Path() const override { return folder_; }
  void ListingFolder(const Text&, const Text& short_folder_path) override {
    short_folder = short_folder_path;
  }
  bool Option1Item0Value() const override { return true; }
  void SetLabel1Caption(const Text&) override {}
  void List1Clear() override { names.clear(); }
  void List1AddItem(const Text&, TextView long_name, TextView short_name) override {
    names.emplace_back(Text(long_name), Text(short_name));
  }
  void SetList1Redraw(bool) override {}

 private:
  Text folder_;
};

// Every short-path question goes to the system's own service, and is counted.
class AskingEveryTime final : public tarnwick::testing::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  std::uint32_t GetShortPathNameA(const std::string& path, std::span<char> buffer) override {
    return ::GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  std::uint32_t GetShortPathNameW(const Text& path, std::span<char16_t> buffer) override {
    std::wstring work(buffer.begin(), buffer.end());
    const DWORD result = ::GetShortPathNameW(tarnwick::win32::ToWide(path).c_str(), work.data(),
                                             static_cast<DWORD>(work.size()));
    std::copy(work.begin(), work.end(), buffer.begin());
    return result;
  }
};

// Counts the questions that reach the system.
class CountingCalls final : public tarnwick::win32::SystemCalls {
 public:
  int short_path_questions = 0;
  std::unique_ptr<tarnwick::win32::FolderSearch> FindFirst(const std::wstring& pattern,
                                                           WIN32_FIND_DATAW& entry,
                                                           DWORD& error) override {
    return real_.FindFirst(pattern, entry, error);
  }
  DWORD ShortPathOf(const std::wstring& path, std::span<wchar_t> buffer, DWORD& error) override {
    ++short_path_questions;
    return real_.ShortPathOf(path, buffer, error);
  }
  DWORD AttributesOf(const std::wstring& path, DWORD& error) override {
    return real_.AttributesOf(path, error);
  }
  DWORD LogicalDrives() override { return real_.LogicalDrives(); }
  UINT DriveTypeOf(const std::wstring& root) override { return real_.DriveTypeOf(root); }
  std::optional<std::wstring> VolumeLabel(const std::wstring& root) override {
    return real_.VolumeLabel(root);
  }
  std::optional<std::wstring> Connection(const std::wstring& drive) override {
    return real_.Connection(drive);
  }

 private:
  tarnwick::win32::SystemCalls& real_ = tarnwick::win32::TheSystemCalls();
};

template <typename Run>
double Milliseconds(Run run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The file's short name as the system's wide service gives it.
Text SystemShortName(const Text& folder, const Text& name) {
  const std::wstring path = L"\\\\?\\" + tarnwick::win32::ToWide(folder + name);
  wchar_t buffer[2048] = {};
  const DWORD length = ::GetShortPathNameW(path.c_str(), buffer, 2048);
  if (length == 0 || length >= 2048) return {};
  const std::wstring_view answer(buffer, length);
  return tarnwick::win32::FromWide(answer.substr(answer.rfind(L'\\') + 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    Text folder = tarnwick::win32::FromWide(argv[i]);
    if (folder.back() != u'\\') folder += u'\\';

    CountingCalls calls;
    tarnwick::win32::Win32SystemServices system(calls);
    Lines lines(folder);
    const double refresh_ms = Milliseconds([&] { tarnwick::ListFileName(lines, system); });
    const std::size_t files = lines.names.size();

    std::string each_file_ms = "-";
    std::string as_system = "-";
    if (files <= kMostFilesAskedOneByOne) {
      tarnwick::win32::Win32SystemServices plain;
      AskingEveryTime asking(plain);
      Lines asked(folder);
      each_file_ms = std::to_string(Milliseconds([&] { tarnwick::ListFileName(asked, asking); }));
      std::size_t differing = 0;
      for (const auto& [long_name, short_name] : lines.names) {
        if (short_name.empty() || short_name != SystemShortName(folder, long_name)) ++differing;
      }
      as_system = differing == 0 ? "all" : std::to_string(differing) + " differ";
    }
    std::printf(
        "files=%zu refresh_ms=%.0f system_questions=%d each_file_to_system_ms=%s "
        "lines_as_system=%s\n",
        files, refresh_ms, calls.short_path_questions, each_file_ms.c_str(), as_system.c_str());
  }
  return 0;
}
