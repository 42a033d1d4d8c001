// What a short name that the program takes from a disk must be, judged apart
// from the program's own rules: no separator, not "." or ".." alone, no
// control character, and at most 8 + 3 bytes in code page 932. And what it
// must never refuse: a plain upper-case ASCII 8.3 name.
#pragma once

#include <iconv.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace fuzz {

inline bool IsControlOrSeparator(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == 0x7F || byte == '/' || byte == '\\') return true;
    // U+0080 to U+009F in UTF-8.
    if (byte == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9F) {
      return true;
    }
  }
  return false;
}

// `name` (UTF-8) in code page 932, or nothing where it does not convert.
inline bool ToCp932(std::string_view name, std::string& bytes) {
  const iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  bytes.assign(name.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(name.data());
  std::size_t in_left = name.size();
  char* out = bytes.data();
  std::size_t out_left = bytes.size();
  const bool done = iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  bytes.resize(bytes.size() - out_left);
  return done && in_left == 0;
}

inline bool MayBeKeptShortName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || IsControlOrSeparator(name)) return false;
  std::string bytes;
  if (!ToCp932(name, bytes)) return false;
  // No second byte of a double-byte character is a period (0x2E).
  const std::size_t period = bytes.find('.');
  if (period == std::string::npos) return bytes.size() <= 8;
  const std::size_t extension = bytes.size() - period - 1;
  return period >= 1 && period <= 8 && extension >= 1 && extension <= 3 &&
         bytes.find('.', period + 1) == std::string::npos;
}

inline bool IsPlainShortName(std::string_view name) {
  const auto plain = [](std::string_view part, std::size_t most) {
    return !part.empty() && part.size() <= most &&
           std::all_of(part.begin(), part.end(), [](char c) {
             return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '~';
           });
  };
  const std::size_t period = name.find('.');
  if (period == std::string_view::npos) return plain(name, 8);
  return plain(name.substr(0, period), 8) && plain(name.substr(period + 1), 3);
}

}  // namespace fuzz
