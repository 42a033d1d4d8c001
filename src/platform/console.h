// What a console program takes from the system: its arguments, the current
// folder, full paths, and its two output streams.
#pragma once

#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/system_services.h"

namespace tarnwick {

// Standard output's reader has stopped reading, as a program that a pipe
// feeds may do once it has what it wants: nothing more can be written, and
// nothing is wrong.
class OutputClosed : public std::runtime_error {
 public:
  OutputClosed() : std::runtime_error("the reader of the output has stopped reading") {}
};

class Console {
 public:
  virtual ~Console() = default;

  // The arguments after the program's name.
  virtual std::vector<Text> Arguments() const = 0;

  // `path` made absolute against the current folder, without "." and ".."
  // parts. Throws PlatformError when that cannot be done.
  virtual Text FullPath(const Text& path) const = 0;

  // Writes to standard output: shown as text on a console, UTF-8 when
  // redirected. Throws OutputClosed when its reader has gone, and
  // PlatformError when it cannot be written otherwise (a full disk, a closed
  // console).
  virtual void WriteOut(TextView text) = 0;

  // The same to standard error. Where that cannot be written either, there
  // is no one left to tell: the exit status says it.
  virtual void WriteError(TextView text) = 0;

  // Whether standard output, or standard error, is a terminal (a console on
  // Windows), which a control character written to it could drive, rather
  // than a file or a pipe.
  virtual bool OutputIsTerminal() const = 0;
  virtual bool ErrorIsTerminal() const = 0;
};

// The console of a program that has just started: its first call. On
// Windows it first restricts where DLLs come from to the system folder.
std::unique_ptr<Console> OpenConsole(int argc, char** argv);

}  // namespace tarnwick
