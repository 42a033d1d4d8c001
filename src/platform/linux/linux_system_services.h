// File-system and text services on Linux, with stand-ins for what Windows
// has and Linux lacks: "/" for the separator, hidden for a name that starts
// with ".", system for anything that is not a regular file, and short names
// made by the FAT rules where the disk keeps none. A Windows disk mounted
// through ntfs-3g adds its own hidden and system attributes, and its own
// short names.
#pragma once

#include <dirent.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/linux/folder_reader.h"
#include "platform/linux/short_path.h"
#include "platform/system_services.h"

namespace tarnwick::on_linux {

class LinuxSystemServices final : public SystemServices {
 public:
  // `source_of` tells the short paths and ShortNameOriginOf what kind of disk
  // a folder lies on.
  explicit LinuxSystemServices(ShortNameSourceReader source_of = ShortNameSourceOf);
  ~LinuxSystemServices() override;

  Text FirstEntry(const Text& pattern, std::int32_t attributes) override;
  Text NextEntry() override;
  void EndEnumeration() noexcept override;
  std::uint32_t GetShortPathNameA(const std::string& long_path, std::span<char> buffer) override;
  std::uint32_t GetShortPathNameW(const Text& long_path, std::span<char16_t> buffer) override;
  std::optional<std::string> ToSystemCodePage(TextView text) const override;
  Text FromSystemCodePage(std::string_view bytes) const override;
  bool ToSystemCodePageInto(TextView text, std::string& bytes) const override;
  void FromSystemCodePageInto(std::string_view bytes, Text& text) const override;
  char16_t Separator() const override { return u'/'; }
  TextView LineBreak() const override { return u"\n"; }
  Text ToLowerCase(Text text) const override;
  std::vector<Text> Subfolders(const Text& folder) override;
  std::vector<Drive> Drives() override;
  Text CurrentFolder() override;
  Text HomeFolder() override;
  PathKind KindOfPath(const Text& path) override;
  ShortNameOrigin ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                    TextView short_name) override;

 private:
  bool Wanted(const dirent& entry);
  // `source_of_` of a folder, asked again only once the folder has changed.
  ShortNameSource SourceOfFolder(const std::string& folder);
  // The Windows attributes of an entry of the folder being enumerated.
  std::optional<std::uint32_t> WindowsAttributesOf(const dirent& entry);

  std::unique_ptr<FolderReader> enumeration_;
  Text enumerated_folder_;
  std::string enumerated_bytes_;
  bool windows_attributes_ = false;  // the folder is on a disk that keeps them
  // What the passes of this enumeration read of each entry's Windows
  // attributes, by its name, with the inode it had: a refresh goes through
  // the folder twice but reads each file's attributes once. A name is one
  // entry of the folder at a time; one that was replaced between the passes
  // has another inode, and is read again.
  struct AttributesRead {
    ino_t inode;
    std::optional<std::uint32_t> attributes;
  };
  std::unordered_map<std::string, AttributesRead> windows_attributes_read_;
  std::int32_t attributes_ = kOrdinaryFiles;
  // Every name of this enumeration, from its start, for the folder's short
  // names: a listing reads the whole folder in its first pass, and its
  // files' short names need it read once more.
  std::optional<FolderNames> names_read_;
  ShortPathResolver short_paths_;
  // The short path of the last question, its room kept for the next.
  std::string short_path_work_;
  ShortNameSourceReader source_of_;
  // The kind of disk of the folder whose lines were asked about last, as it
  // was in `state`.
  struct SourceKnown {
    std::string folder;
    FolderState state;
    ShortNameSource source;
  };
  std::optional<SourceKnown> source_known_;
};

}  // namespace tarnwick::on_linux
