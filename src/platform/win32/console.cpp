#include "platform/console.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_system_services.h"

namespace tarnwick {
namespace {

using win32::FromWide;
using win32::ToWide;

// WriteConsoleW is given at most this many code units at a time.
constexpr std::size_t kConsoleChunk = 8192;

// Each writer gives whether it wrote everything; GetLastError() tells why not.
bool WriteToConsole(HANDLE console, const std::wstring& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    std::size_t chunk = std::min(kConsoleChunk, text.size() - done);
    // A surrogate pair stays in one piece.
    if (done + chunk < text.size() && IS_HIGH_SURROGATE(text[done + chunk - 1]) && chunk > 1) {
      --chunk;
    }
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data() + done, static_cast<DWORD>(chunk), &written,
                         nullptr) ||
        written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

bool WriteBytes(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// A console answers GetConsoleMode; a file or a pipe does not.
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

// Text on a console, so that every character shows whatever the console's
// code page; UTF-8 bytes into a file or a pipe. Gives the error that stopped
// it, or 0.
DWORD Write(DWORD which, TextView text) {
  if (text.empty()) return 0;
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  const bool written = IsConsole(handle) ? WriteToConsole(handle, ToWide(text))
                                         : WriteBytes(handle, win32::ToUtf8(text));
  return written ? 0 : ::GetLastError();
}

class Win32Console final : public Console {
 public:
  Win32Console() {
    // The wide command line, since the ANSI arguments of main() have lost
    // every character outside the code page.
    int count = 0;
    wchar_t** const arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) throw std::runtime_error("cannot read the command line");
    const win32::LocalMemory owned(arguments);
    for (int i = 1; i < count; ++i) arguments_.push_back(FromWide(arguments[i]));
  }

  std::vector<Text> Arguments() const override { return arguments_; }

  Text FullPath(const Text& path) const override {
    const std::wstring wide = ToWide(path);
    DWORD error = 0;
    const std::optional<Text> full = win32::FillBuffer(
        [&wide](DWORD size, wchar_t* buffer) {
          return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
        },
        error);
    if (!full) {
      throw win32::SystemError(error, path,
                               "cannot make a full path of '" + win32::ToUtf8(path) + "'");
    }
    return *full;
  }

  void WriteOut(TextView text) override {
    switch (const DWORD error = Write(STD_OUTPUT_HANDLE, text)) {
      case 0:
        return;
      // The pipe's reader has closed it, or is closing it.
      case ERROR_NO_DATA:
      case ERROR_BROKEN_PIPE:
      case ERROR_PIPE_NOT_CONNECTED:
        throw OutputClosed();
      default:
        throw win32::SystemError(error, u"", "cannot write the output");
    }
  }
  void WriteError(TextView text) override { Write(STD_ERROR_HANDLE, text); }

  bool OutputIsTerminal() const override { return IsConsole(::GetStdHandle(STD_OUTPUT_HANDLE)); }
  bool ErrorIsTerminal() const override { return IsConsole(::GetStdHandle(STD_ERROR_HANDLE)); }

 private:
  std::vector<Text> arguments_;
};

}  // namespace

std::unique_ptr<Console> OpenConsole(int /*argc*/, char** /*argv*/) {
  // The console program's first act, as the window's: no DLL from the
  // program's folder or the current one.
  win32::RestrictLibrarySearch();
  return std::make_unique<Win32Console>();
}

}  // namespace tarnwick
