// File-name bytes to text and back: every byte string must come back as the
// very same bytes, and text that some bytes decode to must encode to them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/lossless_utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Bytes -> text -> bytes.
  const tarnwick::Text text = tarnwick::DecodeFileName(bytes);
  const std::optional<std::string> back = tarnwick::EncodeFileName(text);
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(*back == bytes);

  // The same input read as UTF-16 text: when it encodes at all, the bytes
  // must decode to that text again, or two names would share one text.
  tarnwick::Text units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  if (const std::optional<std::string> encoded = tarnwick::EncodeFileName(units)) {
    FUZZ_CHECK(tarnwick::DecodeFileName(*encoded) == units);
  }
  return 0;
}
