#include "platform/posix/short_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/posix/fat_short_names.h"

namespace tarnwick::posix {
namespace {

constexpr std::size_t kMostFoldersKept = 64;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Every entry of the folder but "." and ".."; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadEntryNames(const std::string& folder) {
  DirHandle dir(::opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
  }
  if (errno != 0) return std::nullopt;
  return names;
}

}  // namespace

std::optional<std::string> ShortPathResolver::ShortPath(std::string_view path) {
  if (path.empty()) return std::nullopt;
  std::string result;
  std::string folder = path.front() == '/' ? "/" : "./";
  std::size_t position = 0;
  while (position < path.size()) {
    if (path[position] == '/') {
      result += '/';
      ++position;
      continue;
    }
    const std::size_t end = std::min(path.find('/', position), path.size());
    const std::string name(path.substr(position, end - position));
    std::optional<std::string> short_name = ShortNameIn(folder, name);
    if (!short_name) return std::nullopt;
    result += *short_name;
    folder += name;
    folder += '/';
    position = end;
  }
  // A final "/" asks for a folder, as it does of the file system.
  if (path.back() == '/') {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  }
  return result;
}

std::optional<std::string> ShortPathResolver::ShortNameIn(const std::string& folder,
                                                          const std::string& name) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  if (name == "." || name == "..") return name;
  const FolderState state{status.st_dev, status.st_ino, Nanoseconds(status.st_mtim),
                          Nanoseconds(status.st_ctim)};
  const FolderTable& table = TableFor(folder, state);
  if (table.listed) {
    const auto found = table.short_names.find(name);
    if (found == table.short_names.end()) return std::nullopt;
    return found->second;
  }
  // A folder that may be passed through but not read: its entries keep their
  // own names, as long as they are there.
  struct stat entry {};
  if (::lstat((folder + name).c_str(), &entry) != 0) return std::nullopt;
  return name;
}

const ShortPathResolver::FolderTable& ShortPathResolver::TableFor(const std::string& folder,
                                                                  const FolderState& state) {
  const std::pair id{state.device, state.inode};
  if (const auto found = tables_.find(id); found != tables_.end() && found->second.state == state) {
    return found->second;
  }
  if (tables_.size() >= kMostFoldersKept) tables_.clear();
  FolderTable& table = tables_[id];
  table = FolderTable{state, false, {}};
  // This is where a file system's own short names would be read first; on
  // one that keeps none, they are made by the FAT rules.
  if (std::optional<std::vector<std::string>> names = ReadEntryNames(folder)) {
    std::vector<std::string> short_names = MakeShortNames(*names);
    table.short_names.reserve(names->size());
    for (std::size_t i = 0; i < names->size(); ++i) {
      if (!short_names[i].empty())
        table.short_names.emplace((*names)[i], std::move(short_names[i]));
    }
    table.listed = true;
  }
  return table;
}

}  // namespace tarnwick::posix
