// The window's layout as plain data, read by both window toolkits: its size
// and every control's kind, caption, place and size, in tab order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "window/texts.h"

namespace tarnwick {

// 15 twips make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

// The client area, in twips.
inline constexpr int kClientWidth = 7365;
inline constexpr int kClientHeight = 3900;

enum class ControlKind : std::uint8_t {
  DriveList,
  FolderList,
  ListBox,
  OptionButton,
  Label,
  PushButton
};

struct ControlLayout {
  std::string_view name;
  int index;  // of an option button in its group; -1 for the others
  ControlKind kind;
  const char16_t* caption;  // nullptr for controls without one
  bool takes_focus;
  int left, top, width, height;  // twips
};

// Every control of the window, in tab order.
inline constexpr std::array<ControlLayout, 7> kControls = {{
    {"Drive1", -1, ControlKind::DriveList, nullptr, true, 120, 2760, 2535, 300},
    {"Dir1", -1, ControlKind::FolderList, nullptr, true, 120, 120, 2535, 2610},
    {"List1", -1, ControlKind::ListBox, nullptr, true, 2760, 120, 4455, 2940},
    {"Option1", 0, ControlKind::OptionButton, kSortByLongNameCaption, true, 120, 3120, 1455, 255},
    {"Option1", 1, ControlKind::OptionButton, kSortByShortNameCaption, true, 1680, 3120, 1455, 255},
    {"Label1", -1, ControlKind::Label, kLabelPrefix, false, 120, 3600, 7215, 255},
    {"Command1", -1, ControlKind::PushButton, kAboutCaption, true, 4440, 3120, 2775, 375},
}};

// The option button selected when the window is created: item 0, sort by
// long name.
inline constexpr int kOptionSelectedAtStart = 0;

}  // namespace tarnwick
