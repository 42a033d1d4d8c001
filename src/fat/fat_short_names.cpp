#include "fat/fat_short_names.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/scoped_handle.h"
#include "text/lossless_utf8.h"
#include "text/unicode_case.h"

namespace tarnwick::fat {
namespace {

constexpr std::size_t kMainBytes = 8;
constexpr std::size_t kExtensionBytes = 3;
constexpr int kMaxTailDigits = 6;  // "~999999" leaves one byte of main part

// Lead bytes of the double-byte characters of code page 932.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void AppendUtf32Le(std::string& out, char32_t c) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((c >> shift) & 0xFF));
}

struct ConverterTraits {
  using Handle = iconv_t;
  static Handle None() { return reinterpret_cast<iconv_t>(-1); }
  static void Free(Handle converter) { iconv_close(converter); }
};

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (!cd_) {
      throw std::runtime_error(std::string("short names: iconv cannot convert from ") + from +
                               " to " + to);
    }
  }

  // Converts as much of `in` as it can. Gives 0 or the errno at which it
  // stopped (EILSEQ, EINVAL), the output, and how many bytes it consumed.
  int Convert(std::string_view in, std::string& out, std::size_t& consumed) {
    iconv(cd_.get(), nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    std::size_t produced = 0;
    out.assign(in.size() * 4 + 16, '\0');
    int error = 0;
    for (;;) {
      char* out_ptr = out.data() + produced;
      std::size_t out_left = out.size() - produced;
      const std::size_t done = iconv(cd_.get(), &in_ptr, &in_left, &out_ptr, &out_left);
      produced = static_cast<std::size_t>(out_ptr - out.data());
      if (done != static_cast<std::size_t>(-1)) break;
      if (errno != E2BIG) {
        error = errno;
        break;
      }
      out.resize(out.size() * 2);
    }
    out.resize(produced);
    consumed = in.size() - in_left;
    return error;
  }

 private:
  ScopedHandle<ConverterTraits> cd_;
};

// Splits converted output into one piece per character; false when it does
// not come to exactly `count` whole characters.
template <typename SizeOf>
bool SplitOutput(std::string_view out, std::size_t count, SizeOf size_of,
                 std::vector<std::string>& pieces) {
  std::vector<std::string> split;
  for (std::size_t at = 0; at < out.size();) {
    const std::size_t size = size_of(static_cast<unsigned char>(out[at]));
    if (at + size > out.size()) return false;
    split.emplace_back(out.substr(at, size));
    at += size;
  }
  if (split.size() != count) return false;
  for (auto& piece : split) pieces.push_back(std::move(piece));
  return true;
}

// Converts a string of characters, `units` holding each one's input bytes, in
// as few iconv calls as it can, and gives each character's output (empty for
// one that does not convert). A character iconv rejects is skipped and the
// rest converted on; where the output does not line up one to one with the
// input (glibc drops some characters without a word), each character of that
// stretch is converted by itself.
template <typename SizeOf>
std::vector<std::string> ConvertEach(Iconv& cd, const std::vector<std::string>& units,
                                     SizeOf size_of) {
  std::string input;
  std::vector<std::size_t> start;
  for (const auto& unit : units) {
    start.push_back(input.size());
    input += unit;
  }
  start.push_back(input.size());

  std::vector<std::string> result;
  std::string out;
  std::size_t consumed = 0;
  for (std::size_t next = 0; next < units.size();) {
    cd.Convert(std::string_view(input).substr(start[next]), out, consumed);
    std::size_t done = next;
    while (done < units.size() && start[done + 1] <= start[next] + consumed) ++done;
    if (!SplitOutput(out, done - next, size_of, result)) {
      for (std::size_t i = next; i < done; ++i) {
        const std::size_t before = result.size();
        if (cd.Convert(units[i], out, consumed) != 0 || !SplitOutput(out, 1, size_of, result)) {
          result.resize(before + 1);
        }
      }
    }
    next = done;
    // Whatever stopped the conversion short is the character at `next`.
    if (next < units.size()) {
      result.emplace_back();
      ++next;
    }
  }
  return result;
}

// One character of a name, upper-cased, with its code page 932 form.
struct Char {
  char32_t code_point = 0;    // upper-cased; a lone surrogate stays as it is
  bool case_changed = false;  // upper-casing changed it
  bool held = false;          // code page 932 holds it, and reads it back as itself
  std::uint8_t size = 0;      // its 932 bytes, when held
  char bytes[2] = {};

  std::string_view Bytes() const { return {bytes, size}; }
};

Char Underscore() { return Char{U'_', false, true, 1, {'_', 0}}; }

