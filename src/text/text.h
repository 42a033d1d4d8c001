// Text as the program holds it: 16-bit Unicode (UTF-16), compared and indexed
// by code unit, and the characters that its code units stand for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

using Text = std::u16string;
using TextView = std::u16string_view;

constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// One character of a text, and how many code units it takes there.
struct CodePoint {
  char32_t value;
  std::size_t units;
};

// The character that starts at `position` of `text`: a surrogate pair
// stands for one character above U+FFFF; a lone surrogate stands for itself.
constexpr CodePoint CodePointAt(TextView text, std::size_t position) {
  const char32_t unit = text[position];
  if (unit >= 0xD800 && unit <= 0xDBFF && position + 1 < text.size()) {
    const char32_t next = text[position + 1];
    if (next >= 0xDC00 && next <= 0xDFFF) {
      return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2};
    }
  }
  return {unit, 1};
}

}  // namespace tarnwick
