// File names on Linux are bytes, and error descriptions are UTF-8. They
// become text through UTF-8; a byte that is not part of a valid UTF-8
// sequence becomes the lone low surrogate U+DC00 + byte (U+DC80 to U+DCFF),
// so that every name converts back to the very bytes it came from and no two
// names give the same text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace tarnwick {

// Appends the UTF-8 form of a code point (not a surrogate).
void AppendUtf8(std::string& bytes, char32_t code_point);

// Bytes to text; never fails.
Text DecodeFileName(std::string_view bytes);

// The same, written over `text`, whose room serves call after call.
void DecodeFileNameInto(std::string_view bytes, Text& text);

// The character of DecodeFileName's text that starts at byte `at` of
// `bytes` (a byte that starts no UTF-8 sequence gives its escape), moving
// `at` past its bytes: the characters one by one, without making the text.
char32_t DecodeCharacterAt(std::string_view bytes, std::size_t& at);

// Text to bytes: the inverse of DecodeFileName. Gives nullopt for text that
// no byte sequence decodes to (a lone surrogate outside U+DC80 to U+DCFF, or
// escapes that would read back as a valid UTF-8 character).
std::optional<std::string> EncodeFileName(TextView text);

// The same, written over `bytes`, whose room serves call after call; false
// where EncodeFileName gives nullopt, leaving `bytes` unspecified.
bool EncodeFileNameInto(TextView text, std::string& bytes);

}  // namespace tarnwick
