// Form1, the program's one window, as plain data and handlers: the layout
// table that both window toolkits read, and the handlers that they call for
// the controls' notifications. It reaches the controls and the system only
// through the platform layer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/system_services.h"

namespace tarnwick {

// 15 twips make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

// "SFN ⇔ LFN なソフト Tarnwick v1.0"
inline constexpr char16_t kWindowCaption[] =
    u"SFN \u21D4 LFN \u306A\u30BD\u30D5\u30C8 Tarnwick v1.0";
// "バージョン情報": the push button's caption and the about box's title.
inline constexpr char16_t kAboutTitle[] = u"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831";
inline constexpr std::int32_t kInformationStyle = 64;
inline constexpr std::int32_t kErrorStyle = 16;

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
  int tab_index;
  bool takes_focus;
  int left, top, width, height;  // twips
};

// Every control of the window, in tab order.
inline constexpr std::array<ControlLayout, 7> kControls = {{
    {"Drive1", -1, ControlKind::DriveList, nullptr, 0, true, 120, 2760, 2535, 300},
    {"Dir1", -1, ControlKind::FolderList, nullptr, 1, true, 120, 120, 2535, 2610},
    {"List1", -1, ControlKind::ListBox, nullptr, 2, true, 2760, 120, 4455, 2940},
    {"Option1", 0, ControlKind::OptionButton, u"LFN\u3067\u30BD\u30FC\u30C8", 3, true, 120, 3120,
     1455, 255},
    {"Option1", 1, ControlKind::OptionButton, u"SFN\u3067\u30BD\u30FC\u30C8", 4, true, 1680, 3120,
     1455, 255},
    {"Label1", -1, ControlKind::Label, u"\u30D1\u30B9\u540D\uFF0D", 5, false, 120, 3600, 7215, 255},
    {"Command1", -1, ControlKind::PushButton, kAboutTitle, 6, true, 4440, 3120, 2775, 375},
}};

// The option button selected when the window is created: item 0, sort by
// long name.
inline constexpr int kOptionSelectedAtStart = 0;

// The about box's text: the caption, CR LF, 40 spaces, "by " and the credit.
Text AboutText();

// A clear Japanese message for an error that a user's action ran into.
Text ErrorMessage(const PlatformError& error);

class Form1 {
 public:
  Form1(WindowControls& controls, SystemServices& system) : controls_(controls), system_(system) {}

  // The handlers, one for each notification.
  void Form_Load();
  void Drive1_Change();
  void Dir1_Change();
  void Option1_Click(int Index);
  void Command1_Click();

  // Reports an error of a user's action in a message box; the window stays.
  void ReportError(const PlatformError& error);

 private:
  // The refresh; an error is reported, not passed on to the toolkit.
  void Refresh();

  WindowControls& controls_;
  SystemServices& system_;
};

}  // namespace tarnwick
