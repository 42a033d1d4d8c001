#include "platform/linux/linux_system_services.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/linux/mounts.h"
#include "platform/linux/ntfs_names.h"
#include "platform/lossless_utf8.h"

namespace tarnwick::on_linux {
namespace {

// The Windows attribute bits that widen an enumeration.
constexpr std::int32_t kHidden = 0x02;
constexpr std::int32_t kSystem = 0x04;
constexpr std::int32_t kFolders = 0x10;

locale_t UnicodeCaseLocale() {
  static const locale_t locale = [] {
    const locale_t made = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (made == static_cast<locale_t>(nullptr)) {
      throw std::runtime_error("the C.UTF-8 locale is missing, so letters cannot be lower-cased");
    }
    return made;
  }();
  return locale;
}

PlatformError FolderError(int error, const Text& folder, const std::string& bytes) {
  const ErrorKind kind = error == ENOENT || error == ENOTDIR ? ErrorKind::NotFound
                         : error == EACCES || error == EPERM ? ErrorKind::AccessDenied
                                                             : ErrorKind::Other;
  return PlatformError(kind, folder,
                       "cannot read the folder '" + bytes + "': " + std::strerror(error));
}

// Copies `text` and a terminating zero into `buffer` when both fit; gives
// what the Windows service gives: the length written, or the size needed.
template <typename Char, typename String>
std::uint32_t CopyWithTerminator(const String& text, std::span<Char> buffer) {
  if (text.size() + 1 > buffer.size()) return static_cast<std::uint32_t>(text.size() + 1);
  std::copy(text.begin(), text.end(), buffer.begin());
  buffer[text.size()] = Char{0};
  return static_cast<std::uint32_t>(text.size());
}

}  // namespace

LinuxSystemServices::LinuxSystemServices() { UnicodeCaseLocale(); }
LinuxSystemServices::~LinuxSystemServices() = default;

Text LinuxSystemServices::FirstEntry(const Text& pattern, std::int32_t attributes) {
  enumeration_.reset();
  const auto slash = pattern.rfind(u'/');
  const Text folder = slash == Text::npos ? Text(u"./") : pattern.substr(0, slash + 1);
  const Text wildcard = slash == Text::npos ? pattern : pattern.substr(slash + 1);
  // The listing asks for every name; Windows' rules make "*.*" match names
  // with and without a dot alike.
  if (wildcard != u"*.*" && wildcard != u"*") {
    throw std::invalid_argument("only the patterns * and *.* are supported");
  }
  const std::optional<std::string> bytes = EncodeFileName(folder);
  if (!bytes) throw PlatformError(ErrorKind::NotFound, folder, "no such folder");
  enumeration_.reset(::opendir(bytes->c_str()));
  if (!enumeration_) throw FolderError(errno, folder, *bytes);
  enumerated_folder_ = folder;
  enumerated_bytes_ = *bytes;
  attributes_ = attributes;
  windows_attributes_ = IsNtfs3gFolder(*bytes);
  return NextEntry();
}

Text LinuxSystemServices::NextEntry() {
  while (enumeration_) {
    errno = 0;
    const dirent* entry = ::readdir(enumeration_.get());
    if (entry == nullptr) {
      const int error = errno;
      enumeration_.reset();
      if (error != 0) {
        throw FolderError(error, enumerated_folder_,
                          EncodeFileName(enumerated_folder_).value_or("?"));
      }
      break;
    }
    if (Wanted(*entry)) return DecodeFileName(entry->d_name);
  }
  return {};
}

bool LinuxSystemServices::Wanted(const dirent& entry) const {
  const std::string_view name = entry.d_name;
  if (name == "." || name == "..") return false;
  if (name.front() == '.' && !(attributes_ & kHidden)) return false;
  unsigned char type = entry.d_type;
  if (type == DT_LNK || type == DT_UNKNOWN) {
    // A link counts as what it leads to; a broken link leads nowhere.
    struct stat status {};
    if (::fstatat(::dirfd(enumeration_.get()), entry.d_name, &status, 0) != 0) return false;
    type = S_ISREG(status.st_mode) ? DT_REG : S_ISDIR(status.st_mode) ? DT_DIR : DT_UNKNOWN;
  }
  if (type == DT_REG) return !HiddenByWindowsAttributes(entry.d_name);
  if (type == DT_DIR)
    return (attributes_ & kFolders) != 0 && !HiddenByWindowsAttributes(entry.d_name);
  return (attributes_ & kSystem) != 0;
}

bool LinuxSystemServices::HiddenByWindowsAttributes(const char* name) const {
  if (!windows_attributes_) return false;
  const std::optional<std::uint32_t> windows = WindowsAttributesOf(enumerated_bytes_ + name);
  if (!windows) return false;
  return ((*windows & kWindowsHidden) && !(attributes_ & kHidden)) ||
         ((*windows & kWindowsSystem) && !(attributes_ & kSystem));
}

std::uint32_t LinuxSystemServices::GetShortPathNameA(const std::string& long_path,
                                                     std::span<char> buffer) {
  const std::optional<std::string> short_path = short_paths_.ShortPath(long_path);
  if (!short_path) return 0;
  return CopyWithTerminator(*short_path, buffer);
}

std::uint32_t LinuxSystemServices::GetShortPathNameW(const Text& long_path,
                                                     std::span<char16_t> buffer) {
  const std::optional<std::string> bytes = EncodeFileName(long_path);
  if (!bytes) return 0;
  const std::optional<std::string> short_path = short_paths_.ShortPath(*bytes);
  if (!short_path) return 0;
  return CopyWithTerminator(DecodeFileName(*short_path), buffer);
}

std::optional<std::string> LinuxSystemServices::ToSystemCodePage(TextView text) const {
  return EncodeFileName(text);
}

Text LinuxSystemServices::FromSystemCodePage(std::string_view bytes) const {
  return DecodeFileName(bytes);
}

Text LinuxSystemServices::ToLowerCase(Text text) const {
  const locale_t locale = UnicodeCaseLocale();
  for (char16_t& unit : text) {
    if (unit < 0x80) {
      if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + (u'a' - u'A'));
    } else if (unit < 0xD800 || unit > 0xDFFF) {
      const wint_t lower = ::towlower_l(unit, locale);
      if (lower <= 0xFFFF && (lower < 0xD800 || lower > 0xDFFF))
        unit = static_cast<char16_t>(lower);
    }
  }
  return text;
}

