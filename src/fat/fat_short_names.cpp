#include "fat/fat_short_names.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "base/scoped_handle.h"
#include "text/lossless_utf8.h"
#include "text/unicode_case.h"

namespace tarnwick::fat {
namespace {

constexpr std::size_t kMainBytes = 8;
constexpr std::size_t kExtensionBytes = 3;
constexpr int kMaxTailDigits = 6;  // "~999999" leaves one byte of main part
// A valid 8.3 name has at most 12 characters, each of them one that code
// page 932 holds, so at most three bytes of UTF-8: a longer name need not be
// looked at to know that it is none.
constexpr std::size_t kMostValidNameBytes = 3 * (kMainBytes + 1 + kExtensionBytes);

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
// folder, and only when a character beyond ASCII first needs them: a name
// checked alone (a short name a disk gives) is most often all ASCII.
class Cp932 {
 public:
  // Decodes and upper-cases `name` and finds each character's 932 form; the
  // characters hold until the next call. A folder's names share most of
  // their characters: each character beyond ASCII is looked at once, and
  // ASCII needs no look.
  std::span<const Char> Analyze(std::string_view name) {
    // A character takes at least a byte.
    if (chars_.size() < name.size()) chars_.resize(name.size());
    std::size_t count = 0;
    wide_.clear();
    units_.clear();
    for (std::size_t at = 0; at < name.size();) {
      const auto byte = static_cast<unsigned char>(name[at]);
      if (byte < 0x80) {
        // Upper-casing changes only a to z in ASCII.
        const auto upper = static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte);
        chars_[count++] = Char{
            static_cast<char32_t>(upper), upper != static_cast<char>(byte), true, 1, {upper, 0}};
        ++at;
        continue;
      }
      const char32_t c = DecodeCharacterAt(name, at);
      if (const auto known = forms_.find(c); known != forms_.end()) {
        chars_[count++] = known->second;
        continue;
      }
      Char ch;
      // The long s and the dotless i upper-case to "S" and "I", but are no
      // ASCII letters: taken for them, they would keep a name code page 932
      // cannot hold.
      const char32_t upper = UnicodeUpperCase(c);
      ch.code_point = upper < 0x80 ? c : upper;
      ch.case_changed = ch.code_point != c;
      if (!IsSurrogate(ch.code_point)) {
        wide_.push_back({count, c});
        units_.emplace_back();
        AppendUtf32Le(units_.back(), ch.code_point);
      }
      chars_[count++] = ch;
    }
    const std::span<Char> chars(chars_.data(), count);
    if (wide_.empty()) return chars;

    if (!to_) to_.emplace("CP932", "UTF-32LE");
    if (!from_) from_.emplace("UTF-32LE", "CP932");
    std::vector<std::string> forward = ConvertEach(
        *to_, units_, [](unsigned char lead) -> std::size_t { return IsLeadByte(lead) ? 2 : 1; });
    // glibc maps a few characters one way only (U+00A5 to 0x5C, U+2014 to
    // 0x815C, ...); those are not held, or a short name would not read back
    // as what it was made from.
    std::vector<std::size_t> converted;
    std::vector<std::string> back_units;
    for (std::size_t k = 0; k < wide_.size(); ++k) {
      if (forward[k].empty()) continue;
      converted.push_back(k);
      back_units.push_back(forward[k]);
    }
    const std::vector<std::string> back =
        ConvertEach(*from_, back_units, [](unsigned char) -> std::size_t { return 4; });
    for (std::size_t j = 0; j < converted.size(); ++j) {
      const std::size_t k = converted[j];
      if (back[j] == units_[k]) {
        Char& ch = chars[wide_[k].at];
        ch.held = true;
        ch.size = static_cast<std::uint8_t>(forward[k].size());
        std::copy(forward[k].begin(), forward[k].end(), ch.bytes);
      }
    }
    for (const Wide& wide : wide_) forms_.emplace(wide.original, chars[wide.at]);
    return chars;
  }

 private:
  // A character of the name being analysed that is not known yet: where it
  // is, and what it was before upper-casing.
  struct Wide {
    std::size_t at;
    char32_t original;
  };

