// Reading a folder's entries on Linux, for every part of the program that
// does: the enumeration, the folder list, the short-name tables and the disk
// labels.
#pragma once

#include <dirent.h>

#include <string>

#include "platform/linux/handles.h"

namespace tarnwick::on_linux {

// What an entry is. A link counts as what it leads to; one that leads
// nowhere is Missing.
enum class EntryKind { File, Folder, Other, Missing };

class FolderReader {
 public:
  // Opens `folder` (file-name bytes); see is_open() and error().
  explicit FolderReader(const std::string& folder);

  bool is_open() const { return static_cast<bool>(stream_); }

  // Why the folder could not be opened or read (an errno value); 0 while
  // nothing went wrong.
  int error() const { return error_; }

  // The next entry, "." and ".." left out; nullptr at the end of the folder
  // and on an error.
  const dirent* Next();

  EntryKind KindOf(const dirent& entry) const;

  // The folder's descriptor, while it is open.
  int descriptor() const { return ::dirfd(stream_.get()); }

 private:
  FolderStream stream_;
  int error_ = 0;
};

}  // namespace tarnwick::on_linux
