#include "text/lossless_utf8.h"

#include <cstdint>
#include <cstring>

namespace tarnwick {
namespace {

constexpr char32_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the run of ASCII at the start, eight bytes at a time where
// it can: names and the short-path buffer are mostly ASCII.
std::size_t AsciiRun(std::string_view bytes) {
  std::size_t length = 0;
  for (; length + 8 <= bytes.size(); length += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + length, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (length < bytes.size() && static_cast<unsigned char>(bytes[length]) < 0x80) ++length;
  return length;
}

std::size_t AsciiRun(TextView text) {
  std::size_t length = 0;
  for (; length + 4 <= text.size(); length += 4) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + length, 8);
    if (word & 0xFF80FF80FF80FF80u) break;
  }
  while (length < text.size() && text[length] < 0x80) ++length;
  return length;
}

// Decodes one well-formed (shortest form, no surrogate, at most U+10FFFF)
// UTF-8 sequence at the start of `bytes`. Gives its length, or 0 when the
// first byte does not start one.
std::size_t DecodeSequence(std::string_view bytes, char32_t& code_point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
    code_point = (code_point << 6) | (byte(i) & 0x3F);
  }
  if (code_point < minimum || code_point > 0x10FFFF) return 0;
  if (IsSurrogate(code_point)) return 0;
  return length;
}

// Writes the UTF-16 form of `code_point` at `out`; gives the end of it.
char16_t* PutUtf16(char16_t* out, char32_t code_point) {
  if (code_point < 0x10000) {
    *out++ = static_cast<char16_t>(code_point);
  } else {
    code_point -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
  }
  return out;
}

// Writes the UTF-8 form of `code_point` at `out`; gives the end of it.
char* PutUtf8(char* out, char32_t code_point) {
  if (code_point < 0x80) {
    *out++ = static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code_point >> 6));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code_point >> 12));
    *out++ = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code_point >> 18));
    *out++ = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

}  // namespace

void AppendUtf8(std::string& bytes, char32_t code_point) {
  char sequence[4];
  bytes.append(sequence, PutUtf8(sequence, code_point));
}

Text DecodeFileName(std::string_view bytes) {
  Text text;
  DecodeFileNameInto(bytes, text);
  return text;
}

void DecodeFileNameInto(std::string_view bytes, Text& text) {
  // A byte gives at most one code unit (four of them, two): room for the
  // longest at once, cut to the length written at the end.
  text.resize(bytes.size());
  char16_t* out = text.data();
  while (!bytes.empty()) {
    // Runs of ASCII, the common case, go across as they are.
    const std::size_t ascii = AsciiRun(bytes);
    for (std::size_t i = 0; i < ascii; ++i) out[i] = static_cast<unsigned char>(bytes[i]);
    out += ascii;
    bytes.remove_prefix(ascii);
    if (bytes.empty()) break;
    char32_t code_point = 0;
    std::size_t length = DecodeSequence(bytes, code_point);
    if (length == 0) {
      code_point = kEscapeBase + static_cast<unsigned char>(bytes[0]);
      length = 1;
    }
    out = PutUtf16(out, code_point);
    bytes.remove_prefix(length);
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

char32_t DecodeCharacterAt(std::string_view bytes, std::size_t& at) {
  char32_t code_point = 0;
  const std::size_t length = DecodeSequence(bytes.substr(at), code_point);
  if (length == 0) {
    code_point = kEscapeBase + static_cast<unsigned char>(bytes[at]);
    ++at;
  } else {
    at += length;
  }
  return code_point;
}

std::optional<std::string> EncodeFileName(TextView text) {
  std::string bytes;
  if (!EncodeFileNameInto(text, bytes)) return std::nullopt;
  return bytes;
}

bool EncodeFileNameInto(TextView text, std::string& bytes) {
  // A code unit takes at most three bytes (a pair of them, four): room for
  // the longest at once, cut to the length written at the end.
  bytes.resize(text.size() * 3);
  char* out = bytes.data();
  bool has_escapes = false;
  std::size_t i = 0;
  while (i < text.size()) {
    // Runs of ASCII, the common case, go across as they are.
    const std::size_t ascii = AsciiRun(text.substr(i));
    for (std::size_t j = 0; j < ascii; ++j) out[j] = static_cast<char>(text[i + j]);
    out += ascii;
    i += ascii;
    if (i == text.size()) break;
    const CodePoint character = CodePointAt(text, i);
    if (character.value >= 0xDC80 && character.value <= 0xDCFF) {
      *out++ = static_cast<char>(character.value - kEscapeBase);
      has_escapes = true;
    } else if (IsSurrogate(character.value)) {
      return false;
    } else {
      out = PutUtf8(out, character.value);
    }
    i += character.units;
  }
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  // Escaped bytes next to each other may form a valid sequence, which would
  // read back as another text: such text has no bytes of its own.
  return !has_escapes || DecodeFileName(bytes) == text;
}

}  // namespace tarnwick
