// The system seam: the operations that Tarnwick takes from the operating
// system (the folder enumeration, the short-path service, text conversions,
// folders and drives). The portable code reaches the system only through
// this interface, so a fake can stand in for it in a test.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace tarnwick {

// Why a platform operation failed, so that a window can word its own message.
enum class ErrorKind : std::uint8_t { NotFound, AccessDenied, NotReady, Other };

// A failed platform operation: a folder that is gone or may not be read, a
// drive that is not ready. `what()` is a plain English description that names
// the path, for the console; `path()` is the path itself; `system_words()`
// is what the system itself says of the error in the user's language, or
// empty where it has nothing to add in that language.
class PlatformError : public std::runtime_error {
 public:
  PlatformError(ErrorKind kind, Text path, const std::string& description, Text system_words = {})
      : std::runtime_error(description),
        kind_(kind),
        path_(std::move(path)),
        system_words_(std::move(system_words)) {}

  ErrorKind kind() const noexcept { return kind_; }
  const Text& path() const noexcept { return path_; }
  const Text& system_words() const noexcept { return system_words_; }

 private:
  ErrorKind kind_;
  Text path_;
  Text system_words_;
};

// Where a file's short name comes from.
enum class ShortNameOrigin : std::uint8_t {
  Disk,        // the file system keeps this short name
  ValidName,   // the long name is a valid 8.3 name and stands for itself
  Rules,       // made by the FAT rules of code page 932: what a FAT disk would
               // most likely call the file, not a name any disk holds
  RulesGuess,  // the same, on a disk that keeps short names which cannot be
               // read here (an NTFS disk through the kernel's ntfs3 driver)
  None,        // the file system keeps no short name for a name that is not
               // a valid 8.3 name
};

// The word that stands for an origin: "disk", "8.3", "rules" (for both kinds
// of rules) or "none".
std::string_view OriginWord(ShortNameOrigin origin);

// The origin on a disk that keeps short names, told by the names alone: a
// short name other than the long name is the disk's; where the long name
// stands for itself, it is a valid 8.3 name (`long_name_is_valid`) or one the
// disk keeps no short name for.
ShortNameOrigin OriginWhereTheDiskKeepsNames(TextView long_name, TextView short_name,
                                             bool long_name_is_valid);

// What a path names, for a file or folder dropped on the window.
enum class PathKind : std::uint8_t { Missing, Folder, File };

// Attribute mask for FirstEntry: 0 asks for ordinary files only (no folders,
// hidden or system files).
inline constexpr std::int32_t kOrdinaryFiles = 0;

// The attributes of an entry, as Windows numbers them: in FirstEntry's mask,
// each lets the entries that have it through.
inline constexpr std::int32_t kHiddenAttribute = 0x02;
inline constexpr std::int32_t kSystemAttribute = 0x04;
inline constexpr std::int32_t kFolderAttribute = 0x10;

// The size of the work buffer handed to the short-path service.
inline constexpr std::size_t kShortPathBufferSize = 1024;

// One entry of the drive list: the text it shows, the folder that the
// folder list goes to when it is chosen (a drive's root, or on Linux a mount
// point), and the share of a network drive.
struct Drive {
  Text text;
  Text root;
  // For a network drive, the share it is mapped to ("\\server\share"): a
  // folder on that share is on this drive too. Empty for any other drive.
  Text share = {};
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

  // The same two, written over `bytes` and `text`, whose room serves call
  // after call: a refresh converts a path for every file. By default they
  // call the two above; ToSystemCodePageInto gives false where
  // ToSystemCodePage gives nullopt, leaving `bytes` unspecified.
  virtual bool ToSystemCodePageInto(TextView text, std::string& bytes) const;
  virtual void FromSystemCodePageInto(std::string_view bytes, Text& text) const;

  // The path separator: "\" on Windows, "/" on Linux.
  virtual char16_t Separator() const = 0;

  // What ends a line of text that other programs read: CR LF on Windows, LF
  // on Linux.
  virtual TextView LineBreak() const = 0;

  // Lower case by the system's case mapping, code unit for code unit, so the
  // length stays the same. A-Z always become a-z.
  virtual Text ToLowerCase(Text text) const = 0;

  // The names of the folders in `folder` that the folder list shows (not
  // hidden ones), in no particular order. Throws PlatformError when the
  // folder cannot be read.
  virtual std::vector<Text> Subfolders(const Text& folder) = 0;

  // The drives of the drive list, in the order it shows them.
  virtual std::vector<Drive> Drives() = 0;

  // The process's current folder, where the window starts.
  virtual Text CurrentFolder() = 0;

  // Where the window goes when it cannot show its start folder: the user's
  // home folder; empty where the custom is the top of the start folder's
  // drive instead (Windows).
  virtual Text HomeFolder() = 0;

  // What `path` names: a folder, a file (anything else that is there), or
  // nothing. Links are followed.
  virtual PathKind KindOfPath(const Text& path) = 0;

  // Where the short name `short_name` of the file `long_name` in
  // `folder_path` (ending in the separator) comes from, as the refresh
  // obtained it; `short_name` is empty when the refresh got none. Asked only
  // when someone wants to know, so a refresh costs nothing more. A file gone
  // since is no error: the answer is what can still be told.
  virtual ShortNameOrigin ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                            TextView short_name) = 0;
};

// The services of the system this program is built for.
std::unique_ptr<SystemServices> CreateSystemServices();

// The description of an error as text: `what()` is UTF-8, and a path in it
// that is not comes through as its bytes do in file names.
Text DescriptionOf(const std::exception& error);

}  // namespace tarnwick
