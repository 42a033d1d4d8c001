// File-system and text services on Windows: the folder enumeration through
// FindFirstFileW/FindNextFileW, the system's short-path services, conversions
// to and from the ANSI code page, and the user locale's lower case.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/system_services.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/system_error.h"
#include "platform/win32/text.h"

namespace tarnwick::win32 {

// Calls a system function that fills a buffer of `size` code units and
// gives the length it wrote, or the size it needs (with the NUL) when the
// buffer is too small, or 0 with the error in `error`.
template <typename Fill>
std::optional<Text> FillBuffer(Fill fill, DWORD& error) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = fill(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) {
      error = ::GetLastError();
      return std::nullopt;
    }
    if (length < buffer.size()) return FromWide(std::wstring_view(buffer.data(), length));
    buffer.resize(length);
  }
}

class Win32SystemServices final : public SystemServices {
 public:
  // `calls` stands for the system, and must outlive the services.
  explicit Win32SystemServices(SystemCalls& calls = TheSystemCalls()) : calls_(calls) {}

  Text FirstEntry(const Text& pattern, std::int32_t attributes) override;
  Text NextEntry() override;
  void EndEnumeration() noexcept override { search_.reset(); }
  // Both short-path services answer a path that is the folder being listed
  // followed by a name its enumeration gave from what the enumeration read:
  // the folder's short form, asked of the system once, then the entry's own
  // short name, or the name itself where it has none. That is what the
  // system's service gives, which reads the same entries, without a trip to
  // the disk (or to a server) for each file. Any other path goes to the
  // system, and ends what the last enumeration read: a refresh asks for the
  // folder's short form first, so no refresh answers from an earlier one.
  std::uint32_t GetShortPathNameA(const std::string& long_path, std::span<char> buffer) override;
  std::uint32_t GetShortPathNameW(const Text& long_path, std::span<char16_t> buffer) override;
  std::optional<std::string> ToSystemCodePage(TextView text) const override;
  Text FromSystemCodePage(std::string_view bytes) const override;
  char16_t Separator() const override { return u'\\'; }
  TextView LineBreak() const override { return u"\r\n"; }
  Text ToLowerCase(Text text) const override;
  std::vector<Text> Subfolders(const Text& folder) override;
  std::vector<Drive> Drives() override;
  Text CurrentFolder() override;
  Text HomeFolder() override;
  PathKind KindOfPath(const Text& path) override;
  ShortNameOrigin ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                    TextView short_name) override;

  // Whether an enumeration holds a folder open.
  bool Enumerating() const { return static_cast<bool>(search_); }

 private:
  bool Wanted(const WIN32_FIND_DATAW& entry) const;
  // Keeps a name that the enumeration gives, with its short name.
  Text GiveOut(const WIN32_FIND_DATAW& entry);
  // The short form of `path`, from what the enumeration read or from the
  // system; nullopt when there is none.
  std::optional<Text> ShortPath(const Text& path);
  std::optional<Text> ShortPathFromSystem(const Text& path);

  // What the enumeration of one folder read, for the short-path questions of
  // the refresh that made it.
  struct FolderRead {
    Text folder;                                 // ending in a separator
    std::optional<Text> short_form;              // of the folder, once asked; empty: none
    std::unordered_map<Text, Text> short_names;  // by long name
  };
  // The system's last answer for a folder: the first enumeration of that
  // folder takes it as the folder's short form.
  struct FolderAnswer {
    Text folder;
    Text short_form;  // empty: none
  };

  SystemCalls& calls_;
  std::unique_ptr<FolderSearch> search_;
  FolderRead read_;
  std::optional<FolderAnswer> last_folder_answer_;
  Text searched_folder_;
  std::int32_t attributes_ = kOrdinaryFiles;
};

}  // namespace tarnwick::win32
