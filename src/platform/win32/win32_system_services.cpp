#include "platform/win32/win32_system_services.h"

// clang-format off
#include <windows.h>
#include <winternl.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/win32/long_paths.h"
#include "platform/win32/system_error.h"
#include "platform/win32/text.h"

namespace tarnwick::win32 {
namespace {

// The attribute bits of an enumeration's mask are the file attributes of the
// kinds of entry that they let through.
static_assert(FILE_ATTRIBUTE_HIDDEN == kHiddenAttribute &&
              FILE_ATTRIBUTE_SYSTEM == kSystemAttribute &&
              FILE_ATTRIBUTE_DIRECTORY == kFolderAttribute);
constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// Both services write as the system's do: the path and a NUL where the
// buffer holds them, giving the length; otherwise nothing, giving the size
// needed.
template <typename Unit>
std::uint32_t CopyOut(std::basic_string_view<Unit> answer, std::span<Unit> buffer) {
  if (answer.size() >= buffer.size()) return static_cast<std::uint32_t>(answer.size() + 1);
  std::copy(answer.begin(), answer.end(), buffer.begin());
  buffer[answer.size()] = Unit{};
  return static_cast<std::uint32_t>(answer.size());
}

// Whether `name` is a valid 8.3 name, one that the file system may keep as
// its own short name, as the system itself tells. A name with a space passes
// the system's test, but the file systems give it a short name of its own.
bool IsValidShortName(TextView name) {
  if (name.empty() || name.size() * sizeof(char16_t) > USHRT_MAX) return false;
  std::wstring wide = ToWide(name);
  UNICODE_STRING unicode{static_cast<USHORT>(wide.size() * sizeof(wchar_t)),
                         static_cast<USHORT>(wide.size() * sizeof(wchar_t)), wide.data()};
  BOOLEAN has_spaces = FALSE;
  return ::RtlIsNameLegalDOS8Dot3(&unicode, nullptr, &has_spaces) && !has_spaces;
}

// A server that does not answer, or a connection that is gone.
bool IsNetworkError(DWORD error) {
  switch (error) {
    case ERROR_REM_NOT_LIST:
    case ERROR_BAD_NETPATH:
    case ERROR_NETWORK_BUSY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NET_RESP:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NET_NAME:
    case ERROR_SEM_TIMEOUT:
    case ERROR_CONNECTION_UNAVAIL:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NOT_CONNECTED:
      return true;
    default:
      return false;
  }
}

PlatformError FolderError(DWORD error, const Text& folder) {
  const std::string quoted = "'" + ToUtf8(folder) + "'";
  if (IsNetworkError(error)) {
    // On a network drive, as for any drive that does not answer, the drive
    // is not ready; a share's folder is one that cannot be read.
    const bool on_drive = folder.size() >= 2 && folder[1] == u':';
    const PlatformError said =
        SystemError(error, folder,
                    on_drive ? "the drive of the folder " + quoted + " is not ready"
                             : "cannot read the folder " + quoted);
    return PlatformError(on_drive ? ErrorKind::NotReady : ErrorKind::Other, said.path(),
                         said.what(), said.system_words());
  }
  switch (ErrorKindOf(error)) {
    case ErrorKind::NotFound:
      return SystemError(error, folder, "the folder " + quoted + " does not exist");
    case ErrorKind::AccessDenied:
      return SystemError(error, folder, "the folder " + quoted + " may not be read");
    case ErrorKind::NotReady:
      return SystemError(error, folder, "the drive of the folder " + quoted + " is not ready");
    case ErrorKind::Other:
      break;
  }
  return SystemError(error, folder, "cannot read the folder " + quoted);
}

}  // namespace

Text Win32SystemServices::FirstEntry(const Text& pattern, std::int32_t attributes) {
  search_.reset();
  const auto separator = pattern.find_last_of(u"\\/");
  searched_folder_ = separator == Text::npos ? Text(u".\\") : pattern.substr(0, separator + 1);
  attributes_ = attributes;

  // A new folder starts afresh; the same folder again (the refresh's second
  // pass) keeps its short form but reads its names anew.
  if (read_.folder != searched_folder_) {
    read_ = {};
    read_.folder = searched_folder_;
    if (last_folder_answer_ && last_folder_answer_->folder == searched_folder_) {
      read_.short_form = last_folder_answer_->short_form;
    }
    last_folder_answer_.reset();
  }
  read_.short_names.clear();

  WIN32_FIND_DATAW entry{};
  DWORD error = 0;
  std::unique_ptr<FolderSearch> search = calls_.FindFirst(ForSystem(pattern), entry, error);
  if (!search) {
    // Nothing matches: a folder without even "." and "..", such as a root.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return {};
    throw FolderError(error, searched_folder_);
  }
  search_ = std::move(search);
  if (Wanted(entry)) return GiveOut(entry);
  return NextEntry();
}

Text Win32SystemServices::NextEntry() {
  WIN32_FIND_DATAW entry{};
  while (search_) {
    DWORD error = 0;
    if (!search_->Next(entry, error)) {
      search_.reset();
      if (error != ERROR_NO_MORE_FILES) throw FolderError(error, searched_folder_);
      break;
    }
    if (Wanted(entry)) return GiveOut(entry);
  }
  return {};
}

// An entry that is hidden, a system file or a folder comes only when the mask
// lets through every one of those kinds that it is: a hidden folder needs
// both bits.
bool Win32SystemServices::Wanted(const WIN32_FIND_DATAW& entry) const {
  const DWORD kinds = entry.dwFileAttributes & kNotOrdinary;
  return (kinds & ~static_cast<DWORD>(attributes_)) == 0;
}

Text Win32SystemServices::GiveOut(const WIN32_FIND_DATAW& entry) {
  Text name = FromWide(entry.cFileName);
  Text short_name =
      entry.cAlternateFileName[0] != L'\0' ? FromWide(entry.cAlternateFileName) : name;
  read_.short_names.insert_or_assign(name, std::move(short_name));
  return name;
}

std::optional<Text> Win32SystemServices::ShortPath(const Text& path) {
  if (path.size() > read_.folder.size() && path.starts_with(read_.folder)) {
    const auto found = read_.short_names.find(path.substr(read_.folder.size()));
    if (found != read_.short_names.end()) {
      if (!read_.short_form) read_.short_form = ShortPathFromSystem(read_.folder).value_or(Text());
      if (read_.short_form->empty()) return std::nullopt;
      Text short_path = *read_.short_form;
      if (short_path.back() != u'\\') short_path += u'\\';
      return short_path + found->second;
    }
  }
  read_ = {};
  const std::optional<Text> answer = ShortPathFromSystem(path);
  if (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) {
    last_folder_answer_ = FolderAnswer{path, answer.value_or(Text())};
  }
  return answer;
}

std::optional<Text> Win32SystemServices::ShortPathFromSystem(const Text& path) {
  const std::wstring asked = ForSystem(path);
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD error = 0;
    const DWORD length = calls_.ShortPathOf(asked, buffer, error);
    if (length == 0) return std::nullopt;
    if (length < buffer.size())
      return ShownForm(FromWide(std::wstring_view(buffer.data(), length)));
    buffer.resize(length);
  }
}

