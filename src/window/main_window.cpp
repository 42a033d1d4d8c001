#include "window/main_window.h"

#include <exception>
#include <optional>

#include "listing/listing_refresh.h"
#include "platform/lossless_utf8.h"

namespace tarnwick {
namespace {

constexpr char16_t kCredit[] = u"Tarnwick \u958B\u767A\u30C1\u30FC\u30E0";  // 開発チーム
constexpr char16_t kLineBreak[] = u"\r\n";

Text ReasonFor(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::NotFound:
      return u"\u30D5\u30A9\u30EB\u30C0\u30FC\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093"
             u"\u3002";
    case ErrorKind::AccessDenied:
      return u"\u30D5\u30A9\u30EB\u30C0\u30FC\u3092\u8AAD\u3080\u6A29\u9650\u304C\u3042\u308A"
             u"\u307E\u305B\u3093\u3002";
    case ErrorKind::NotReady:
      return u"\u30C9\u30E9\u30A4\u30D6\u306E\u6E96\u5099\u304C\u3067\u304D\u3066\u3044\u307E"
             u"\u305B\u3093\u3002";
    case ErrorKind::Other:
      break;
  }
  return u"\u30D5\u30A9\u30EB\u30C0\u30FC\u3092\u8AAD\u3081\u307E\u305B\u3093\u3067\u3057\u305F"
         u"\u3002";
}

}  // namespace

Text AboutText() { return Text(kWindowCaption) + kLineBreak + Text(40, u' ') + u"by " + kCredit; }

Text ErrorMessage(const PlatformError& error) {
  // The reason, the folder, and the system's own words.
  return ReasonFor(error.kind()) + kLineBreak + error.path() + kLineBreak + kLineBreak +
         DecodeFileName(error.what());
}

void Form1::Form_Load() { Refresh(); }

void Form1::Drive1_Change() {
  try {
    controls_.SetDir1Path(controls_.Drive1Drive());
  } catch (const PlatformError& error) {
    // The folder list still shows the folder it showed: so does the drive list.
    controls_.SelectDrive1For(controls_.Dir1Path());
    ReportError(error);
  }
}

void Form1::Dir1_Change() { Refresh(); }

void Form1::Option1_Click(int /*Index*/) { Refresh(); }

void Form1::Command1_Click() { controls_.ShowMessage(AboutText(), kInformationStyle, kAboutTitle); }

void Form1::ReportError(const PlatformError& error) {
  controls_.ShowMessage(ErrorMessage(error), kErrorStyle, kWindowCaption);
}

void Form1::Refresh() {
  std::optional<PlatformError> failure;
  {
    // Off again before any message box, and also when the refresh fails.
    struct BusyCursor {
      WindowControls& controls;
      explicit BusyCursor(WindowControls& window) : controls(window) {
        controls.SetBusyCursor(true);
      }
      ~BusyCursor() { controls.SetBusyCursor(false); }
    } busy(controls_);
    try {
      ListFileName(controls_, system_);
    } catch (const PlatformError& error) {
      failure = error;
    } catch (const std::exception& error) {
      // An internal fault (a failed bound or count): said, not hidden.
      failure = PlatformError(ErrorKind::Other, controls_.Dir1Path(), error.what());
    }
  }
  if (failure) ReportError(*failure);
}

}  // namespace tarnwick
