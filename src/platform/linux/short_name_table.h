// The short names of one folder's entries, found by name. Every name and
// short name sits in one buffer, found through an open-addressing index of
// 32-bit slots: a folder of a hundred thousand files costs little more than
// its names' bytes, where a hash map of strings cost over a hundred bytes an
// entry, and the table is kept between refreshes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::on_linux {

class ShortNameTable {
 public:
  // Room for `entries` entries of `bytes` bytes of names and short names.
  void Reserve(std::size_t entries, std::size_t bytes);

  // Gives `name` the short name `short_name`, in place of any it had. Throws
  // std::length_error for a name longer than a file name can be.
  void Set(std::string_view name, std::string_view short_name);

  std::optional<std::string_view> Find(std::string_view name) const;

  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::uint32_t start;  // of the name in text_; the short name follows it
    std::uint16_t name_size;
    std::uint16_t short_size;
  };

  std::string_view NameOf(const Entry& entry) const;
  // The slot that holds `name`, or the empty one where it would go.
  std::size_t SlotFor(std::string_view name) const;
  void Rehash(std::size_t slot_count);

  std::string text_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // 0 for none, else an index of entries_ + 1
};

}  // namespace tarnwick::on_linux
