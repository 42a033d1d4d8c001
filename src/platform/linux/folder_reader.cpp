#include "platform/linux/folder_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

namespace tarnwick::on_linux {

FolderReader::FolderReader(const std::string& folder) : stream_(::opendir(folder.c_str())) {
  if (!stream_) error_ = errno;
}

const dirent* FolderReader::Next() {
  while (stream_) {
    errno = 0;
    const dirent* entry = ::readdir(stream_.get());
    if (entry == nullptr) {
      error_ = errno;
      return nullptr;
    }
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") return entry;
  }
  return nullptr;
}

EntryKind FolderReader::KindOf(const dirent& entry) const {
  switch (entry.d_type) {
    case DT_REG:
      return EntryKind::File;
    case DT_DIR:
      return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
      break;  // asked of what the name leads to
    default:
      return EntryKind::Other;
  }
  struct stat status {};
  if (::fstatat(::dirfd(stream_.get()), entry.d_name, &status, 0) != 0) return EntryKind::Missing;
  if (S_ISREG(status.st_mode)) return EntryKind::File;
  if (S_ISDIR(status.st_mode)) return EntryKind::Folder;
  return EntryKind::Other;
}

}  // namespace tarnwick::on_linux
