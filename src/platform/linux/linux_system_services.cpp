#include "platform/linux/linux_system_services.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "fat/fat_short_names.h"
#include "platform/linux/mounts.h"
#include "platform/linux/ntfs_names.h"
#include "platform/linux/system_error.h"
#include "text/lossless_utf8.h"
#include "text/unicode_case.h"

namespace tarnwick::on_linux {
namespace {

PlatformError FolderError(int error, const Text& folder, const std::string& bytes) {
  return SystemError(error, folder, "cannot read the folder '" + bytes + "'");
}

// Whether Windows attributes keep an entry out of an enumeration for the
// attributes asked for.
bool HiddenByWindowsAttributes(std::optional<std::uint32_t> windows, std::int32_t asked) {
  if (!windows) return false;
  const auto kept_out = static_cast<std::uint32_t>((kHiddenAttribute | kSystemAttribute) & ~asked);
  return (*windows & kept_out) != 0;
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

// Without its case mapping the program could not sort: it says so at once.
LinuxSystemServices::LinuxSystemServices(ShortNameSourceReader source_of)
    : short_paths_(ReadFolderState, source_of), source_of_(std::move(source_of)) {
  UnicodeLowerCase(U'A');
}
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
  if (*bytes != enumerated_bytes_) windows_attributes_read_.clear();
  auto reader = std::make_unique<FolderReader>(*bytes);
  if (!reader->is_open()) throw FolderError(reader->error(), folder, *bytes);
  // The second pass of a listing finds the first pass's names held.
  names_read_.reset();
  if (const std::optional<FolderState> state = ReadHeldFolderState(reader->descriptor());
      state && short_paths_.WantsFolderNames(*state)) {
    names_read_ = FolderNames{*state, NowNs(), {}, {}};
  }
  enumeration_ = std::move(reader);
  enumerated_folder_ = folder;
  enumerated_bytes_ = *bytes;
  attributes_ = attributes;
  windows_attributes_ = IsNtfs3gFolder(*bytes);
  return NextEntry();
}

Text LinuxSystemServices::NextEntry() {
  while (enumeration_) {
    const dirent* entry = enumeration_->Next();
    if (entry == nullptr) {
      const int error = enumeration_->error();
      enumeration_.reset();
      if (error != 0) {
        names_read_.reset();
        throw FolderError(error, enumerated_folder_, enumerated_bytes_);
      }
      // A listing of no files asks for no short names.
      if (names_read_ && names_read_->files_listed > 0) {
        short_paths_.TakeFolderNames(std::move(*names_read_));
      }
      names_read_.reset();
      break;
    }
    const std::string_view name = entry->d_name;
    if (names_read_) names_read_->Add(name);
    if (Wanted(*entry)) {
      if (names_read_) ++names_read_->files_listed;
      return DecodeFileName(name);
    }
  }
  return {};
}

void LinuxSystemServices::EndEnumeration() noexcept {
  enumeration_.reset();
  names_read_.reset();
  windows_attributes_read_.clear();
}

std::optional<std::uint32_t> LinuxSystemServices::WindowsAttributesOf(const dirent& entry) {
  const auto [found, added] = windows_attributes_read_.try_emplace(entry.d_name);
  AttributesRead& read = found->second;
  if (added || read.inode != entry.d_ino) {
    read = {entry.d_ino, on_linux::WindowsAttributesOf(enumerated_bytes_ + entry.d_name)};
  }
  return read.attributes;
}

// A name that starts with "." is hidden; anything but a file or a folder is
// a system entry; on a Windows disk, its own attributes count too.
bool LinuxSystemServices::Wanted(const dirent& entry) {
  if (entry.d_name[0] == '.' && !(attributes_ & kHiddenAttribute)) return false;
  switch (enumeration_->KindOf(entry)) {
    case EntryKind::Folder:
      if (!(attributes_ & kFolderAttribute)) return false;
      [[fallthrough]];
    case EntryKind::File:
      return !windows_attributes_ ||
             !HiddenByWindowsAttributes(WindowsAttributesOf(entry), attributes_);
    case EntryKind::Other:
      return (attributes_ & kSystemAttribute) != 0;
    case EntryKind::Missing:
      break;
  }
  return false;
}

std::uint32_t LinuxSystemServices::GetShortPathNameA(const std::string& long_path,
                                                     std::span<char> buffer) {
  if (!short_paths_.ShortPathInto(long_path, short_path_work_)) return 0;
  return CopyWithTerminator(short_path_work_, buffer);
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

bool LinuxSystemServices::ToSystemCodePageInto(TextView text, std::string& bytes) const {
  return EncodeFileNameInto(text, bytes);
}

void LinuxSystemServices::FromSystemCodePageInto(std::string_view bytes, Text& text) const {
  DecodeFileNameInto(bytes, text);
}

// Code unit for code unit, so that the length stays: a letter whose other
// case lies beyond U+FFFF keeps its own.
Text LinuxSystemServices::ToLowerCase(Text text) const {
  for (char16_t& unit : text) {
    if (unit < 0x80) {
      if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + (u'a' - u'A'));
    } else if (const char32_t lower = UnicodeLowerCase(unit);
               lower <= 0xFFFF && !IsSurrogate(lower)) {
      unit = static_cast<char16_t>(lower);
    }
  }
  return text;
}

std::vector<Text> LinuxSystemServices::Subfolders(const Text& folder) {
  const std::optional<std::string> bytes = EncodeFileName(folder);
  if (!bytes) throw PlatformError(ErrorKind::NotFound, folder, "no such folder");
  FolderReader reader(*bytes);
  if (!reader.is_open()) throw FolderError(reader.error(), folder, *bytes);
  const std::string prefix = bytes->ends_with('/') ? *bytes : *bytes + '/';
  // Windows leaves hidden and system folders out of its folder lists too.
  const bool windows_attributes = IsNtfs3gFolder(prefix);
  std::vector<Text> names;
  while (const dirent* entry = reader.Next()) {
    if (entry->d_name[0] == '.' || reader.KindOf(*entry) != EntryKind::Folder) continue;
    if (windows_attributes &&
        HiddenByWindowsAttributes(on_linux::WindowsAttributesOf(prefix + entry->d_name), 0)) {
      continue;
    }
    names.push_back(DecodeFileName(entry->d_name));
  }
  if (reader.error() != 0) throw FolderError(reader.error(), folder, *bytes);
  return names;
}

Text LinuxSystemServices::CurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) throw SystemError(errno, u".", "cannot read the current folder");
    buffer.resize(buffer.size() * 2);
  }
  return DecodeFileName(buffer.c_str());
}

