// Stand-ins for the window and the system, for tests of the listing core.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/system_services.h"
#include "window/window_controls.h"

namespace tarnwick::testing {

// A window that keeps what the refresh does to it, in order.
class FakeControls final : public ListingControls {
 public:
  Text path;
  bool by_long_name = true;

  Text label;
  std::vector<Text> lines;
  std::vector<std::string> calls;  // "label", "clear", "add", "redraw off", "redraw on"

  Text Dir1Path() const override { return path; }
  void ListingFolder(const Text&, const Text&) override {}
  bool Option1Item0Value() const override { return by_long_name; }
  void SetLabel1Caption(const Text& caption) override {
    label = caption;
    calls.emplace_back("label");
  }
  void List1Clear() override {
    lines.clear();
    calls.emplace_back("clear");
  }
  void List1AddItem(const Text& line, TextView, TextView) override {
    lines.push_back(line);
    calls.emplace_back("add");
  }
  void SetList1Redraw(bool redraw) override {
    calls.emplace_back(redraw ? "redraw on" : "redraw off");
  }
};

// A small double-byte code page of the fakes' own, so that the conversions
// around the short-path service are exercised: U+0000 to U+007F are one byte;
// U+3000 to U+9FFF are two, a lead byte 0x80 + (unit - 0x3000) / 256 and a
// trail byte (unit & 0xFF), which may be a space, a backslash or even 0x00;
// nothing else fits.
inline std::optional<std::string> FakeEncode(TextView text) {
  std::string bytes;
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      bytes.push_back(static_cast<char>(unit));
    } else if (unit >= 0x3000 && unit <= 0x9FFF) {
      bytes.push_back(static_cast<char>(0x80 + ((unit - 0x3000) >> 8)));
      bytes.push_back(static_cast<char>(unit & 0xFF));
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

inline Text FakeDecode(std::string_view bytes) {
  Text text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      text.push_back(byte);
    } else if (byte <= 0xEF && i + 1 < bytes.size()) {
      const auto trail = static_cast<unsigned char>(bytes[++i]);
      text.push_back(static_cast<char16_t>(0x3000 + ((byte - 0x80) << 8) + trail));
    } else {
      text.push_back(u'\uFFFD');
    }
  }
  return text;
}

// A file system held in memory. Each folder lists the names of each
// enumeration in turn (the last list repeats), so that files can vanish or
// appear between the two passes of a refresh.
class FakeSystem final : public SystemServices {
 public:
  char16_t separator = u'\\';
  Text line_break = u"\r\n";
  // Folder path (with its final separator) to the names of each enumeration.
  std::map<Text, std::deque<std::vector<Text>>> folders;
  // Full path to its short form; a path not here has none.
  std::map<Text, Text> short_paths;
  // Bytes that the code-page service writes instead, for a path given here.
  std::map<Text, std::string> raw_short_paths;
  // Folder path (no final separator, but the top's) to its subfolders; a
  // folder not here cannot be read.
  std::map<Text, std::vector<Text>> subfolders;
  std::vector<Drive> drives;
  Text current_folder = u"C:\\";
  Text home_folder;  // none: the top of the start folder's drive
  // Full path of a file to where its short name comes from; a file not here
  // has it from the disk.
  std::map<Text, ShortNameOrigin> origins;
  std::vector<Text> origin_requests;  // the paths asked about

  std::vector<Text> patterns;         // every FirstEntry pattern
  std::vector<Text> narrow_requests;  // paths given to GetShortPathNameA
  std::vector<Text> wide_requests;    // paths given to GetShortPathNameW
  std::int32_t next_entry_calls = 0;
  bool enumerating = false;             // an enumeration holds its folder
  std::int32_t failing_next_entry = 0;  // the NextEntry call that fails, from 1
  // Thrown by FirstEntry, Subfolders and Drives while set: a fault that is
  // not the system's, such as std::bad_alloc.
  std::exception_ptr fault;
  bool buffers_were_spaces = true;  // every buffer came as 1024 spaces

  void AddFolder(const Text& folder, std::vector<Text> names) {
    folders[folder] = {std::move(names)};
  }

  Text FirstEntry(const Text& pattern, std::int32_t attributes) override {
    if (fault) std::rethrow_exception(fault);
    if (attributes != kOrdinaryFiles) throw std::logic_error("unexpected attribute mask");
    patterns.push_back(pattern);
    const Text folder = pattern.substr(0, pattern.rfind(separator) + 1);
    auto found = folders.find(folder);
    if (found == folders.end()) throw PlatformError(ErrorKind::NotFound, folder, "no such folder");
    std::deque<std::vector<Text>>& passes = found->second;
    current_ = passes.front();
    if (passes.size() > 1) passes.pop_front();
    position_ = 0;
    enumerating = true;
    return NextName();
  }

