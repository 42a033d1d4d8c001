// A folder of its own under /tmp for one test, removed with everything in it.
// Its name is a valid short name, so the short form of its path is the path.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tarnwick::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "twXXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
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

 private:
  std::string path_;
};

}  // namespace tarnwick::testing
