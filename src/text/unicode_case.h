// Letter case of single characters by Unicode's simple mappings (Ａ and ａ,
// À and à), as the C library's C.UTF-8 locale gives them. For systems whose
// own services do not do it: Linux.
#pragma once

namespace tarnwick {

// The lower-case form of `c`, or `c` itself; a surrogate stays as it is.
// Throws std::runtime_error where the C.UTF-8 locale is missing.
char32_t UnicodeLowerCase(char32_t c);

// The upper-case form of `c`, or `c` itself; a surrogate stays as it is.
char32_t UnicodeUpperCase(char32_t c);

}  // namespace tarnwick
