#include "window/shown_text.h"

#include <algorithm>
#include <cstddef>

#include "listing/listing_texts.h"

namespace tarnwick {
namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';

// Where each character of `text` ends, in code units: the places where a
// line may end.
std::vector<std::size_t> CharacterEnds(TextView text) {
  std::vector<std::size_t> ends;
  for (std::size_t at = 0; at < text.size();) {
    at += CodePointAt(text, at).units;
    ends.push_back(at);
  }
  return ends;
}

// Where a line that starts at `start` and may run to `fit_end` ends best.
std::size_t LineEnd(TextView text, std::size_t start, std::size_t fit_end, double width,
                    const TextWidth& width_of) {
  const TextView line = text.substr(start, fit_end - start);
  const TextView arrow = kNameSeparator;
  if (const std::size_t at = line.rfind(arrow); at != TextView::npos) {
    return start + at + arrow.size();
  }
  // An arrow that the line would cut goes whole to the next one.
  const TextView reach = text.substr(start, line.size() + arrow.size() - 1);
  if (const std::size_t at = reach.rfind(arrow); at != TextView::npos && at > 0) {
    return start + at;
  }
  if (const std::size_t at = line.find_last_of(u"/\\"); at != TextView::npos) {
    return start + at + 1;
  }
  if (const std::size_t at = line.rfind(u' ');
      at != TextView::npos && 2 * width_of(line.substr(0, at + 1)) >= width) {
    return start + at + 1;
  }
  return fit_end;
}

}  // namespace

Text ShownText(TextView text) {
  Text shown(text);
  for (std::size_t at = 0; at < shown.size();) {
    const CodePoint character = CodePointAt(shown, at);
    if (IsSurrogate(character.value)) shown[at] = kReplacementCharacter;
    at += character.units;
  }
  return shown;
}

std::vector<Text> WrapToWidth(TextView text, double width, const TextWidth& width_of) {
  std::vector<Text> lines;
  const std::vector<std::size_t> ends = CharacterEnds(text);
  std::size_t start = 0;
  while (start < text.size()) {
    const TextView rest = text.substr(start);
    if (width_of(rest) <= width) {
      lines.emplace_back(rest);
      break;
    }
    // The most characters from `start` on that fit, and at least one: the
    // widths of a text's beginnings grow with their length.
    const auto first = std::upper_bound(ends.begin(), ends.end(), start);
    std::size_t low = static_cast<std::size_t>(first - ends.begin());
    std::size_t high = ends.size() - 1;
    while (low < high) {
      const std::size_t middle = (low + high + 1) / 2;
      if (width_of(text.substr(start, ends[middle] - start)) <= width) {
        low = middle;
      } else {
        high = middle - 1;
      }
    }
    const std::size_t end = LineEnd(text, start, ends[low], width, width_of);
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::vector<Text> ToolTipLines(TextView first, TextView more, double max_width,
                               double reading_width, const TextWidth& width_of) {
  std::vector<Text> lines = WrapToWidth(first, max_width, width_of);
  more.remove_prefix(std::min(more.size(), more.find_first_not_of(u"\r\n")));
  if (more.empty()) return lines;
  double widest = 0;
  for (const Text& line : lines) widest = std::max(widest, width_of(line));
  const double width = std::min(max_width, std::max(widest, reading_width));
  for (Text& line : WrapToWidth(more, width, width_of)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace tarnwick
