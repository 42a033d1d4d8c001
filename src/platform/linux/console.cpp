#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/linux/handles.h"
#include "platform/linux/system_error.h"
#include "text/lossless_utf8.h"

namespace tarnwick {
namespace {

// Gives the errno of a write that failed, or 0.
int WriteAll(int fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    written += static_cast<std::size_t>(n);
  }
  return 0;
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
    // A reader that stops early (head) would otherwise end the program by
    // SIGPIPE in the middle of a write; ignored, the write fails with EPIPE
    // and the listing ends quietly, as it does on Windows.
    std::signal(SIGPIPE, SIG_IGN);
    for (int i = 1; i < argc; ++i) arguments_.push_back(DecodeFileName(argv[i]));
  }

  std::vector<Text> Arguments() const override { return arguments_; }

  Text FullPath(const Text& path) const override {
    const std::optional<std::string> bytes = EncodeFileName(path);
    if (!bytes) throw PlatformError(ErrorKind::NotFound, path, "no such folder");
    const on_linux::AllocatedText resolved(::realpath(bytes->c_str(), nullptr));
    if (!resolved) throw on_linux::SystemError(errno, path, "cannot find '" + *bytes + "'");
    return DecodeFileName(resolved.get());
  }

  void WriteOut(TextView text) override {
    if (const int error = WriteAll(STDOUT_FILENO, OutputBytes(text)); error != 0) {
      if (error == EPIPE) throw OutputClosed();
      throw on_linux::SystemError(error, u"", "cannot write the output");
    }
  }
  void WriteError(TextView text) override { WriteAll(STDERR_FILENO, OutputBytes(text)); }

  bool OutputIsTerminal() const override { return ::isatty(STDOUT_FILENO) == 1; }
  bool ErrorIsTerminal() const override { return ::isatty(STDERR_FILENO) == 1; }

 private:
  std::vector<Text> arguments_;
};

}  // namespace

std::unique_ptr<Console> OpenConsole(int argc, char** argv) {
  return std::make_unique<LinuxConsole>(argc, argv);
}

}  // namespace tarnwick