std::vector<Text> LinuxSystemServices::Subfolders(const Text& folder) {
  const std::optional<std::string> bytes = EncodeFileName(folder);
  if (!bytes) throw PlatformError(ErrorKind::NotFound, folder, "no such folder");
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(bytes->c_str()));
  if (!dir) throw FolderError(errno, folder, *bytes);
  const std::string prefix = bytes->ends_with('/') ? *bytes : *bytes + '/';
  // Windows leaves hidden and system folders out of its folder lists too.
  const bool windows_attributes = IsNtfs3gFolder(prefix);
  std::vector<Text> names;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) break;
    if (entry->d_name[0] == '.') continue;  // hidden, and "." and ".."
    unsigned char type = entry->d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
      struct stat status {};
      if (::fstatat(::dirfd(dir.get()), entry->d_name, &status, 0) != 0) continue;
      type = S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
    }
    if (type != DT_DIR) continue;
    if (windows_attributes) {
      const std::optional<std::uint32_t> windows = WindowsAttributesOf(prefix + entry->d_name);
      if (windows && (*windows & (kWindowsHidden | kWindowsSystem))) continue;
    }
    names.push_back(DecodeFileName(entry->d_name));
  }
  if (errno != 0) throw FolderError(errno, folder, *bytes);
  return names;
}

std::vector<Drive> LinuxSystemServices::Drives() {
  std::ifstream file("/proc/self/mountinfo");
  std::ostringstream text;
  text << file.rdbuf();
  // Labels come from udev's links: cheap to read, and there wherever udev
  // runs.
  std::vector<Drive> drives = DrivesFromMountInfo(text.str(), LabelsInFolder("/dev/disk/by-label"));
  // Without /proc there is still the top of the file system.
  if (drives.empty()) drives.push_back({u"/", u"/"});
  return drives;
}

}  // namespace tarnwick::on_linux

namespace tarnwick {

std::unique_ptr<SystemServices> CreateSystemServices() {
  return std::make_unique<on_linux::LinuxSystemServices>();
}

}  // namespace tarnwick