// Both directions between UTF-32 and code page 932, opened once for a whole
// folder.
class Cp932 {
 public:
  Cp932() : to_("CP932", "UTF-32LE"), from_("UTF-32LE", "CP932") {}

  // Decodes and upper-cases `name` and finds each character's 932 form.
  std::vector<Char> Analyze(std::string_view name) {
    const Text text = DecodeFileName(name);
    std::vector<Char> chars;
    chars.reserve(text.size());
    std::vector<std::size_t> wide;  // the non-ASCII characters that 932 might hold
    std::vector<std::string> units;
    for (std::size_t i = 0; i < text.size();) {
      const CodePoint character = CodePointAt(text, i);
      const char32_t c = character.value;
      i += character.units;
      Char ch;
      const char32_t upper = UnicodeUpperCase(c);
      // The long s and the dotless i upper-case to "S" and "I", but are no
      // ASCII letters: taken for them, they would keep a name code page 932
      // cannot hold.
      ch.code_point = c >= 0x80 && upper < 0x80 ? c : upper;
      ch.case_changed = ch.code_point != c;
      if (ch.code_point < 0x80) {
        ch.held = true;
        ch.size = 1;
        ch.bytes[0] = static_cast<char>(ch.code_point);
      } else if (const auto known = forms_.find(ch.code_point); known != forms_.end()) {
        ch.held = known->second.held;
        ch.size = known->second.size;
        std::copy(known->second.bytes, known->second.bytes + 2, ch.bytes);
      } else if (!IsSurrogate(ch.code_point)) {
        wide.push_back(chars.size());
        units.emplace_back();
        AppendUtf32Le(units.back(), ch.code_point);
      }
      chars.push_back(ch);
    }
    if (wide.empty()) return chars;

    std::vector<std::string> forward = ConvertEach(
        to_, units, [](unsigned char lead) -> std::size_t { return IsLeadByte(lead) ? 2 : 1; });
    // glibc maps a few characters one way only (U+00A5 to 0x5C, U+2014 to
    // 0x815C, ...); those are not held, or a short name would not read back
    // as what it was made from.
    std::vector<std::size_t> converted;
    std::vector<std::string> back_units;
    for (std::size_t k = 0; k < wide.size(); ++k) {
      if (forward[k].empty()) continue;
      converted.push_back(k);
      back_units.push_back(forward[k]);
    }
    const std::vector<std::string> back =
        ConvertEach(from_, back_units, [](unsigned char) -> std::size_t { return 4; });
    for (std::size_t j = 0; j < converted.size(); ++j) {
      const std::size_t k = converted[j];
      if (back[j] == units[k]) {
        Char& ch = chars[wide[k]];
        ch.held = true;
        ch.size = static_cast<std::uint8_t>(forward[k].size());
        std::copy(forward[k].begin(), forward[k].end(), ch.bytes);
      }
    }
    // The names of a folder share most of their characters: each is
    // converted once.
    for (const std::size_t at : wide) forms_.emplace(chars[at].code_point, chars[at]);
    return chars;
  }

 private:
  std::unordered_map<char32_t, Char> forms_;
  Iconv to_;
  Iconv from_;
};

// Whether a short name may hold `ch`, judged on its upper-cased form.
bool IsShortNameChar(const Char& ch) {
  const char32_t c = ch.code_point;
  if (c >= 0x80) return ch.held;
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::u32string_view(U"!#$%&'()-@^_`{}~").find(c) != std::u32string_view::npos;
}

bool IsValid(const std::vector<Char>& chars) {
  std::size_t main_bytes = 0;
  std::size_t extension_bytes = 0;
  bool in_extension = false;
  for (const Char& ch : chars) {
    if (ch.code_point == U'.') {
      if (in_extension) return false;
      in_extension = true;
      continue;
    }
    // Only ASCII letters may be in either case.
    if (!IsShortNameChar(ch) || (ch.code_point >= 0x80 && ch.case_changed)) return false;
    (in_extension ? extension_bytes : main_bytes) += ch.size;
  }
  return main_bytes >= 1 && main_bytes <= kMainBytes &&
         (!in_extension || (extension_bytes >= 1 && extension_bytes <= kExtensionBytes));
}

std::string Bytes(const std::vector<Char>& chars) {
  std::string bytes;
  for (const Char& ch : chars) bytes += ch.Bytes();
  return bytes;
}

std::string Utf8(const std::vector<Char>& chars) {
  std::string text;
  for (const Char& ch : chars) AppendUtf8(text, ch.code_point);
  return text;
}

// Keeps the characters that fit whole in `limit` bytes; true when any were cut.
bool Cut(std::vector<Char>& chars, std::size_t limit) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    bytes += chars[i].size;
    if (bytes > limit) {
      chars.resize(i);
      return true;
    }
  }
  return false;
}

