#include "platform/linux/short_name_table.h"

#include <bit>
#include <functional>
#include <limits>
#include <stdexcept>

namespace tarnwick::on_linux {

void ShortNameTable::Reserve(std::size_t entries, std::size_t bytes) {
  text_.reserve(bytes);
  entries_.reserve(entries);
  if (entries * 2 > slots_.size()) Rehash(std::bit_ceil(entries * 2));
}

void ShortNameTable::Set(std::string_view name, std::string_view short_name) {
  constexpr std::size_t kLongest = std::numeric_limits<std::uint16_t>::max();
  if (name.size() > kLongest || short_name.size() > kLongest ||
      text_.size() + name.size() + short_name.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("a name is too long for the folder's table of short names");
  }
  // At most half full, so that every search ends soon at an empty slot.
  if ((entries_.size() + 1) * 2 > slots_.size())
    Rehash(std::max<std::size_t>(16, slots_.size() * 2));
  const Entry entry{static_cast<std::uint32_t>(text_.size()),
                    static_cast<std::uint16_t>(name.size()),
                    static_cast<std::uint16_t>(short_name.size())};
  text_.append(name).append(short_name);
  std::uint32_t& slot = slots_[SlotFor(name)];
  if (slot != 0) {
    entries_[slot - 1] = entry;  // the old text stays behind, unused
  } else {
    entries_.push_back(entry);
    slot = static_cast<std::uint32_t>(entries_.size());
  }
}

std::optional<std::string_view> ShortNameTable::Find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t slot = slots_[SlotFor(name)];
  if (slot == 0) return std::nullopt;
  const Entry& entry = entries_[slot - 1];
  return std::string_view(text_).substr(entry.start + entry.name_size, entry.short_size);
}

std::string_view ShortNameTable::NameOf(const Entry& entry) const {
  return std::string_view(text_).substr(entry.start, entry.name_size);
}

std::size_t ShortNameTable::SlotFor(std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = std::hash<std::string_view>{}(name)&mask;; slot = (slot + 1) & mask) {
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
