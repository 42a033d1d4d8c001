// The short form of a path, read from whatever the short-path service leaves
// in its buffer, and the last component of it. The service here writes the
// fuzzer's bytes: any length, any NULs, spaces and separators, and returns
// any value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "listing/path_names.h"
#include "support/fakes.h"

namespace {

class ArbitraryShortPaths final : public tarnwick::SystemServices {
 public:
  std::string written;  // what the service writes, as bytes
  std::uint32_t returned = 0;

  std::uint32_t GetShortPathNameA(const std::string&, std::span<char> buffer) override {
    CheckFreshBuffer(buffer);
    std::copy_n(written.begin(), std::min(written.size(), buffer.size()), buffer.begin());
    return returned;
  }
  std::uint32_t GetShortPathNameW(const tarnwick::Text&, std::span<char16_t> buffer) override {
    CheckFreshBuffer(buffer);
    const std::size_t units = std::min(written.size() / 2, buffer.size());
    std::memcpy(buffer.data(), written.data(), units * 2);
    return returned;
  }
  std::optional<std::string> ToSystemCodePage(tarnwick::TextView text) const override {
    return tarnwick::testing::FakeEncode(text);
  }
  tarnwick::Text FromSystemCodePage(std::string_view bytes) const override {
    return tarnwick::testing::FakeDecode(bytes);
  }

  tarnwick::Text FirstEntry(const tarnwick::Text&, std::int32_t) override { return {}; }
  tarnwick::Text NextEntry() override { return {}; }
  void EndEnumeration() noexcept override {}
  char16_t Separator() const override { return u'\\'; }
  tarnwick::TextView LineBreak() const override { return u"\r\n"; }
  tarnwick::Text ToLowerCase(tarnwick::Text text) const override { return text; }
  std::vector<tarnwick::Text> Subfolders(const tarnwick::Text&) override { return {}; }
  std::vector<tarnwick::Drive> Drives() override { return {}; }
  tarnwick::Text CurrentFolder() override { return u"C:\\"; }
  tarnwick::Text HomeFolder() override { return {}; }
  tarnwick::PathKind KindOfPath(const tarnwick::Text&) override {
    return tarnwick::PathKind::Missing;
  }
  tarnwick::ShortNameOrigin ShortNameOriginOf(const tarnwick::Text&, tarnwick::TextView,
                                              tarnwick::TextView) override {
    return tarnwick::ShortNameOrigin::None;
  }

 private:
  template <typename Char>
  static void CheckFreshBuffer(std::span<Char> buffer) {
    FUZZ_CHECK(buffer.size() == tarnwick::kShortPathBufferSize);
    FUZZ_CHECK(std::all_of(buffer.begin(), buffer.end(), [](Char c) { return c == Char{' '}; }));
  }
};

// What a reader of the buffer should take: the text from the first
// non-space up to the first NUL, or to the last non-space when there is no
// NUL.
tarnwick::Text Expected(const tarnwick::Text& buffer) {
  const std::size_t start = buffer.find_first_not_of(u' ');
  if (start == tarnwick::Text::npos) return {};
  const std::size_t nul = buffer.find(u'\0', start);
  if (nul != tarnwick::Text::npos) return buffer.substr(start, nul - start);
  return buffer.substr(start, buffer.find_last_not_of(u' ') + 1 - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  ArbitraryShortPaths system;
  const bool wide = (data[0] & 1) != 0;
  const char16_t separator = (data[0] & 2) != 0 ? u'/' : u'\\';
  std::memcpy(&system.returned, data + 1, 4);
  system.written.assign(reinterpret_cast<const char*>(data + 5), size - 5);

  // A path the fake code page holds goes to the narrow service; one with
  // "é" in it cannot, and goes to the wide one.
  const tarnwick::Text path = wide ? u"C:\\caf\u00E9\\file.txt" : u"C:\\cafe\\file.txt";
  const tarnwick::Text short_path = tarnwick::GetShortFileName(system, path);

  tarnwick::Text buffer(tarnwick::kShortPathBufferSize, u' ');
  if (wide) {
    std::memcpy(buffer.data(), system.written.data(),
                std::min(system.written.size() / 2, buffer.size()) * 2);
  } else {
    std::string bytes(tarnwick::kShortPathBufferSize, ' ');
    std::copy_n(system.written.begin(), std::min(system.written.size(), bytes.size()),
                bytes.begin());
    buffer = tarnwick::testing::FakeDecode(bytes);
  }
  FUZZ_CHECK(short_path == Expected(buffer));
  FUZZ_CHECK(short_path.find(u'\0') == tarnwick::Text::npos);

  // The last component: what follows the last separator, and nothing else.
  const tarnwick::Text name = tarnwick::GetFileName(short_path, separator);
  FUZZ_CHECK(name.find(separator) == tarnwick::Text::npos);
  const std::size_t last = short_path.rfind(separator);
  if (last == tarnwick::Text::npos) {
    FUZZ_CHECK(name.empty());
  } else {
    FUZZ_CHECK(short_path.size() == last + 1 + name.size());
    FUZZ_CHECK(short_path.compare(last + 1, name.size(), name) == 0);
  }
  return 0;
}
