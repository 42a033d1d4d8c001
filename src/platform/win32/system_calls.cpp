#include "platform/win32/system_calls.h"

#include <winnetwk.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/system_libraries.h"

namespace tarnwick::win32 {
namespace {

DWORD SizeFor(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

class SystemSearch final : public FolderSearch {
 public:
  explicit SystemSearch(FindHandle search) : search_(std::move(search)) {}
  bool Next(WIN32_FIND_DATAW& entry, DWORD& error) override {
    if (::FindNextFileW(search_.get(), &entry)) return true;
    error = ::GetLastError();
    return false;
  }

 private:
  FindHandle search_;
};

class RealSystemCalls final : public SystemCalls {
 public:
  std::unique_ptr<FolderSearch> FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& entry,
                                          DWORD& error) override {
    FindHandle search(::FindFirstFileW(pattern.c_str(), &entry));
    if (!search) {
      error = ::GetLastError();
      return nullptr;
    }
    return std::make_unique<SystemSearch>(std::move(search));
  }

  DWORD ShortPathOf(const std::wstring& path, std::span<wchar_t> buffer, DWORD& error) override {
    const DWORD result = ::GetShortPathNameW(path.c_str(), buffer.data(), SizeFor(buffer.size()));
    if (result == 0) error = ::GetLastError();
    return result;
  }

  DWORD AttributesOf(const std::wstring& path, DWORD& error) override {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) error = ::GetLastError();
    return attributes;
  }

  DWORD LogicalDrives() override { return ::GetLogicalDrives(); }

  UINT DriveTypeOf(const std::wstring& root) override { return ::GetDriveTypeW(root.c_str()); }

  std::optional<std::wstring> VolumeLabel(const std::wstring& root) override {
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                 nullptr, 0)) {
      return std::nullopt;
    }
    return std::wstring(label);
  }

  // MPR is loaded from the system folder when a network drive first asks
  // for it. Where it cannot be had, no drive has a connection to show.
  std::optional<std::wstring> Connection(const std::wstring& drive) override {
    static const auto get_connection = FunctionOf<decltype(&::WNetGetConnectionW)>(
        LoadSystemLibrary(L"mpr.dll"), "WNetGetConnectionW");
    if (get_connection == nullptr) return std::nullopt;
    std::wstring remote(MAX_PATH, L'\0');
    for (;;) {
      DWORD size = static_cast<DWORD>(remote.size());
      const DWORD result = get_connection(drive.c_str(), remote.data(), &size);
      if (result == ERROR_MORE_DATA && size > remote.size()) {
        remote.resize(size);
        continue;
      }
      // ERROR_CONNECTION_UNAVAIL: a remembered connection, not connected now;
      // the name is there all the same.
      if (result != NO_ERROR && result != ERROR_CONNECTION_UNAVAIL) return std::nullopt;
      remote.resize(std::wcslen(remote.c_str()));
      if (remote.empty()) return std::nullopt;
      return remote;
    }
  }
};

}  // namespace

SystemCalls& TheSystemCalls() {
  static RealSystemCalls calls;
  return calls;
}

}  // namespace tarnwick::win32
