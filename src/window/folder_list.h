// What the folder list and the drive list show, written once for both window
// toolkits, which only draw it.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/system_services.h"

namespace tarnwick {

// One line of the folder list.
struct FolderListEntry {
  Text name;  // as shown
  Text path;  // the folder it opens
  int depth;  // how far it is indented
  bool open;  // an open folder: on the way to the current one, or it
  bool operator==(const FolderListEntry&) const = default;
};

// The folder list for `path`: the chain of folders from the top of its
// drive down to `path` itself (open), then its subfolders one level deeper
// (closed), sorted by lower-cased name. Throws PlatformError when the
// subfolders of `path` cannot be read.
std::vector<FolderListEntry> FolderListFor(const Text& path, SystemServices& system);

// `path` without "." components, ".." taken back, repeated separators and a
// final separator removed (the top keeps its own).
Text CleanFolderPath(const Text& path, char16_t separator);

// The folder above `clean_path` (a path as CleanFolderPath gives it), or the
// empty text at the top of its drive.
Text ParentFolder(const Text& clean_path, char16_t separator);

// The index of the drive that holds `path`: the longest root or share that
// `path` starts with, whole components compared without regard to case;
// nullopt when none does (a share no drive is mapped to).
std::optional<std::size_t> DriveFor(const std::vector<Drive>& drives, const Text& path,
                                    SystemServices& system);

}  // namespace tarnwick
