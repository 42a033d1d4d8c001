// The operations that Tarnwick takes from the operating system and from its
// window toolkit. The listing core reaches the file system and the window only
// through these interfaces, so a fake can stand in for either in a test.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Text is 16-bit Unicode, compared and indexed by code unit.
using Text = std::u16string;
using TextView = std::u16string_view;

// Why a platform operation failed, so that a window can word its own message.
enum class ErrorKind : std::uint8_t { NotFound, AccessDenied, NotReady, Other };

// A failed platform operation: a folder that is gone or may not be read, a
// drive that is not ready. `what()` is a plain English description that names
// the path; `path()` is the path itself.
class PlatformError : public std::runtime_error {
 public:
  PlatformError(ErrorKind kind, Text path, const std::string& description)
      : std::runtime_error(description), kind_(kind), path_(std::move(path)) {}

  ErrorKind kind() const noexcept { return kind_; }
  const Text& path() const noexcept { return path_; }

 private:
  ErrorKind kind_;
  Text path_;
};

// Attribute mask for FirstEntry: 0 asks for ordinary files only (no folders,
// hidden or system files).
inline constexpr std::int32_t kOrdinaryFiles = 0;

// The size of the work buffer handed to the short-path service.
inline constexpr std::size_t kShortPathBufferSize = 1024;

// One entry of the drive list: the text it shows, and the folder that the
// folder list goes to when it is chosen (a drive's root, or on Linux a mount
// point).
struct Drive {
  Text text;
  Text root;
  bool operator==(const Drive&) const = default;
};

// File-system and text services of the system the program runs on.
class SystemServices {
 public:
  virtual ~SystemServices() = default;

  // Starts a new enumeration. `pattern` is a folder path followed by "*.*",
  // which matches every name. Gives the name (no folder part) of the first
  // file that is not a folder, hidden or system file, or the empty text when
  // there is none. Throws PlatformError when the folder cannot be read.
  virtual Text FirstEntry(const Text& pattern, std::int32_t attributes) = 0;

  // The next such name of the enumeration that FirstEntry started, or the
  // empty text once they are used up (and on every later call).
  virtual Text NextEntry() = 0;

  // Ends the enumeration that FirstEntry started, whether or not its names
  // are used up, and lets go of the folder: an open folder keeps a removable
  // drive from being taken out and the folder from being renamed. NextEntry
  // gives the empty text afterwards.
  virtual void EndEnumeration() noexcept = 0;

  // The short-path service. Writes the short form of `long_path` (given in
  // the system code page) and a NUL into `buffer` when it can; leaves the
  // buffer as it is when it cannot, for example when the path does not
  // exist. Returns what the system's service returns (the length written,
  // the size needed, or 0); callers need not look at it.
  virtual std::uint32_t GetShortPathNameA(const std::string& long_path, std::span<char> buffer) = 0;

  // The same service for a path that the system code page cannot hold.
  virtual std::uint32_t GetShortPathNameW(const Text& long_path, std::span<char16_t> buffer) = 0;

  // Conversion to the system code page; nullopt when the code page cannot
  // hold every character of `text` exactly.
  virtual std::optional<std::string> ToSystemCodePage(TextView text) const = 0;

  // Conversion from the system code page. Every byte sequence gives some
  // text; a NUL byte gives U+0000.
  virtual Text FromSystemCodePage(std::string_view bytes) const = 0;

  // The path separator: "\" on Windows, "/" on Linux.
  virtual char16_t Separator() const = 0;

  // Lower case by the system's case mapping, code unit for code unit, so the
  // length stays the same. A-Z always become a-z.
  virtual Text ToLowerCase(Text text) const = 0;

  // The names of the folders in `folder` that the folder list shows (not
  // hidden ones), in no particular order. Throws PlatformError when the
  // folder cannot be read.
  virtual std::vector<Text> Subfolders(const Text& folder) = 0;

  // The drives of the drive list, in the order it shows them.
  virtual std::vector<Drive> Drives() = 0;
};

// The properties and methods of the window's controls that the listing
// refresh reads and writes.
class ListingControls {
 public:
  virtual ~ListingControls() = default;

  // `Dir1`: full path of the folder shown, with or without a final separator.
  virtual Text Dir1Path() const = 0;

  // `Option1` item 0: true when it is the selected button of the pair, which
  // means sorting by long name.
  virtual bool Option1Item0Value() const = 0;

  // `Label1`: sets the caption.
  virtual void SetLabel1Caption(const Text& caption) = 0;

  // `List1`: removes every line.
  virtual void List1Clear() = 0;

  // `List1`: appends a line after the last one.
  virtual void List1AddItem(const Text& line) = 0;

  // `List1`: whether it redraws. The refresh turns it off before adding the
  // lines and back on after the last one.
  virtual void SetList1Redraw(bool redraw) = 0;
};

// The window's controls as its handlers use them: those of the refresh, and
// the folder list, drive list and message box.
class WindowControls : public ListingControls {
 public:
  // `Dir1`: shows the folder `path` and raises Change. Throws PlatformError,
  // still showing the folder it showed and raising nothing, when `path`
  // cannot be read.
  virtual void SetDir1Path(const Text& path) = 0;

  // `Drive1`: the root of the chosen drive.
  virtual Text Drive1Drive() const = 0;

  // `Drive1`: chooses the drive that holds `path`, raising no Change.
  virtual void SelectDrive1For(const Text& path) = 0;

  // A modal message box with one OK button; returns when it is closed.
  // `style` 64 shows the information icon, 16 the error icon.
  virtual void ShowMessage(const Text& text, std::int32_t style, const Text& title) = 0;

  // The busy cursor over the program's window while `busy`, the usual one
  // again after: a refresh runs on the one thread, and a long one must not
  // leave the window looking dead without a sign.
  virtual void SetBusyCursor(bool busy) = 0;
};

// The services of the system this program is built for.
std::unique_ptr<SystemServices> CreateSystemServices();

}  // namespace tarnwick
