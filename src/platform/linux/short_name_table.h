// The short names of one folder's entries, found by name. The names sit in
// one buffer and the short names in another, found through an
// open-addressing index of 32-bit slots, at most three quarters full: a folder of a hundred
// thousand files costs little more than its names' bytes, where a hash map of strings cost over a
// hundred bytes an entry. A table can take over the buffer its names were read into, so that they
// are not copied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::on_linux {

class ShortNameTable {
 public:
  ShortNameTable() = default;

  // A table whose names are in `names`, which it keeps as they are: SetOwn
  // gives each its short name. Room for `entries` entries and `short_bytes`
  // bytes of short names.
  ShortNameTable(std::string names, std::size_t entries, std::size_t short_bytes);

  // Room for `entries` entries of `name_bytes` bytes of names and
  // `short_bytes` bytes of short names.
  void Reserve(std::size_t entries, std::size_t name_bytes, std::size_t short_bytes);

  // Gives `name` the short name `short_name`, in place of any it had. Throws
  // std::length_error for a name longer than a file name can be.
  void Set(std::string_view name, std::string_view short_name);

  // The same for the name at [`start`, `start` + `size`) of the names the
  // table was made with.
  void SetOwn(std::size_t start, std::size_t size, std::string_view short_name);

  // Lets go of room reserved and not used, where it is much.
  void ShrinkToFit();

  std::optional<std::string_view> Find(std::string_view name) const;

  std::size_t size() const { return entries_.size(); }

  // The names the table was made with, and those Set added after them.
  std::string_view names() const { return names_; }

 private:
  struct Entry {
    std::uint32_t name_start;   // in names_
    std::uint32_t short_start;  // in short_names_
    std::uint16_t name_size;
    std::uint16_t short_size;
  };

  std::string_view NameOf(const Entry& entry) const;
  // The slot that holds `name`, or the empty one where it would go.
  std::size_t SlotFor(std::string_view name) const;
  void Rehash(std::size_t slot_count);
  void Add(std::size_t name_start, std::size_t name_size, std::string_view short_name);

  std::string names_;
  std::string short_names_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // 0 for none, else an index of entries_ + 1
};

}  // namespace tarnwick::on_linux