// The system's ANSI service is its wide one, with the path converted to and
// from the code page; so is this one, which is also not held to MAX_PATH.
std::uint32_t Win32SystemServices::GetShortPathNameA(const std::string& long_path,
                                                     std::span<char> buffer) {
  const std::optional<Text> answer = ShortPath(FromSystemCodePage(long_path));
  if (!answer) return 0;
  const std::wstring wide = ToWide(*answer);
  const int count = CountFor(wide.size());
  const int size =
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), count, bytes.data(), size, nullptr, nullptr);
  return CopyOut(std::string_view(bytes), buffer);
}

std::uint32_t Win32SystemServices::GetShortPathNameW(const Text& long_path,
                                                     std::span<char16_t> buffer) {
  const std::optional<Text> answer = ShortPath(long_path);
  if (!answer) return 0;
  return CopyOut(TextView(*answer), buffer);
}

std::optional<std::string> Win32SystemServices::ToSystemCodePage(TextView text) const {
  if (text.empty()) return std::string();
  const std::wstring wide = ToWide(text);
  const int count = CountFor(wide.size());

  // No best fit (such as "a" for "ä"), and told when a character had to
  // become the default one.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used_default_out = &used_default;
  int size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), count, nullptr, 0, nullptr,
                                   used_default_out);
  if (size == 0) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_FLAGS && error != ERROR_INVALID_PARAMETER) return std::nullopt;
    // Code pages such as UTF-8 take neither the flag nor the report; the
    // check below finds what they could not hold.
    flags = 0;
    used_default_out = nullptr;
    size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (size == 0) return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  used_default = FALSE;
  if (::WideCharToMultiByte(CP_ACP, flags, wide.data(), count, bytes.data(), size, nullptr,
                            used_default_out) != size ||
      used_default) {
    return std::nullopt;
  }
  // Held exactly only if the bytes give back the same text.
  if (FromSystemCodePage(bytes) != text) return std::nullopt;
  return bytes;
}

