// The few Windows file-system calls that the services are made of, behind an
// interface, so that a test can stand in for the system: count what is asked
// of it, refuse what Windows would refuse, or play a network drive.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string>

namespace tarnwick::win32 {

// One search of a folder, closed when it goes.
class FolderSearch {
 public:
  virtual ~FolderSearch() = default;
  // FindNextFileW: the next entry, or false with the error (ERROR_NO_MORE_FILES
  // at the end).
  virtual bool Next(WIN32_FIND_DATAW& entry, DWORD& error) = 0;
};

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // FindFirstFileW: the search and its first entry, or nullptr with the
  // error.
  virtual std::unique_ptr<FolderSearch> FindFirst(const std::wstring& pattern,
                                                  WIN32_FIND_DATAW& entry, DWORD& error) = 0;

  // GetShortPathNameW, with the error when it gives 0.
  virtual DWORD ShortPathOf(const std::wstring& path, std::span<wchar_t> buffer, DWORD& error) = 0;

  // GetFileAttributesW, with the error when it gives INVALID_FILE_ATTRIBUTES.
  virtual DWORD AttributesOf(const std::wstring& path, DWORD& error) = 0;

  // GetLogicalDrives, GetDriveTypeW of a root ("C:\").
  virtual DWORD LogicalDrives() = 0;
  virtual UINT DriveTypeOf(const std::wstring& root) = 0;

  // The volume label of a root, from GetVolumeInformationW: nullopt when the
  // drive does not answer. This is the question that waits on a network.
  virtual std::optional<std::wstring> VolumeLabel(const std::wstring& root) = 0;

  // WNetGetConnectionW of a drive ("X:"): the share it is mapped to, from the
  // remembered connection, without reaching the server; nullopt when there is
  // none.
  virtual std::optional<std::wstring> Connection(const std::wstring& drive) = 0;
};

// The system's own calls.
SystemCalls& TheSystemCalls();

}  // namespace tarnwick::win32
