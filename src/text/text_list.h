// A list of texts kept one after another in one buffer, with where each
// ends: for many short texts, such as a folder's names, it costs their code
// units and four bytes a text, where a vector of strings costs some fifty
// bytes a text more.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <vector>

#include "text/text.h"

namespace tarnwick {

class TextList {
 public:
  TextList() = default;
  explicit TextList(std::span<const Text> texts) {
    std::size_t units = 0;
    for (const Text& text : texts) units += text.size();
    Reserve(texts.size(), units);
    for (const Text& text : texts) Append(text);
  }

  void Reserve(std::size_t count, std::size_t units) {
    ends_.reserve(count);
    units_.reserve(units);
  }

  // Throws std::length_error past 2^32 code units in all.
  void Append(TextView text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - units_.size()) {
      throw std::length_error("the texts are too long to hold in one list");
    }
    units_.append(text);
    ends_.push_back(static_cast<std::uint32_t>(units_.size()));
  }

  // Lets go of every text and the room they took.
  void Clear() { *this = TextList(); }

  // Lets go of room reserved and not used.
  void ShrinkToFit() {
    units_.shrink_to_fit();
    ends_.shrink_to_fit();
  }

  // The code units of all the texts.
  std::size_t units() const { return units_.size(); }

  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }

  TextView operator[](std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1];
    return TextView(units_).substr(start, ends_[i] - start);
  }

  // Bounds-checked.
  TextView at(std::size_t i) const {
    if (i >= ends_.size()) throw std::out_of_range("no text at that place of the list");
    return (*this)[i];
  }

 private:
  Text units_;
  std::vector<std::uint32_t> ends_;
};

}  // namespace tarnwick
