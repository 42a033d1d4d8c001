// Stand-ins for the Windows calls under the services: the real calls, each
// counted, with the refusals of Windows itself where Wine is kinder, and
// drives of every type played from a table.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win32/system_calls.h"

namespace tarnwick::testing {

class FakeSystemCalls final : public win32::SystemCalls {
 public:
  // Every path handed to each call, in order.
  std::vector<std::wstring> patterns;
  std::vector<std::wstring> short_path_questions;
  std::vector<std::wstring> attribute_questions;
  std::vector<std::wstring> label_questions;
  std::vector<std::wstring> connection_questions;

  // As Windows does without a long-path manifest: a path of MAX_PATH
  // characters or more without the "\\?\" prefix is refused.
  bool refuse_long_paths = false;

  // Paths that start with this one fail with `unreachable_error`, as those
  // of a server that does not answer do.
  std::wstring unreachable;
  DWORD unreachable_error = ERROR_BAD_NETPATH;

  // A drive played from the table (letter 'A' to 'Z'); without any, the
  // system's own drives.
  struct FakeDrive {
    UINT type;
    std::optional<std::wstring> label;
    std::optional<std::wstring> connection;
  };
  std::map<wchar_t, FakeDrive> drives;

  std::unique_ptr<win32::FolderSearch> FindFirst(const std::wstring& pattern,
                                                 WIN32_FIND_DATAW& entry, DWORD& error) override {
    patterns.push_back(pattern);
    if (Refused(pattern, error)) return nullptr;
    return real_.FindFirst(pattern, entry, error);
  }

  DWORD ShortPathOf(const std::wstring& path, std::span<wchar_t> buffer, DWORD& error) override {
    short_path_questions.push_back(path);
    if (Refused(path, error)) return 0;
    return real_.ShortPathOf(path, buffer, error);
  }

  DWORD AttributesOf(const std::wstring& path, DWORD& error) override {
    attribute_questions.push_back(path);
    if (Refused(path, error)) return INVALID_FILE_ATTRIBUTES;
    return real_.AttributesOf(path, error);
  }

  DWORD LogicalDrives() override {
    if (drives.empty()) return real_.LogicalDrives();
    DWORD mask = 0;
    for (const auto& [letter, drive] : drives) mask |= 1u << (letter - L'A');
    return mask;
  }

  UINT DriveTypeOf(const std::wstring& root) override {
    if (drives.empty()) return real_.DriveTypeOf(root);
    return drives.at(root.front()).type;
  }

  std::optional<std::wstring> VolumeLabel(const std::wstring& root) override {
    label_questions.push_back(root);
    if (drives.empty()) return real_.VolumeLabel(root);
    return drives.at(root.front()).label;
  }

  std::optional<std::wstring> Connection(const std::wstring& drive) override {
    connection_questions.push_back(drive);
    if (drives.empty()) return real_.Connection(drive);
    return drives.at(drive.front()).connection;
  }

 private:
  bool Refused(const std::wstring& path, DWORD& error) const {
    if (!unreachable.empty() && path.starts_with(unreachable)) {
      error = unreachable_error;
      ::SetLastError(error);
      return true;
    }
    if (!refuse_long_paths || path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return false;
    error = ERROR_FILENAME_EXCED_RANGE;
    ::SetLastError(error);
    return true;
  }

  win32::SystemCalls& real_ = win32::TheSystemCalls();
};

}  // namespace tarnwick::testing
