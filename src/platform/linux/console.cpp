#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/lossless_utf8.h"

namespace tarnwick {
namespace {

PlatformError ErrorFor(int error, const Text& path, const std::string& what) {
  const ErrorKind kind = error == ENOENT || error == ENOTDIR ? ErrorKind::NotFound
                         : error == EACCES || error == EPERM ? ErrorKind::AccessDenied
                                                             : ErrorKind::Other;
  return PlatformError(kind, path, what + ": " + std::strerror(error));
}

void WriteAll(int fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nowhere left to say so
    }
    written += static_cast<std::size_t>(n);
  }
}

// Output is the file-name bytes of the text, so that a name that is not
// valid UTF-8 is written as the very bytes of the file's name.
std::string OutputBytes(TextView text) {
  if (auto bytes = EncodeFileName(text)) return *bytes;
  std::string bytes;
  for (char16_t unit : text) {
    bytes += EncodeFileName(TextView(&unit, 1)).value_or("\xEF\xBF\xBD");
  }
  return bytes;
}

class LinuxConsole final : public Console {
 public:
  LinuxConsole(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) arguments_.push_back(DecodeFileName(argv[i]));
  }

  std::vector<Text> Arguments() const override { return arguments_; }

  Text CurrentFolder() const override {
    std::string buffer(PATH_MAX, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) throw ErrorFor(errno, u".", "cannot read the current folder");
      buffer.resize(buffer.size() * 2);
    }
    return DecodeFileName(buffer.c_str());
  }

  Text FullPath(const Text& path) const override {
    const std::optional<std::string> bytes = EncodeFileName(path);
    if (!bytes) throw PlatformError(ErrorKind::NotFound, path, "no such folder");
    char* resolved = ::realpath(bytes->c_str(), nullptr);
    if (resolved == nullptr) throw ErrorFor(errno, path, "cannot find '" + *bytes + "'");
    const Text full = DecodeFileName(resolved);
    std::free(resolved);
    return full;
  }

  void WriteOut(TextView text) override { WriteAll(STDOUT_FILENO, OutputBytes(text)); }
  void WriteError(TextView text) override { WriteAll(STDERR_FILENO, OutputBytes(text)); }

 private:
  std::vector<Text> arguments_;
};

}  // namespace

std::unique_ptr<Console> OpenConsole(int argc, char** argv) {
  return std::make_unique<LinuxConsole>(argc, argv);
}

}  // namespace tarnwick