Text LinuxSystemServices::HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return DecodeFileName(home);
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return DecodeFileName(user->pw_dir);
  }
  return u"/";
}

PathKind LinuxSystemServices::KindOfPath(const Text& path) {
  const std::optional<std::string> bytes = EncodeFileName(path);
  struct stat status {};
  if (!bytes || ::stat(bytes->c_str(), &status) != 0) return PathKind::Missing;
  return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::File;
}

// A folder's kind of disk is found once for the lines of one folder, not
// once a line: on a FUSE disk that takes a look at its attributes and at the
// disk's boot sector.
ShortNameSource LinuxSystemServices::SourceOfFolder(const std::string& folder) {
  const std::optional<FolderState> state = ReadFolderState(folder);
  if (!state) return source_of_(folder);
  if (!source_known_ || source_known_->folder != folder || source_known_->state != *state) {
    source_known_ = SourceKnown{folder, *state, source_of_(folder)};
  }
  return source_known_->source;
}

// Told by the kind of disk and the names alone, so a file gone since the
// refresh still gets an answer. On ntfs-3g the resolver gives the stored short
// name, or the long name where none is stored; on a FAT disk, the driver's;
// on exFAT, always the long name.
ShortNameOrigin LinuxSystemServices::ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                                       TextView short_name) {
  if (short_name.empty()) return ShortNameOrigin::None;
  const std::optional<std::string> long_bytes = EncodeFileName(long_name);
  const bool long_name_is_valid = long_bytes && fat::IsValidShortName(*long_bytes);
  const std::optional<std::string> folder = EncodeFileName(folder_path);
  const ShortNameSource source = folder ? SourceOfFolder(*folder) : ShortNameSource::FatRules;
  switch (source) {
    case ShortNameSource::Ntfs3g:
    case ShortNameSource::Vfat:
    case ShortNameSource::OwnNames:
      return OriginWhereTheDiskKeepsNames(long_name, short_name, long_name_is_valid);
    case ShortNameSource::FatRules:
    case ShortNameSource::FatRulesOverNtfs3:
      break;
  }
  // The FAT rules keep a valid 8.3 name as it is, unless it clashes with
  // another name of the folder.
  if (short_name == long_name && long_name_is_valid) return ShortNameOrigin::ValidName;
  return source == ShortNameSource::FatRulesOverNtfs3 ? ShortNameOrigin::RulesGuess
                                                      : ShortNameOrigin::Rules;
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
