// A folder of its own under /tmp for one test, removed with everything in it.
// Its name is a valid short name, so the short form of its path is the path.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::testing {

// Removes `name` in the folder open as `parent`, with all it holds. It goes
// by handles, not whole paths, so that a tree deeper than the longest path
// the system takes goes too, and folders that may not be read are opened up
// first.
inline void RemoveTree(int parent, const std::string& name) {
  if (::unlinkat(parent, name.c_str(), 0) == 0 || (errno != EISDIR && errno != EPERM)) return;
  // As far as it lets itself be opened up: what stays closed is left behind.
  [[maybe_unused]] const int opened_up = ::fchmodat(parent, name.c_str(), 0700, 0);
  const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
      ::close(fd);
    } else {
      std::vector<std::string> names;
      while (const dirent* entry = ::readdir(dir)) {
        const std::string entry_name = entry->d_name;
        if (entry_name != "." && entry_name != "..") names.push_back(entry_name);
      }
      for (const std::string& entry_name : names) RemoveTree(::dirfd(dir), entry_name);
      ::closedir(dir);
    }
  }
  ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

class TempFolder {
 public:
  TempFolder() : TempFolder(std::filesystem::temp_directory_path().string() + "/") {}
  // The same in `parent` (a folder path with a final "/"), such as a disk of
  // the kind a test needs.
  explicit TempFolder(const std::string& parent) {
    std::string pattern = parent + "twXXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempFolder() { RemoveTree(AT_FDCWD, path_.substr(0, path_.size() - 1)); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, with a final "/".
  const std::string& path() const { return path_; }

  // An empty file of that name (file-name bytes, may hold a "/" for a file
  // in a subfolder).
  void File(const std::string& name) const {
    const int fd = ::open((path_ + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot make file " + name);
    ::close(fd);
  }
  void Folder(const std::string& name) const {
    if (::mkdir((path_ + name).c_str(), 0755) != 0) throw std::runtime_error("cannot make " + name);
  }
  void Link(const std::string& name, const std::string& target) const {
    if (::symlink(target.c_str(), (path_ + name).c_str()) != 0) {
      throw std::runtime_error("cannot link " + name);
    }
  }

  // Makes each of `entries` in turn, as `ls -F` would show it: "name/" a
  // folder, "name -> target" a link, any other name an empty file.
  void Make(std::initializer_list<std::string> entries) const {
    for (const std::string& entry : entries) {
      if (const std::size_t arrow = entry.find(" -> "); arrow != std::string::npos) {
        Link(entry.substr(0, arrow), entry.substr(arrow + 4));
      } else if (entry.ends_with('/')) {
        Folder(entry.substr(0, entry.size() - 1));
      } else {
        File(entry);
      }
    }
  }

 private:
  std::string path_;
};

}  // namespace tarnwick::testing
