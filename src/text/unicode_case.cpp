#include "text/unicode_case.h"

#include <locale.h>
#include <wctype.h>

#include <stdexcept>

#include "text/text.h"

namespace tarnwick {
namespace {

// Made once and kept for the program's life.
locale_t UnicodeLocale() {
  static const locale_t locale = [] {
    const locale_t made = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (made == static_cast<locale_t>(nullptr)) {
      throw std::runtime_error("the C.UTF-8 locale is missing, so letters cannot change case");
    }
    return made;
  }();
  return locale;
}

}  // namespace

char32_t UnicodeLowerCase(char32_t c) {
  if (IsSurrogate(c)) return c;
  return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), UnicodeLocale()));
}

char32_t UnicodeUpperCase(char32_t c) {
  if (IsSurrogate(c)) return c;
  return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), UnicodeLocale()));
}

}  // namespace tarnwick
