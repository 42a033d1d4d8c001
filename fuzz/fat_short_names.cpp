// The FAT short-name rules for one folder: every name gets a short name that
// is a valid 8.3 name (at most 8 + 3 bytes in code page 932, checked here
// through iconv, not through the code under test), no two are equal without
// regard to case, and a name that is already a valid 8.3 name of its own
// keeps it. The input is the folder: names separated by '/'.
#include "fat/fat_short_names.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"

namespace {

std::vector<std::string> FolderOf(std::string_view input) {
  std::set<std::string> unique;  // a folder holds each name once
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('/', start), input.size());
    std::string name(input.substr(start, end - start));
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    if (!name.empty() && name != "." && name != "..") unique.insert(std::move(name));
    start = end + 1;
  }
  return {unique.begin(), unique.end()};
}

// `bytes` through `convert`, whole; nullopt when it cannot be converted.
std::optional<std::string> Convert(iconv_t convert, std::string_view bytes) {
  FUZZ_CHECK(convert != reinterpret_cast<iconv_t>(-1));
  std::string in(bytes);
  std::string out(in.size() * 4 + 8, '\0');
  char* in_at = in.data();
  char* out_at = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  iconv(convert, nullptr, nullptr, nullptr, nullptr);
  if (iconv(convert, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(out_at - out.data()));
  return out;
}

// The code points of `bytes` as UTF-8, read by iconv; nullopt when they are
// not UTF-8.
std::optional<std::u32string> CodePoints(std::string_view bytes) {
  static const iconv_t from_utf8 = iconv_open("UTF-32LE", "UTF-8");
  const std::optional<std::string> utf32 = Convert(from_utf8, bytes);
  if (!utf32) return std::nullopt;
  std::u32string points(utf32->size() / 4, U'\0');
  std::memcpy(points.data(), utf32->data(), points.size() * 4);
  return points;
}

// One character in code page 932; it must be there and read back as itself.
std::string ToCp932(char32_t c) {
  static const iconv_t to = iconv_open("CP932", "UTF-32LE");
  static const iconv_t from = iconv_open("UTF-32LE", "CP932");
  const char in[4] = {static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                      static_cast<char>(c >> 24)};
  const std::optional<std::string> bytes = Convert(to, std::string_view(in, 4));
  FUZZ_CHECK(bytes.has_value());
  FUZZ_CHECK(Convert(from, *bytes) == std::string(in, 4));
  return *bytes;
}

bool MayHoldAscii(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::u32string_view(U"!#$%&'()-@^_`{}~").find(c) != std::u32string_view::npos;
}

void CheckValid83(std::string_view short_name) {
  std::size_t main_bytes = 0;
  std::size_t extension_bytes = 0;
  int dots = 0;
  const std::optional<std::u32string> points = CodePoints(short_name);
  FUZZ_CHECK(points.has_value());  // short names are UTF-8, with no escaped bytes
  for (const char32_t c : *points) {
    if (c == U'.') {
      ++dots;
      continue;
    }
    if (c < 0x80) FUZZ_CHECK(MayHoldAscii(c));
    (dots == 0 ? main_bytes : extension_bytes) += c < 0x80 ? 1 : ToCp932(c).size();
  }
  FUZZ_CHECK(dots <= 1);
  FUZZ_CHECK(main_bytes >= 1 && main_bytes <= 8);
  FUZZ_CHECK(extension_bytes <= 3);
  FUZZ_CHECK(dots == 0 || extension_bytes >= 1);
}

// Upper case, for names compared without regard to case; a name that is no
// UTF-8 stands as its bytes, marked so that it equals no UTF-8 name.
std::u32string Folded(std::string_view name) {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  std::u32string folded;
  if (const std::optional<std::u32string> points = CodePoints(name)) {
    for (const char32_t c : *points) folded.push_back(static_cast<char32_t>(towupper_l(c, locale)));
  } else {
    for (const char byte : name) folded.push_back(0x80000000u | static_cast<unsigned char>(byte));
  }
  return folded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> names =
      FolderOf(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> short_names = tarnwick::fat::MakeShortNames(names);
  FUZZ_CHECK(short_names.size() == names.size());

  std::set<std::u32string> taken;
  for (const std::string& short_name : short_names) {
    FUZZ_CHECK(!short_name.empty());  // far fewer names than tails here
    CheckValid83(short_name);
    FUZZ_CHECK(tarnwick::fat::IsValidShortName(short_name));
    FUZZ_CHECK(taken.insert(Folded(short_name)).second);
  }

  // A valid 8.3 name that no other name equals without regard to case is its
  // own short name.
  std::multiset<std::u32string> folded_names;
  for (const std::string& name : names) folded_names.insert(Folded(name));
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (tarnwick::fat::IsValidShortName(names[i]) && folded_names.count(Folded(names[i])) == 1) {
      FUZZ_CHECK(short_names[i] == names[i]);
    }
  }
  return 0;
}