  std::unordered_map<char32_t, Char> forms_;  // by the character before upper-casing
  std::vector<Char> chars_;
  std::vector<Wide> wide_;
  std::vector<std::string> units_;
  std::optional<Iconv> to_;
  std::optional<Iconv> from_;
};

// The ASCII characters a short name may hold, one bit each.
constexpr std::array<std::uint64_t, 2> kShortNameAscii = [] {
  std::array<std::uint64_t, 2> bits{};
  const auto add = [&bits](char32_t c) { bits[c / 64] |= std::uint64_t{1} << (c % 64); };
  for (char32_t c = U'A'; c <= U'Z'; ++c) add(c);
  for (char32_t c = U'0'; c <= U'9'; ++c) add(c);
  for (const char32_t c : std::u32string_view(U"!#$%&'()-@^_`{}~")) add(c);
  return bits;
}();

// Whether a short name may hold `ch`, judged on its upper-cased form.
bool IsShortNameChar(const Char& ch) {
  const char32_t c = ch.code_point;
  if (c >= 0x80) return ch.held;
  return (kShortNameAscii[c / 64] >> (c % 64)) & 1;
}

bool IsValid(std::span<const Char> chars) {
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

// A short name's code page 932 bytes, at most 12 (eight, a period and
// three), packed in three words and padded with zero bytes, so that the
// names taken are found without an allocation a name. No byte of a short
// name is 0, so the padding tells where it ends.
struct PackedName {
  std::uint32_t words[3] = {};
  bool operator==(const PackedName&) const = default;
  bool empty() const { return words[0] == 0 && words[1] == 0 && words[2] == 0; }
};

class PackedNameBuilder {
 public:
  PackedNameBuilder& Append(std::string_view bytes) {
    if (bytes.size() > sizeof bytes_ - size_) {
      throw std::logic_error("short names: a short name came out longer than one can be");
    }
    std::copy(bytes.begin(), bytes.end(), bytes_ + size_);
    size_ += bytes.size();
    return *this;
  }
  PackedNameBuilder& Append(std::span<const Char> chars) {
    for (const Char& ch : chars) Append(ch.Bytes());
    return *this;
  }
  PackedNameBuilder& Append(char byte) { return Append(std::string_view(&byte, 1)); }

  PackedName Packed() const {
    PackedName packed;
    std::memcpy(packed.words, bytes_, sizeof bytes_);
    return packed;
  }

 private:
  char bytes_[12] = {};
  std::size_t size_ = 0;
};

// Packed names, by open addressing, at most three quarters full: a folder's
// names taken cost 12 bytes a slot. A name of no bytes never goes in: it
// marks an empty slot. With a number beside each name (`Value`), a map.
template <typename Value>
class PackedNameTable {
 public:
  explicit PackedNameTable(std::size_t expected) : slots_(expected * 4 / 3 + 16) {}

  // The slot of `name`, which is added where it is not there yet (with its
  // value 0); `added` tells whether it was.
  Value& At(const PackedName& name, bool& added) {
    if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
    Slot& slot = SlotFor(name);
    added = slot.name.empty();
    if (added) {
      slot.name = name;
      ++count_;
    }
    return slot.value;
  }

  // Adds `name`; false when it was there already.
  bool Insert(const PackedName& name) {
    bool added = false;
    At(name, added);
    return added;
  }

 private:
  struct Slot {
    PackedName name;
    [[no_unique_address]] Value value{};
  };

  Slot& SlotFor(const PackedName& name) {
    std::uint64_t hash = (std::uint64_t{name.words[0]} | std::uint64_t{name.words[1]} << 32) ^
                         (name.words[2] * 0x9E3779B97F4A7C15u);
    hash ^= hash >> 32;
    hash *= 0xD6E8FEB86659FD93u;
    hash ^= hash >> 32;
    // The top bits of the hash scaled to the table, which need not be a
    // power of two.
    std::size_t slot = static_cast<std::size_t>(((hash >> 32) * slots_.size()) >> 32);
    for (;; slot = slot + 1 == slots_.size() ? 0 : slot + 1) {
      if (slots_[slot].name.empty() || slots_[slot].name == name) return slots_[slot];
    }
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    std::swap(old, slots_);
    for (const Slot& slot : old) {
      if (!slot.name.empty()) SlotFor(slot.name) = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

// A value that takes no room, for a table that is a set.
struct Nothing {};
using PackedNameSet = PackedNameTable<Nothing>;

// Up to `Capacity` characters of a basis, of `Capacity` bytes at most,
// kept in place.
template <std::size_t Capacity>
struct CharRun {
  std::array<Char, Capacity> chars;
  std::size_t size = 0;

  std::span<const Char> View() const { return {chars.data(), size}; }

  // Takes what a basis keeps of `from`: spaces and periods go, characters a
  // short name cannot hold become "_", and the rest are taken while they fit
  // whole. True when any of that lost something.
  bool TakeBasisOf(std::span<const Char> from) {
    bool lossy = false;
    std::size_t bytes = 0;
    for (const Char& ch : from) {
      if (ch.code_point == U' ' || ch.code_point == U'.') {
        lossy = true;
        continue;
      }
      const bool holds = IsShortNameChar(ch);
      const Char kept = holds ? ch : Underscore();
      bytes += kept.size;
      if (bytes > Capacity) return true;
      chars[size++] = kept;
      lossy = lossy || !holds;
    }
    return lossy;
  }
};

// The characters of `chars` that fit whole in `limit` bytes, from the start.
std::span<const Char> Fitting(std::span<const Char> chars, std::size_t limit) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    bytes += chars[i].size;
    if (bytes > limit) return chars.first(i);
  }
  return chars;
}

void AppendText(std::string& text, std::span<const Char> chars) {
  for (const Char& ch : chars) AppendUtf8(text, ch.code_point);
}

struct Basis {
  CharRun<kMainBytes> main;
  CharRun<kExtensionBytes> extension;
  bool has_extension = false;
  bool lossy = false;
};

// A name's bytes before and after the period that starts its extension: its
// last period, unless only spaces and periods come before it (leading
// periods go, and separate nothing). A period is never part of a multi-byte
// character, so each part decodes as it does within the name.
struct NameParts {
  std::string_view main;
  std::string_view extension;
  bool has_period = false;  // whether a period separates them
};

NameParts SplitAtExtension(std::string_view name) {
  const std::size_t period = name.rfind('.');
  if (period == std::string_view::npos || name.find_first_not_of(" .") >= period) {
    return {name, {}, false};
  }
  return {name.substr(0, period), name.substr(period + 1), true};
}

// The start of `part` that holds its first `count` characters other than
// spaces and periods, or all of it. Each of them takes at least a byte of
// the basis, so the first N + 1 of them tell whether a part of N bytes
// overflows. Every byte that is no UTF-8 continuation byte starts a
// character (a lone continuation byte is one too, which only makes the start
// longer than it need be), so the start never cuts one.
std::string_view StartWithCharacters(std::string_view part, std::size_t count) {
  for (std::size_t at = 0; at < part.size(); ++at) {
    const auto byte = static_cast<unsigned char>(part[at]);
    if (byte != ' ' && byte != '.' && (byte & 0xC0) != 0x80 && count-- == 0) {
      return part.substr(0, at);
    }
  }
  return part;
}

// The basis of `name`, from as many of its characters as decide it: a long
// name's characters past the first few of each part would be cut off, and
// make the basis lossy anyway.
Basis MakeBasis(Cp932& cp932, std::string_view name) {
  Basis basis;
  const NameParts parts = SplitAtExtension(name);
  basis.lossy =
      basis.main.TakeBasisOf(cp932.Analyze(StartWithCharacters(parts.main, kMainBytes + 1)));
  if (parts.has_period) {
    if (basis.extension.TakeBasisOf(
            cp932.Analyze(StartWithCharacters(parts.extension, kExtensionBytes + 1)))) {
      basis.lossy = true;
    }
    basis.has_extension = basis.extension.size != 0;
    // A final period separates nothing.
    if (!basis.has_extension) basis.lossy = true;
  }
  if (basis.main.size == 0) {
    basis.main.chars[0] = Underscore();
    basis.main.size = 1;
    basis.lossy = true;
  }
  return basis;
}

// Hands out names made by the FAT rules, each taken at once.
class TailAllocator {
 public:
  // The tails' table starts small: the names of a folder share few bases.
  explicit TailAllocator(PackedNameSet& taken) : taken_(taken), next_tail_(256) {}

  // The name for `basis`, held until the next call; empty when no name is
  // left for it.
  std::string_view Allocate(const Basis& basis) {
    const std::span<const Char> extension = basis.extension.View();
    const PackedName basis_bytes = PackedNameBuilder()
                                       .Append(basis.main.View())
                                       .Append(basis.has_extension ? "." : "")
                                       .Append(extension)
                                       .Packed();
    if (!basis.lossy && taken_.Insert(basis_bytes)) return Write(basis.main.View(), "", basis);
    // Names of one basis mostly come one after another, in binary order:
    // every tail below the one the last of them took is taken, and the
    // search starts past it.
    if (basis_bytes != last_basis_) {
      last_basis_ = basis_bytes;
      last_basis_next_ = 1;
    }
    std::uint32_t lowest = 1;
    for (int digits = 1; digits <= kMaxTailDigits; ++digits, lowest *= 10) {
      const std::uint32_t end = lowest * 10;
      if (last_basis_next_ >= end) continue;
      const std::span<const Char> main =
          Fitting(basis.main.View(), kMainBytes - 1 - static_cast<std::size_t>(digits));
      PackedNameBuilder main_bytes;
      main_bytes.Append(main);
      // Every name MAIN~N.EXT with N of this many digits depends on just
      // these three, and a name once taken stays taken: a search can go on
      // where the last one with the same key stopped.
      PackedNameBuilder key;
      // The count of the main part's characters, plus one: no byte of the
      // key is 0.
      key.Append(static_cast<char>(digits)).Append(static_cast<char>(main.size() + 1)).Append(main);
      key.Append(basis.has_extension ? "." : "").Append(extension);
      bool added = false;
      std::uint32_t& next = next_tail_.At(key.Packed(), added);
      for (next = std::max({next, lowest, last_basis_next_}); next < end; ++next) {
        char tail[16];
        const auto [tail_end, error] = std::to_chars(tail + 1, tail + sizeof tail, next);
        tail[0] = '~';
        const std::string_view tail_text(tail, static_cast<std::size_t>(tail_end - tail));
        PackedNameBuilder name = main_bytes;
        name.Append(tail_text).Append(basis.has_extension ? "." : "").Append(extension);
        if (taken_.Insert(name.Packed())) {
          last_basis_next_ = ++next;
          return Write(main, tail_text, basis);
        }
      }
    }
    last_basis_next_ = lowest;
    return {};
  }

 private:
  // MAIN, TAIL and the extension, if any, as the short name's text.
  std::string_view Write(std::span<const Char> main, std::string_view tail, const Basis& basis) {
    name_.clear();
    AppendText(name_, main);
    name_ += tail;
    if (basis.has_extension) {
      name_ += '.';
      AppendText(name_, basis.extension.View());
    }
    return name_;
  }

  PackedNameSet& taken_;
  PackedNameTable<std::uint32_t> next_tail_;
  PackedName last_basis_;
  std::uint32_t last_basis_next_ = 1;  // the lowest tail of it not known to be taken
  std::string name_;
};

// A name's place in the binary order, being found: eight of its bytes from
// some depth on, as a number that compares as they do.
struct OrderItem {
  std::uint64_t bytes;
  std::uint32_t index;
};

std::uint64_t EightBytesAt(std::string_view name, std::size_t depth) {
  std::uint64_t bytes = 0;
  for (std::size_t i = depth; i < depth + 8; ++i) {
    bytes = (bytes << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0);
  }
  return bytes;
}

// Sorts `items` by their eight bytes, keeping the order of those with equal
// bytes: a pass a byte, from the last, and no pass over a byte that every
// item has alike (a folder's names share long starts). `spare` is room for
// as many items.
void StableSortByBytes(std::span<OrderItem> items, std::span<OrderItem> spare) {
  std::span<OrderItem> from = items;
  std::span<OrderItem> to = spare.first(items.size());
  for (int shift = 0; shift < 64; shift += 8) {
    const auto byte_of = [shift](const OrderItem& item) {
      return static_cast<std::size_t>((item.bytes >> shift) & 0xFF);
    };
    std::array<std::size_t, 256> starts{};
    for (const OrderItem& item : from) ++starts[byte_of(item)];
    if (starts[byte_of(from[0])] == from.size()) continue;
    std::size_t place = 0;
    for (std::size_t& start : starts) place += std::exchange(start, place);
    for (const OrderItem& item : from) to[starts[byte_of(item)]++] = item;
    std::swap(from, to);
  }
  if (from.data() != items.data()) std::copy(from.begin(), from.end(), items.begin());
}

// Below this many items, sorting by comparison is the quicker.
constexpr std::size_t kFewestItemsByBytes = 256;

// Sorts `items` in binary order of their names, which agree on their first
// `depth` bytes; equal names in the order of their indexes, which is the
// order the items come in. Eight bytes are compared at a time as one number,
// and only names that agree on them are looked at further: a folder's names
// share long starts.
void SortFrom(std::span<OrderItem> items, const PackedNames& names, std::size_t depth,
              std::span<OrderItem> spare) {
  bool any_goes_on = false;
  for (OrderItem& item : items) {
    item.bytes = EightBytesAt(names[item.index], depth);
    any_goes_on = any_goes_on || names[item.index].size() > depth + 8;
  }
  if (!any_goes_on) {
    // Every name ends within these bytes: a shorter one of equal bytes is
    // the start of the longer (a name of a NUL byte or two, in a test).
    std::sort(items.begin(), items.end(), [&](const OrderItem& a, const OrderItem& b) {
      return std::tuple(a.bytes, names[a.index].size(), a.index) <
             std::tuple(b.bytes, names[b.index].size(), b.index);
    });
    return;
  }
  if (items.size() >= kFewestItemsByBytes) {
    StableSortByBytes(items, spare);
  } else {
    std::sort(items.begin(), items.end(), [](const OrderItem& a, const OrderItem& b) {
      return std::tie(a.bytes, a.index) < std::tie(b.bytes, b.index);
    });
  }
  for (std::size_t start = 0; start < items.size();) {
    std::size_t end = start + 1;
    while (end < items.size() && items[end].bytes == items[start].bytes) ++end;
    if (end - start > 1) SortFrom(items.subspan(start, end - start), names, depth + 8, spare);
    start = end;
  }
}

// The indexes of `names` in binary order of the names.
std::vector<std::uint32_t> BinaryOrder(const PackedNames& names) {
  if (names.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("short names: too many names in one folder");
  }
  std::vector<OrderItem> items(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) items[i].index = static_cast<std::uint32_t>(i);
  std::vector<OrderItem> spare(names.size());
  SortFrom(items, names, 0, spare);
  std::vector<std::uint32_t> order(names.size());
  for (std::size_t i = 0; i < items.size(); ++i) order[i] = items[i].index;
  return order;
}

}  // namespace

void MakeShortNames(const PackedNames& names,
                    const std::function<void(std::size_t, std::string_view)>& take) {
  Cp932 cp932;
  const std::vector<std::uint32_t> order = BinaryOrder(names);
  std::vector<bool> keeps(names.size(), false);
  PackedNameSet taken(names.size());

  // Names that already are 8.3 names are kept and reserved before any name
  // is made, so that no made name takes one of theirs.
  for (const std::uint32_t i : order) {
    if (names[i].size() > kMostValidNameBytes) continue;
    const std::span<const Char> chars = cp932.Analyze(names[i]);
    if (IsValid(chars) && taken.Insert(PackedNameBuilder().Append(chars).Packed())) {
      take(i, names[i]);
      keeps[i] = true;
    }
  }
  // The others are analysed again rather than kept from the first round:
  // their characters take several times the names' own size, and a basis
  // needs only a few of them.
  TailAllocator allocator(taken);
  for (const std::uint32_t i : order) {
    if (keeps[i]) continue;
    take(i, allocator.Allocate(MakeBasis(cp932, names[i])));
  }
}

std::vector<std::string> MakeShortNames(const std::vector<std::string>& names) {
  std::string bytes;
  std::vector<std::uint32_t> ends;
  for (const std::string& name : names) {
    bytes += name;
    ends.push_back(static_cast<std::uint32_t>(bytes.size()));
  }
  std::vector<std::string> result(names.size());
  MakeShortNames(PackedNames{bytes, ends},
                 [&result](std::size_t i, std::string_view short_name) { result[i] = short_name; });
  return result;
}

bool IsValidShortName(std::string_view name) {
  Cp932 cp932;
  return IsValid(cp932.Analyze(name));
}

}  // namespace tarnwick::fat
