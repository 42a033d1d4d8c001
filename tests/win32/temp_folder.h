// A folder of its own for a test, under the system's temporary folder, that
// removes itself with everything in it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/system_services.h"
#include "platform/win32/win32_system_services.h"

namespace tarnwick::testing {

// The folder of this machine that the environment variable `name` names, as
// Wine shows it (on Z:), with a final separator; nullopt when it is not set.
inline std::optional<Text> UnixFolderNamedBy(const wchar_t* name) {
  wchar_t unix_folder[1024] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, unix_folder, 1024);
  if (length == 0 || length >= 1024) return std::nullopt;
  Text folder = u"Z:" + win32::FromWide(std::wstring_view(unix_folder, length)) + u"/";
  std::replace(folder.begin(), folder.end(), u'/', u'\\');
  return folder;
}

class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
    // Wine hands out the same process ids again, and a folder that a failed
    // run left behind keeps its name: the next free name is taken.
    static int made = 0;
    bool created = false;
    do {
      const std::wstring name = L"tarnwick-test-" + std::to_wstring(::GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++made);
      path_ = win32::FromWide(std::wstring(temp, length) + name);
      created = ::CreateDirectoryW(win32::ToWide(path_).c_str(), nullptr);
    } while (!created && ::GetLastError() == ERROR_ALREADY_EXISTS);
    Check(created, path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { Remove(win32::ToWide(path_)); }

  // Without a final separator.
  const Text& path() const { return path_; }
  // With the final separator, as the listing makes it.
  Text slashed() const { return path_ + u'\\'; }

  // An empty file; `attributes` as SetFileAttributesW takes them.
  Text AddFile(const Text& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
    const Text full = slashed() + name;
    const HANDLE file = ::CreateFileW(win32::ToWide(full).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, full);
    ::CloseHandle(file);
    Check(::SetFileAttributesW(win32::ToWide(full).c_str(), attributes), full);
    return full;
  }

  // A folder, with `attributes` added when they are not 0.
  Text AddFolder(const Text& name, DWORD attributes = 0) const {
    const Text full = slashed() + name;
    Check(::CreateDirectoryW(win32::ToWide(full).c_str(), nullptr), full);
    if (attributes != 0) Check(::SetFileAttributesW(win32::ToWide(full).c_str(), attributes), full);
    return full;
  }

 private:
  static void Check(bool done, const Text& path) {
    if (!done) {
      throw std::runtime_error("cannot make '" + win32::ToUtf8(path) + "', error " +
                               std::to_string(::GetLastError()));
    }
  }

  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    win32::FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    for (bool more = static_cast<bool>(search); more;
         more = ::FindNextFileW(search.get(), &entry) != FALSE) {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        Remove(full);
      } else {
        ::DeleteFileW(full.c_str());
      }
    }
    search.reset();
    ::RemoveDirectoryW(folder.c_str());
  }

  Text path_;
};

}  // namespace tarnwick::testing