  Text NextEntry() override {
    if (++next_entry_calls == failing_next_entry) {
      throw PlatformError(ErrorKind::NotReady, u"C:\\", "the drive is gone");
    }
    return NextName();
  }

  void EndEnumeration() noexcept override {
    enumerating = false;
    current_.clear();
  }

  std::uint32_t GetShortPathNameA(const std::string& long_path, std::span<char> buffer) override {
    CheckSpaces(buffer);
    const Text path = FakeDecode(long_path);
    narrow_requests.push_back(path);
    if (auto raw = raw_short_paths.find(path); raw != raw_short_paths.end()) {
      std::copy_n(raw->second.begin(), std::min(raw->second.size(), buffer.size()), buffer.begin());
      return static_cast<std::uint32_t>(raw->second.size());
    }
    const auto found = short_paths.find(path);
    if (found == short_paths.end()) return 0;
    const std::string bytes = FakeEncode(found->second).value() + '\0';
    if (bytes.size() > buffer.size()) return static_cast<std::uint32_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return static_cast<std::uint32_t>(bytes.size() - 1);
  }

  std::uint32_t GetShortPathNameW(const Text& long_path, std::span<char16_t> buffer) override {
    CheckSpaces(buffer);
    wide_requests.push_back(long_path);
    const auto found = short_paths.find(long_path);
    if (found == short_paths.end()) return 0;
    const Text text = found->second + u'\0';
    if (text.size() > buffer.size()) return static_cast<std::uint32_t>(text.size());
    std::copy(text.begin(), text.end(), buffer.begin());
    return static_cast<std::uint32_t>(text.size() - 1);
  }

  std::optional<std::string> ToSystemCodePage(TextView text) const override {
    return FakeEncode(text);
  }
  Text FromSystemCodePage(std::string_view bytes) const override { return FakeDecode(bytes); }
  char16_t Separator() const override { return separator; }
  TextView LineBreak() const override { return line_break; }

  std::vector<Text> Subfolders(const Text& folder) override {
    if (fault) std::rethrow_exception(fault);
    const auto found = subfolders.find(folder);
    if (found == subfolders.end()) {
      throw PlatformError(ErrorKind::NotFound, folder, "no such folder");
    }
    return found->second;
  }
  std::vector<Drive> Drives() override {
    if (fault) std::rethrow_exception(fault);
    return drives;
  }
  Text CurrentFolder() override { return current_folder; }
  Text HomeFolder() override { return home_folder; }

  // A folder that can be read (it has subfolders), or a file of one.
  PathKind KindOfPath(const Text& path) override {
    if (subfolders.contains(path)) return PathKind::Folder;
    const std::size_t last = path.rfind(separator);
    if (last == Text::npos) return PathKind::Missing;
    const auto folder = folders.find(path.substr(0, last + 1));
    if (folder == folders.end()) return PathKind::Missing;
    const std::vector<Text>& names = folder->second.back();
    return std::ranges::find(names, path.substr(last + 1)) != names.end() ? PathKind::File
                                                                         : PathKind::Missing;
  }

  ShortNameOrigin ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                    TextView) override {
    const Text path = folder_path + Text(long_name);
    origin_requests.push_back(path);
    const auto found = origins.find(path);
    return found == origins.end() ? ShortNameOrigin::Disk : found->second;
  }

  // A-Z and the full-width Ａ-Ｚ.
  Text ToLowerCase(Text text) const override {
    for (char16_t& unit : text) {
      if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + 0x20);
      if (unit >= u'\uFF21' && unit <= u'\uFF3A') unit = static_cast<char16_t>(unit + 0x20);
    }
    return text;
  }

 private:
  // The end of the names ends the enumeration, as it does on the systems.
  Text NextName() {
    if (position_ >= current_.size()) {
      enumerating = false;
      return {};
    }
    return current_[position_++];
  }

  template <typename Char>
  void CheckSpaces(std::span<Char> buffer) {
    if (buffer.size() != kShortPathBufferSize ||
        !std::all_of(buffer.begin(), buffer.end(), [](Char c) { return c == Char{' '}; })) {
      buffers_were_spaces = false;
    }
  }

  std::vector<Text> current_;
  std::size_t position_ = 0;
};

}  // namespace tarnwick::testing
