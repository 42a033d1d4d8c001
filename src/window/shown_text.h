// How the window shows a text: the form in which a line, the label and a
// tooltip are drawn and copied, and a tooltip's text broken into lines that
// fit the screen. The toolkits measure and draw; what a line is and where it
// breaks is decided here, from the text alone.
#pragma once

#include <functional>
#include <vector>

#include "text/text.h"

namespace tarnwick {

// `text` as the window draws it and as it goes to the clipboard: a lone
// surrogate (what a byte of a file name that is no UTF-8 becomes, or half of
// a pair that a Windows name lost) becomes U+FFFD, one for each; everything
// else stays. The size stays the same.
Text ShownText(TextView text);

// How wide a text is drawn, as the toolkit measures it.
using TextWidth = std::function<double(TextView)>;

// `text` broken into lines that are each no wider than `width`, every
// character kept and in order. A line breaks after " ⇔ " where it can (an
// arrow that it would cut goes whole to the next line), else after a
// separator ("/" or "\"), else after a space that leaves the line at
// least half full, else after its last character that fits. A surrogate pair
// stays whole; a character wider than `width` is a line of its own.
std::vector<Text> WrapToWidth(TextView text, double width, const TextWidth& width_of);

// The lines of a tooltip: `first` (a line of the list, or the label's text)
// no wider than `max_width`, then `more` (what is said about it, after the
// line break it may begin with) no wider than the widest of those lines or
// `reading_width`, whichever is wider, and never wider than `max_width`.
std::vector<Text> ToolTipLines(TextView first, TextView more, double max_width,
                               double reading_width, const TextWidth& width_of);

}  // namespace tarnwick