struct Basis {
  std::vector<Char> main;
  std::vector<Char> extension;
  bool lossy = false;
};

Basis MakeBasis(const std::vector<Char>& chars) {
  Basis basis;
  std::vector<Char> kept;
  kept.reserve(chars.size());
  for (const Char& ch : chars) {
    if (ch.code_point == U' ' || (ch.code_point == U'.' && kept.empty())) {
      basis.lossy = true;
    } else if (ch.code_point == U'.' || IsShortNameChar(ch)) {
      kept.push_back(ch);
    } else {
      kept.push_back(Underscore());
      basis.lossy = true;
    }
  }
  const auto last_period = std::find_if(kept.rbegin(), kept.rend(),
                                        [](const Char& ch) { return ch.code_point == U'.'; });
  const auto main_end = last_period == kept.rend() ? kept.end() : std::prev(last_period.base());
  for (auto it = kept.begin(); it != main_end; ++it) {
    if (it->code_point == U'.') {
      basis.lossy = true;
    } else {
      basis.main.push_back(*it);
    }
  }
  if (main_end != kept.end()) {
    basis.extension.assign(std::next(main_end), kept.end());
    // A final period separates nothing.
    if (basis.extension.empty()) basis.lossy = true;
  }
  if (Cut(basis.main, kMainBytes)) basis.lossy = true;
  if (Cut(basis.extension, kExtensionBytes)) basis.lossy = true;
  if (basis.main.empty()) {
    basis.main.push_back(Underscore());
    basis.lossy = true;
  }
  return basis;
}

// Hands out names made by the FAT rules, each taken at once.
class TailAllocator {
 public:
  explicit TailAllocator(std::unordered_set<std::string>& taken) : taken_(taken) {}

  std::string Allocate(const Basis& basis) {
    // Appended rather than "." + text: GCC 12 sees a false overlap in that.
    std::string extension_bytes;
    std::string extension_text;
    if (!basis.extension.empty()) {
      extension_bytes.append(".").append(Bytes(basis.extension));
      extension_text.append(".").append(Utf8(basis.extension));
    }
    if (!basis.lossy && taken_.insert(Bytes(basis.main) + extension_bytes).second) {
      return Utf8(basis.main) + extension_text;
    }
    std::uint32_t lowest = 1;
    for (int digits = 1; digits <= kMaxTailDigits; ++digits) {
      const std::uint32_t end = lowest * 10;
      std::vector<Char> main = basis.main;
      Cut(main, kMainBytes - 1 - static_cast<std::size_t>(digits));
      const std::string main_bytes = Bytes(main);
      // Every name MAIN~N.EXT with N of this many digits depends on just
      // these three, and a name once taken stays taken: a search can go on
      // where the last one with the same key stopped.
      std::string key = std::to_string(digits) + ":" + std::to_string(main_bytes.size()) + ":" +
                        main_bytes + extension_bytes;
      std::uint32_t& next = next_tail_[std::move(key)];
      for (next = std::max(next, lowest); next < end; ++next) {
        const std::string tail = std::string("~").append(std::to_string(next));
        if (taken_.insert(main_bytes + tail + extension_bytes).second) {
          ++next;
          return Utf8(main) + tail + extension_text;
        }
      }
      lowest = end;
    }
    return {};
  }

 private:
  std::unordered_set<std::string>& taken_;
  std::unordered_map<std::string, std::uint32_t> next_tail_;
};

}  // namespace

std::vector<std::string> MakeShortNames(const std::vector<std::string>& names) {
  Cp932 cp932;
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::tie(names[a], a) < std::tie(names[b], b);
  });

  std::vector<std::string> result(names.size());
  std::vector<bool> keeps(names.size(), false);
  std::unordered_set<std::string> taken;
  taken.reserve(names.size());

  // Names that already are 8.3 names are kept and reserved before any name
  // is made, so that no made name takes one of theirs.
  for (const std::size_t i : order) {
    const std::vector<Char> chars = cp932.Analyze(names[i]);
    if (IsValid(chars) && taken.insert(Bytes(chars)).second) {
      result[i] = names[i];
      keeps[i] = true;
    }
  }
  // The others are analysed again rather than kept from the first round:
  // their characters take several times the names' own size, and each
  // character's code page form is known by now.
  TailAllocator allocator(taken);
  for (const std::size_t i : order) {
    if (!keeps[i]) result[i] = allocator.Allocate(MakeBasis(cp932.Analyze(names[i])));
  }
  return result;
}

bool IsValidShortName(std::string_view name) {
  Cp932 cp932;
  return IsValid(cp932.Analyze(name));
}

}  // namespace tarnwick::fat
