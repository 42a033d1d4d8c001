#include "platform/linux/short_name_table.h"

#include <functional>
#include <limits>
#include <stdexcept>

namespace tarnwick::on_linux {

ShortNameTable::ShortNameTable(std::string names, std::size_t entries, std::size_t short_bytes)
    : names_(std::move(names)) {
  Reserve(entries, 0, short_bytes);
}

void ShortNameTable::Reserve(std::size_t entries, std::size_t name_bytes, std::size_t short_bytes) {
  names_.reserve(names_.size() + name_bytes);
  short_names_.reserve(short_names_.size() + short_bytes);
  entries_.reserve(entries);
  if (entries * 4 > slots_.size() * 3) Rehash(entries * 4 / 3 + 16);
}

void ShortNameTable::Set(std::string_view name, std::string_view short_name) {
  const std::size_t start = names_.size();
  if (name.size() > std::numeric_limits<std::uint32_t>::max() - start) {
    throw std::length_error("a name is too long for the folder's table of short names");
  }
  names_.append(name);
  try {
    Add(start, name.size(), short_name);
  } catch (...) {
    names_.resize(start);
    throw;
  }
}

void ShortNameTable::SetOwn(std::size_t start, std::size_t size, std::string_view short_name) {
  if (start > names_.size() || size > names_.size() - start) {
    throw std::out_of_range("no such name in the folder's table of short names");
  }
  Add(start, size, short_name);
}

void ShortNameTable::Add(std::size_t name_start, std::size_t name_size,
                         std::string_view short_name) {
  constexpr std::size_t kLongest = std::numeric_limits<std::uint16_t>::max();
  constexpr std::size_t kMostBytes = std::numeric_limits<std::uint32_t>::max();
  if (name_size > kLongest || short_name.size() > kLongest || name_start > kMostBytes ||
      short_name.size() > kMostBytes - short_names_.size()) {
    throw std::length_error("a name is too long for the folder's table of short names");
  }
  // At most three quarters full, so that every search ends soon at an
  // empty slot.
  if ((entries_.size() + 1) * 4 > slots_.size() * 3)
    Rehash(std::max<std::size_t>(16, slots_.size() * 2));
  const Entry entry{
      static_cast<std::uint32_t>(name_start), static_cast<std::uint32_t>(short_names_.size()),
      static_cast<std::uint16_t>(name_size), static_cast<std::uint16_t>(short_name.size())};
  short_names_.append(short_name);
  std::uint32_t& slot = slots_[SlotFor(std::string_view(names_).substr(name_start, name_size))];
  if (slot != 0) {
    entries_[slot - 1] = entry;  // the old text stays behind, unused
  } else {
    entries_.push_back(entry);
    slot = static_cast<std::uint32_t>(entries_.size());
  }
}

// A copy costs as much memory for a moment as it saves: only where much
// room is left unused.
void ShortNameTable::ShrinkToFit() {
  const auto shrink = [](auto& buffer) {
    if (buffer.capacity() > buffer.size() + buffer.size() / 4) buffer.shrink_to_fit();
  };
  shrink(names_);
  shrink(short_names_);
  shrink(entries_);
}

std::optional<std::string_view> ShortNameTable::Find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t slot = slots_[SlotFor(name)];
  if (slot == 0) return std::nullopt;
  const Entry& entry = entries_[slot - 1];
  return std::string_view(short_names_).substr(entry.short_start, entry.short_size);
}

std::string_view ShortNameTable::NameOf(const Entry& entry) const {
  return std::string_view(names_).substr(entry.name_start, entry.name_size);
}

std::size_t ShortNameTable::SlotFor(std::string_view name) const {
  // The hash's top bits scaled to the table, which need not be a power of
  // two.
  const auto hash = static_cast<std::uint64_t>(std::hash<std::string_view>{}(name));
  std::size_t slot = static_cast<std::size_t>(((hash >> 32) * slots_.size()) >> 32);
  for (;; slot = slot + 1 == slots_.size() ? 0 : slot + 1) {
    if (slots_[slot] == 0 || NameOf(entries_[slots_[slot] - 1]) == name) return slot;
  }
}

void ShortNameTable::Rehash(std::size_t slot_count) {
  slots_.assign(slot_count, 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    slots_[SlotFor(NameOf(entries_[i]))] = static_cast<std::uint32_t>(i + 1);
  }
}

}  // namespace tarnwick::on_linux