Text Win32SystemServices::FromSystemCodePage(std::string_view bytes) const {
  if (bytes.empty()) return {};
  const int count = CountFor(bytes.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
  if (size <= 0) throw std::runtime_error("cannot convert text from the system code page");
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, wide.data(), size);
  return FromWide(wide);
}

Text Win32SystemServices::ToLowerCase(Text text) const {
  if (text.empty()) return text;
  const std::wstring wide = ToWide(text);
  const int count = CountFor(wide.size());
  std::wstring lower(wide.size(), L'\0');
  const int written = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, wide.data(), count,
                                      lower.data(), count, nullptr, nullptr, 0);
  if (written != count) {
    throw std::runtime_error("cannot lower-case text (error " + std::to_string(::GetLastError()) +
                             ")");
  }
  return FromWide(lower);
}

std::vector<Text> Win32SystemServices::Subfolders(const Text& folder) {
  Text pattern = folder;
  if (pattern.empty() || (pattern.back() != u'\\' && pattern.back() != u'/')) pattern += u'\\';
  pattern += u'*';
  WIN32_FIND_DATAW entry{};
  DWORD error = 0;
  const std::unique_ptr<FolderSearch> search = calls_.FindFirst(ForSystem(pattern), entry, error);
  if (!search) {
    if (error == ERROR_FILE_NOT_FOUND) return {};
    throw FolderError(error, folder);
  }
  std::vector<Text> names;
  do {
    const std::wstring_view name = entry.cFileName;
    const DWORD attributes = entry.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_HIDDEN) &&
        name != L"." && name != L"..") {
      names.push_back(FromWide(name));
    }
  } while (search->Next(entry, error));
  if (error != ERROR_NO_MORE_FILES) throw FolderError(error, folder);
  return names;
}

Text Win32SystemServices::CurrentFolder() {
  DWORD error = 0;
  const std::optional<Text> folder = FillBuffer(
      [](DWORD size, wchar_t* buffer) { return ::GetCurrentDirectoryW(size, buffer); }, error);
  if (!folder) throw SystemError(error, u".", "cannot read the current folder");
  return *folder;
}

// Windows' own custom is the top of the start folder's drive.
Text Win32SystemServices::HomeFolder() { return {}; }

PathKind Win32SystemServices::KindOfPath(const Text& path) {
  DWORD error = 0;
  const DWORD attributes = calls_.AttributesOf(ForSystem(path), error);
  // A share whose server does not answer is taken for a folder: showing it
  // then says that it cannot be read, which "nothing there" would not.
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return IsNetworkError(error) ? PathKind::Folder : PathKind::Missing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

// The names alone tell it: Windows keeps the short names, and the refresh has
// them from its service.
ShortNameOrigin Win32SystemServices::ShortNameOriginOf(const Text& /*folder_path*/,
                                                       TextView long_name, TextView short_name) {
  return OriginWhereTheDiskKeepsNames(long_name, short_name, IsValidShortName(long_name));
}

// Only a local drive is asked for its label: a network drive whose server
// is gone would keep the window waiting for the network's time-out. It shows
// the share it is mapped to instead, which the system remembers.
std::vector<Drive> Win32SystemServices::Drives() {
  std::vector<Drive> drives;
  const DWORD mask = calls_.LogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(mask & (1u << letter))) continue;
    const Text root = {static_cast<char16_t>(u'A' + letter), u':', u'\\'};
    Text text = {static_cast<char16_t>(u'a' + letter), u':'};
    std::optional<std::wstring> shown;
    Text share;
    switch (calls_.DriveTypeOf(ToWide(root))) {
      case DRIVE_FIXED:
      case DRIVE_REMOVABLE:
      case DRIVE_CDROM:
      case DRIVE_RAMDISK:
        shown = calls_.VolumeLabel(ToWide(root));
        break;
      case DRIVE_REMOTE:
        shown = calls_.Connection(ToWide(TextView(root).substr(0, 2)));
        if (shown) share = FromWide(*shown);
        break;
      default:
        break;
    }
    // "c: [LABEL]", "x: [\\server\share]": where the drive has one.
    if (shown && !shown->empty()) text += u" [" + FromWide(*shown) + u"]";
    drives.push_back({text, root, share});
  }
  return drives;
}

}  // namespace tarnwick::win32

namespace tarnwick {

std::unique_ptr<SystemServices> CreateSystemServices() {
  return std::make_unique<win32::Win32SystemServices>();
}

}  // namespace tarnwick
