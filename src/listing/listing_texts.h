// The texts the refresh writes into the window: the label's start and what
// stands between a line's two names. The window's other texts are in
// window/texts.h, which includes these.
#pragma once

namespace tarnwick {

// The label's caption, and the start of its line after each refresh: "パス名－".
inline constexpr char16_t kLabelPrefix[] = u"パス名\uFF0D";

// What stands between the two names on a line of the list: " ⇔ ".
inline constexpr char16_t kNameSeparator[] = u" \u21D4 ";

}  // namespace tarnwick
