#include "platform/win32/gdi_tools.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <cstdint>

namespace tarnwick::win32 {

// The window's dpi where the system can tell it (Windows 10 and later), else
// the screen's.
UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32"), "GetDpiForWindow")));
  if (get_dpi_for_window != nullptr) {
    if (const UINT dpi = get_dpi_for_window(window); dpi != 0) return dpi;
  }
  const WindowDcHandle screen = GetWindowDc(nullptr);
  const int dpi = ::GetDeviceCaps(screen.get().dc, LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return monitor.rcWork;
  }
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

IconHandle StockIcon(SHSTOCKICONID id) {
  SHSTOCKICONINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(::SHGetStockIconInfo(id, SHGSI_ICON | SHGSI_SMALLICON, &info))) return {};
  return IconHandle(info.hIcon);
}

// A folder drawn by hand, where the system has no icon for one: a tab and a
// body, the body's front lowered for an open folder.
void DrawFolderGlyph(HDC dc, int left, int top, int size, bool open) {
  const BrushHandle body(::CreateSolidBrush(RGB(0xF2, 0xC8, 0x4B)));
  const PenHandle edge(::CreatePen(PS_SOLID, 1, RGB(0xA0, 0x78, 0x10)));
  // Put back before the brush and the pen go.
  const SelectedObject body_selected = Select(dc, body.get());
  const SelectedObject edge_selected = Select(dc, edge.get());
  const int unit = std::max(1, size / 16);
  ::Rectangle(dc, left + unit, top + 3 * unit, left + 7 * unit, top + 5 * unit);
  ::Rectangle(dc, left + unit, top + 4 * unit, left + 15 * unit, top + 14 * unit);
  if (open) {
    const POINT front[] = {{left + 3 * unit, top + 7 * unit},
                           {left + 16 * unit, top + 7 * unit},
                           {left + 14 * unit, top + 14 * unit},
                           {left + unit, top + 14 * unit}};
    ::Polygon(dc, front, 4);
  }
}

// A drop-down list is as high as its selection field and its edges, whatever
// size it is given (that is the height of the list when dropped down): the
// field's height makes the closed control `height` pixels high. The field is
// corrected by what the last try missed, since not every system takes the
// height it gives back for the field (Wine adds its padding).
void SetClosedHeight(HWND drop_down, int height) {
  LRESULT field = ::SendMessageW(drop_down, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int tries = 0; field != CB_ERR && tries < 3; ++tries) {
    RECT closed{};
    ::GetWindowRect(drop_down, &closed);
    const int missed = height - (closed.bottom - closed.top);
    if (missed == 0) return;
    field += missed;
    ::SendMessageW(drop_down, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

// The height of a line of `font` in `control` with nothing clipped: the
// font's cells and the space it asks for between lines. A list box gives its
// lines less, and cuts off what hangs below, such as an underscore. 0 where
// the system cannot tell.
int FullLineHeight(HWND control, HFONT font) {
  const WindowDcHandle dc = GetWindowDc(control);
  const SelectedObject selected = Select(dc.get().dc, font);
  TEXTMETRICW font_metrics{};
  if (!::GetTextMetricsW(dc.get().dc, &font_metrics)) return 0;
  return font_metrics.tmHeight + font_metrics.tmExternalLeading;
}

namespace {

// Whether `font` draws "_": the bitmaps that some fonts carry for small
// sizes leave it out (Wine's Japanese fonts at 12 pixels do), and a file
// name such as IMG_0001.JPG would show as IMG 0001.JPG.
bool DrawsUnderscore(HFONT font) {
  constexpr int kSize = 64;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const WindowDcHandle screen = GetWindowDc(nullptr);
  const MemoryDcHandle dc(::CreateCompatibleDC(screen.get().dc));
  const BitmapHandle bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || bits == nullptr) return true;  // no way to tell
  const SelectedObject bitmap_selected = Select(dc.get(), bitmap.get());
  const SelectedObject font_selected = Select(dc.get(), font);
  const RECT all{0, 0, kSize, kSize};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetBkMode(dc.get(), TRANSPARENT);
  ::SetTextColor(dc.get(), RGB(0, 0, 0));
  ::TextOutW(dc.get(), 4, 4, L"_", 1);
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  return std::any_of(pixels, pixels + kSize * kSize,
                     [](std::uint32_t pixel) { return (pixel & 0xFFFFFF) != 0xFFFFFF; });
}

}  // namespace

// `font`, or where it leaves out "_", the next pixel size that draws it.
FontHandle FontThatDrawsUnderscores(LOGFONTW font) {
  FontHandle made(::CreateFontIndirectW(&font));
  for (int larger = 0; larger < 3 && made && !DrawsUnderscore(made.get()); ++larger) {
    font.lfHeight += font.lfHeight < 0 ? -1 : 1;
    made.reset(::CreateFontIndirectW(&font));
  }
  return made;
}

}  // namespace tarnwick::win32
