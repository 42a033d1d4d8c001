// File-system and text services on Windows: the folder enumeration through
// FindFirstFileW/FindNextFileW, the system's short-path services, conversions
// to and from the ANSI code page, and the user locale's lower case. Also the
// few conversions and error helpers that the Windows console shares.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/system_services.h"
#include "platform/win32/handles.h"

namespace tarnwick::win32 {

// wchar_t and char16_t are both UTF-16 code units on Windows; text is copied
// between them at the edge to the system's functions.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);

// UTF-8, with U+FFFD for a lone surrogate.
std::string ToUtf8(TextView text);

// What a Windows error code means for the listing.
ErrorKind ErrorKindOf(DWORD error);

// `description` (plain English, naming the path) followed by the system's
// own message for `error`, which is also the error's system words.
PlatformError SystemError(DWORD error, Text path, const std::string& description);

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
  Text FirstEntry(const Text& pattern, std::int32_t attributes) override;
  Text NextEntry() override;
  void EndEnumeration() noexcept override { search_.reset(); }
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

  FindHandle search_;
  Text searched_folder_;
  std::int32_t attributes_ = kOrdinaryFiles;
};

}  // namespace tarnwick::win32
