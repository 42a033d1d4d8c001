#include "platform/win32/main_window.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
#include <dbt.h>       // needs windows.h first
#include <windowsx.h>  // needs windows.h first
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/scope_exit.h"
#include "platform/win32/common_controls.h"
#include "platform/win32/drop_files.h"
#include "platform/win32/gdi_tools.h"
#include "platform/win32/handles.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/win32_system_services.h"
#include "window/layout.h"
#include "window/shown_text.h"
#include "window/texts.h"

namespace tarnwick::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TarnwickMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kDropDownHeight = 200;  // the drive list's list, when dropped down
constexpr int kFolderLineHeight = 17;
constexpr int kFolderIndent = 8;
constexpr int kIconSize = 16;
constexpr int kLineMargin = 6;      // beyond the widest line, when scrolled to its end
constexpr int kTipBelowMouse = 20;  // from the mouse's point down to the tooltip
constexpr int kMenuIndent = 16;     // from a line's left to its menu, opened by the keyboard
// How wide the sentence under a line in its tooltip may be at least, in
// Japanese characters; it is as wide as the line when that is wider.
constexpr int kSentenceCharacters = 36;
constexpr int kTipFrame = 4;  // a tooltip's border and margin on a side, where it does not say

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD extended_style;
};

ControlClass ClassOf(const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::DriveList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::FolderList:
      return {L"LISTBOX",
              LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT |
                  LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
              WS_EX_CLIENTEDGE};
    case ControlKind::ListBox:
      // No LBS_SORT: the lines stay in the order they are added.
      return {L"LISTBOX",
              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | WS_VSCROLL | WS_HSCROLL |
                  WS_TABSTOP | WS_GROUP,
              WS_EX_CLIENTEDGE};
    case ControlKind::OptionButton:
      return {
          L"BUTTON",
          static_cast<DWORD>(BS_AUTORADIOBUTTON | WS_TABSTOP | (layout.index == 0 ? WS_GROUP : 0)),
          0};
    case ControlKind::Label:
      // SS_NOPREFIX: "&" in a path shows as it is. SS_NOTIFY: the mouse's
      // messages reach it, for its menu and its tooltip.
      return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY | WS_GROUP, 0};
    case ControlKind::PushButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
  }
  return {L"STATIC", 0, 0};
}

// What a screen reader calls a control that has no caption of its own;
// nullptr for one that goes by its caption.
const char16_t* AccessibleNameOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::DriveList:
      return kDrive1Name;
    case ControlKind::FolderList:
      return kDir1Name;
    case ControlKind::ListBox:
      return kList1Name;
    case ControlKind::Label:
      return kLabel1Name;
    case ControlKind::OptionButton:
    case ControlKind::PushButton:
      return nullptr;
  }
  return nullptr;
}

bool IsList(ControlKind kind) {
  return kind == ControlKind::DriveList || kind == ControlKind::FolderList ||
         kind == ControlKind::ListBox;
}

Text WindowText(HWND window, int index, UINT length_message, UINT text_message) {
  const LRESULT length = ::SendMessageW(window, length_message, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = ::SendMessageW(window, text_message, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return FromWide(text);
}

// The line of `list` at `point` in its client area, or -1 where there is
// none. LB_ITEMFROMPOINT gives the line's index in 16 bits only; the lines
// in view are fewer than 65,536 from the top one, which gives the rest.
int LineAt(HWND list, POINT point) {
  RECT client{};
  ::GetClientRect(list, &client);
  if (!::PtInRect(&client, point)) return -1;
  const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0) return -1;  // below the last line
  const auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  int line = (top & ~0xFFFF) | LOWORD(hit);
  if (line < top) line += 0x10000;
  return line < static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)) ? line : -1;
}

// The tool of a tooltip that stands for the whole of `control`.
TOOLINFOW ToolFor(HWND window, HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

void AppendMenuEntry(HMENU menu, int id, const std::wstring& caption, bool enabled) {
  ::AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(id),
                caption.c_str());
}

}  // namespace

MainWindow::MainWindow(SystemServices& system, HINSTANCE instance)
    : instance_(instance),
      system_(system),
      form_(*this, system),
      message_box_([](HWND owner, const Text& text, std::int32_t style, const Text& title) {
        ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), static_cast<UINT>(style));
      }) {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    ForgetAccessibleNames();
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

void MainWindow::Create(const Text& start_folder) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (!::GetClassInfoExW(instance_, kClassName, &window_class)) {
    window_class.lpfnWndProc = WindowProcedure;
    window_class.hInstance = instance_;
    window_class.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TARNWICK));
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    if (!::RegisterClassExW(&window_class)) {
      throw SystemError(::GetLastError(), u"", "cannot register the window class");
    }
  }
  window_ = ::CreateWindowExW(0, kClassName, ToWide(kWindowCaption).c_str(), kWindowStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, Pixels(kClientWidth),
                              Pixels(kClientHeight), nullptr, nullptr, instance_, this);
  if (window_ == nullptr) throw SystemError(::GetLastError(), u"", "cannot create the window");
  dpi_ = DpiOf(window_);
  open_folder_ = StockIcon(SIID_FOLDEROPEN);
  closed_folder_ = StockIcon(SIID_FOLDER);
  ACCEL reload{FVIRTKEY, VK_F5, kReloadId};
  accelerators_.reset(::CreateAcceleratorTableW(&reload, 1));
  if (!accelerators_) throw SystemError(::GetLastError(), u"", "cannot make the window's keys");
  if (!names_) names_ = SystemAccessibleNames();
  CreateControls();
  CreateToolTips();
  PlaceControls();
  ::DragAcceptFiles(window_, TRUE);
  form_.Start(start_folder);
}

void MainWindow::Load() { form_.Form_Load(); }

int MainWindow::Run() {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!TranslateKeys(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

bool MainWindow::TranslateKeys(MSG& message) {
  // A key pressed anywhere in the window hides a tooltip, as a click does.
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) HideToolTips();
  return ::TranslateAcceleratorW(window_, accelerators_.get(), &message) ||
         ::IsDialogMessageW(window_, &message);
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
  // No exception may pass through the system's frames back to the loop.
  try {
    return self->HandleMessage(message, w, l);
  } catch (...) {
    self->form_.ReportCurrentException();
    return 0;
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(w), HIWORD(w));
      return 0;
    case WM_VKEYTOITEM:
      if (reinterpret_cast<HWND>(l) == control(kDir1Id) && LOWORD(w) == VK_RETURN) {
        OpenSelectedFolderEntry();
        return -2;
      }
      // Ctrl+C copies the line, Ctrl+Shift+C its short path.
      if (reinterpret_cast<HWND>(l) == control(kList1Id) && LOWORD(w) == 'C' &&
          (::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        if ((::GetKeyState(VK_SHIFT) & 0x8000) != 0) {
          form_.CopyShortPath();
        } else {
          form_.CopyLine();
        }
        return -2;
      }
      return -1;
    case WM_CONTEXTMENU: {
      const auto from = reinterpret_cast<HWND>(w);
      const POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (from == control(kList1Id)) {
        // (-1, -1) for the keyboard's menu key.
        ShowList1Menu(at, at.x == -1 && at.y == -1);
        return 0;
      }
      if (from == control(kLabel1Id)) {
        ShowLabel1Menu(at);
        return 0;
      }
      return ::DefWindowProcW(window_, message, w, l);
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      if (header->hwndFrom == label1_tip_ && header->code == TTN_GETDISPINFOW) {
        FillLabel1Tip(*reinterpret_cast<NMTTDISPINFOW*>(l));
      }
      return 0;
    }
    case WM_DROPFILES:
      Drop(reinterpret_cast<HDROP>(w));
      return 0;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (item->CtlID == kDir1Id) item->itemHeight = static_cast<UINT>(Scale(kFolderLineHeight));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (item->CtlID == kDir1Id) DrawFolderEntry(*item);
      return TRUE;
    }
    case WM_ACTIVATE:
      if (LOWORD(w) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        focus_ = focus != nullptr && ::IsChild(window_, focus) ? focus : nullptr;
      }
      return ::DefWindowProcW(window_, message, w, l);
    case WM_SETFOCUS:
      // The window itself takes no keys: the control that had the focus
      // gets it back, as in a dialog box, and at first the first control.
      ::SetFocus(focus_ != nullptr ? focus_ : ::GetNextDlgTabItem(window_, nullptr, FALSE));
      return 0;
    case WM_UPDATEUISTATE: {
      // Passed on to the controls; the folder list, drawn here, shows or
      // hides its focus mark by the keyboard cues now.
      const LRESULT result = ::DefWindowProcW(window_, message, w, l);
      if ((HIWORD(w) & UISF_HIDEFOCUS) != 0) ::InvalidateRect(control(kDir1Id), nullptr, FALSE);
      return result;
    }
    case WM_SYSCOLORCHANGE:
      // The controls hear of new colours only from their window.
      for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
           child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, message, w, l);
      }
      RedrawAll();
      return 0;
    case WM_SETTINGCHANGE:
      // A new message font or text size is measured and placed as a new dpi
      // is.
      if (w == SPI_SETNONCLIENTMETRICS) {
        PlaceControls();
        RedrawAll();
      } else if (w == SPI_SETHIGHCONTRAST) {
        RedrawAll();
      }
      return 0;
    case WM_THEMECHANGED:
      PlaceControls();
      RedrawAll();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(w);
      const RECT* suggested = reinterpret_cast<const RECT*>(l);
      ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      PlaceControls();
      return 0;
    }
    case WM_ENTERMENULOOP:
      // No tooltip over a menu.
      HoldToolTips(true);
      return 0;
    case WM_EXITMENULOOP:
      HoldToolTips(false);
      return 0;
    case WM_DEVICECHANGE:
      // A disk plugged in or taken out, a network drive mapped or not.
      if (w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE) form_.DrivesChanged();
      return TRUE;
    case WM_DESTROY:
      ForgetAccessibleNames();
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window_, message, w, l);
  }
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case kDrive1Id:
      if (code == CBN_SELCHANGE) {
        form_.Drive1Chosen(
            static_cast<int>(::SendMessageW(control(kDrive1Id), CB_GETCURSEL, 0, 0)));
      }
      break;
    case kDir1Id:
      if (code == LBN_DBLCLK) OpenSelectedFolderEntry();
      break;
    case kOption1Item0Id:
    case kOption1Item1Id:
      if (code == BN_CLICKED) form_.Option1_Click(id - kOption1Item0Id);
      break;
    case kCommand1Id:
      if (code == BN_CLICKED) form_.Command1_Click();
      break;
    case kCopyLineId:
      form_.CopyLine();
      break;
    case kCopyAllLinesId:
      form_.CopyAllLines();
      break;
    case kCopyShortNameId:
      form_.CopyShortName();
      break;
    case kCopyShortPathId:
      form_.CopyShortPath();
      break;
    case kReloadId:
      form_.Reload();
      break;
    case kCopyFolderPathId:
      form_.CopyFolderShortPath();
      break;
    case IDOK:
      // Enter, taken by the dialog manager: in the folder list it opens.
      if (::GetFocus() == control(kDir1Id)) OpenSelectedFolderEntry();
      break;
    default:
      break;
  }
}

// The controls in the table's order, which is also the order Tab takes.
// Those without a caption of their own are named for screen readers, and
// each list has a static text of its name just before it.
void MainWindow::CreateControls() {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& layout = kControls[i];
    const char16_t* name = AccessibleNameOf(layout.kind);
    if (IsList(layout.kind)) CreateNameBefore(name);
    const ControlClass control_class = ClassOf(layout);
    const std::wstring caption = layout.caption != nullptr ? ToWide(layout.caption) : L"";
    const HWND child = ::CreateWindowExW(
        control_class.extended_style, control_class.name, caption.c_str(),
        WS_CHILD | WS_VISIBLE | control_class.style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDrive1Id + static_cast<int>(i))), instance_,
        nullptr);
    if (child == nullptr) throw SystemError(::GetLastError(), u"", "cannot create a control");
    if (name != nullptr) names_->SetName(child, ToWide(name));
  }
  ::SendMessageW(control(kOption1Item0Id + kOptionSelectedAtStart), BM_SETCHECK, BST_CHECKED, 0);
}

// The window's order of its controls is the order they are made in, and
// Microsoft Active Accessibility names a control without a caption by the
// static text just before it there, as screen readers much used in Japan are
// said to do too. The text is visible to them (WS_VISIBLE), but of no size,
// so that nothing of it shows; without WS_TABSTOP, Tab passes it by. The
// search for a label stops at a control with WS_GROUP and WS_TABSTOP: the
// list before has both, so each text must come right before its list.
void MainWindow::CreateNameBefore(const char16_t* name) {
  if (::CreateWindowExW(0, L"STATIC", ToWide(name).c_str(),
                        WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window_, nullptr,
                        instance_, nullptr) == nullptr) {
    throw SystemError(::GetLastError(), u"", "cannot create a control's name");
  }
}

void MainWindow::ForgetAccessibleNames() {
  if (!names_) return;
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (AccessibleNameOf(kControls[i].kind) == nullptr) continue;
    if (const HWND child = control(kDrive1Id + static_cast<int>(i)); child != nullptr) {
      names_->Forget(child);
    }
  }
}

void MainWindow::RedrawAll() {
  ::RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The list's tooltip is moved and shown by hand, where the mouse rests on a
// line, since its text changes from line to line; the label's shows itself.
void MainWindow::CreateToolTips() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  TheCommonControls().InitCommonControlsEx(&classes);
  for (HWND* tip : {&list1_tip_, &label1_tip_}) {
    // TTS_NOPREFIX: "&" in a name shows as it is.
    *tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    if (*tip == nullptr) throw SystemError(::GetLastError(), u"", "cannot create a tooltip");
  }
  list1_ = control(kList1Id);
  const HWND list1 = list1_;
  TOOLINFOW list_tool = ToolFor(window_, list1);
  list_tool.uFlags |= TTF_TRACK | TTF_ABSOLUTE;
  list_tool.lpszText = const_cast<wchar_t*>(L"");
  TOOLINFOW label_tool = ToolFor(window_, control(kLabel1Id));
  label_tool.uFlags |= TTF_SUBCLASS;
  label_tool.lpszText = LPSTR_TEXTCALLBACKW;
  if (!::SendMessageW(list1_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&list_tool)) ||
      !::SendMessageW(label1_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&label_tool)) ||
      !TheCommonControls().SetWindowSubclass(list1, List1Procedure, 0,
                                             reinterpret_cast<DWORD_PTR>(this))) {
    throw SystemError(::GetLastError(), u"", "cannot set up the tooltips");
  }
}

// Places and sizes the window and its controls for the window's dpi, with
// the system's message font.
void MainWindow::PlaceControls() {
  RECT frame{0, 0, Scale(Pixels(kClientWidth)), Scale(Pixels(kClientHeight))};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi_), static_cast<int>(DpiOf(nullptr)));
  // The controls let go of the old font before it goes.
  FontHandle new_font = FontThatDrawsUnderscores(font);

  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& layout = kControls[i];
    const HWND child = control(kDrive1Id + static_cast<int>(i));
    const int height =
        layout.kind == ControlKind::DriveList ? kDropDownHeight : Pixels(layout.height);
    ::SetWindowPos(child, nullptr, Scale(Pixels(layout.left)), Scale(Pixels(layout.top)),
                   Scale(Pixels(layout.width)), Scale(height), SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(new_font.get()), TRUE);
    if (layout.kind == ControlKind::DriveList) {
      SetClosedHeight(child, Scale(Pixels(layout.height)));
    }
  }
  // The tooltips in the controls' font, which draws "_".
  for (const HWND tip : {list1_tip_, label1_tip_}) {
    ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(new_font.get()), FALSE);
  }
  // A folder's line is as high as its icon, or as a line of the font where
  // that is higher.
  const HWND dir1 = control(kDir1Id);
  ::SendMessageW(dir1, LB_SETITEMHEIGHT, 0,
                 std::max(Scale(kFolderLineHeight), FullLineHeight(dir1, new_font.get())));
  MeasureIn(new_font.get());
  font_ = std::move(new_font);
  if (const int height = FullLineHeight(control(kList1Id), font_.get()); height > 0) {
    ::SendMessageW(control(kList1Id), LB_SETITEMHEIGHT, 0, height);
  }
  MeasureList1Again();
}

void MainWindow::MeasureIn(HFONT font) {
  if (!measure_dc_) {
    const WindowDcHandle screen = GetWindowDc(nullptr);
    measure_dc_.reset(::CreateCompatibleDC(screen.get().dc));
    if (!measure_dc_) throw SystemError(::GetLastError(), u"", "cannot measure text");
  }
  ::SelectObject(measure_dc_.get(), font);
  // Where the font cannot be told, every line is measured.
  TEXTMETRICW metrics{};
  widest_character_ =
      ::GetTextMetricsW(measure_dc_.get(), &metrics) ? metrics.tmMaxCharWidth : SHRT_MAX;
}

void MainWindow::TakeList1Line(std::wstring_view line) {
  if (static_cast<long long>(line.size()) * widest_character_ <= list1_widest_) return;
  SIZE size{};
  if (::GetTextExtentPoint32W(measure_dc_.get(), line.data(), static_cast<int>(line.size()),
                              &size)) {
    list1_widest_ = std::max(list1_widest_, static_cast<int>(size.cx));
  }
}

// Each message to the list takes time, so only the lines that might be the
// widest are read back.
void MainWindow::MeasureList1Again() {
  const HWND list1 = control(kList1Id);
  list1_widest_ = 0;
  const auto count = static_cast<int>(::SendMessageW(list1, LB_GETCOUNT, 0, 0));
  std::wstring line;
  for (int i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(list1, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0 || static_cast<long long>(length) * widest_character_ <= list1_widest_) {
      continue;
    }
    line.resize(static_cast<std::size_t>(length) + 1);
    line.resize(static_cast<std::size_t>(
        std::max<LRESULT>(0, ::SendMessageW(list1, LB_GETTEXT, static_cast<WPARAM>(i),
                                            reinterpret_cast<LPARAM>(line.data())))));
    TakeList1Line(line);
  }
  FitList1Width();
}

void MainWindow::FitList1Width() {
  ::SendMessageW(control(kList1Id), LB_SETHORIZONTALEXTENT,
                 static_cast<WPARAM>(list1_widest_ > 0 ? list1_widest_ + Scale(kLineMargin) : 0),
                 0);
}

LRESULT CALLBACK MainWindow::List1Procedure(HWND list, UINT message, WPARAM w, LPARAM l,
                                            UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  const POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  try {
    switch (message) {
      case WM_MOUSEMOVE:
        // On another line, the tooltip waits for the mouse to rest again.
        if (LineAt(list, at) != self->list1_tip_line_) {
          self->HideList1Tip();
          TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, list, HOVER_DEFAULT};
          ::TrackMouseEvent(&track);
        }
        break;
      case WM_MOUSEHOVER:
        self->ShowList1Tip(LineAt(list, at), at);
        break;
      case WM_MOUSELEAVE:
      case WM_MOUSEWHEEL:
      case WM_VSCROLL:
      case WM_HSCROLL:
      case WM_KEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        self->HideList1Tip();
        break;
      case WM_NCDESTROY:
        TheCommonControls().RemoveWindowSubclass(list, List1Procedure, id);
        break;
      default:
        break;
    }
  } catch (...) {
    self->form_.ReportCurrentException();
  }
  return TheCommonControls().DefSubclassProc(list, message, w, l);
}

// The tooltip of `line`, under the mouse at `at` in the list.
void MainWindow::ShowList1Tip(int line, POINT at) {
  const HWND list1 = control(kList1Id);
  const Text tip = tips_held_ > 0 ? Text() : form_.List1ToolTip(line);
  if (tip.empty()) {
    HideList1Tip();
    return;
  }
  const std::size_t line_size =
      std::min(tip.size(), static_cast<std::size_t>(std::max<LRESULT>(
                               0, ::SendMessageW(list1, LB_GETTEXTLEN, line, 0))));
  const std::wstring text =
      ToolTipText(list1_tip_, TextView(tip).substr(0, line_size), TextView(tip).substr(line_size));
  TOOLINFOW tool = ToolFor(window_, list1);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(list1_tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  // Below the mouse, at the first edge between lines there, so that no line
  // shows cut in half above the tooltip.
  POINT place{at.x, at.y + Scale(kTipBelowMouse)};
  RECT shown{};
  if (::SendMessageW(list1, LB_GETITEMRECT, static_cast<WPARAM>(line),
                     reinterpret_cast<LPARAM>(&shown)) != LB_ERR &&
      shown.bottom > shown.top) {
    const LONG height = shown.bottom - shown.top;
    const LONG below = std::max<LONG>(0, place.y - shown.bottom);
    place.y = shown.bottom + (below + height - 1) / height * height;
  }
  ::ClientToScreen(list1, &place);
  ::SendMessageW(list1_tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
  ::SendMessageW(list1_tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  // Wholly on the screen: moved back by what runs over an edge of its work
  // area.
  RECT tip_rect{};
  ::GetWindowRect(list1_tip_, &tip_rect);
  const RECT work = WorkAreaOf(window_);
  const LONG right = std::max(work.left - tip_rect.left, std::min(0L, work.right - tip_rect.right));
  const LONG down = std::max(work.top - tip_rect.top, std::min(0L, work.bottom - tip_rect.bottom));
  if (right != 0 || down != 0) {
    ::SendMessageW(list1_tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(place.x + right, place.y + down));
  }
  list1_tip_line_ = line;
}

void MainWindow::HideList1Tip() {
  if (list1_tip_line_ < 0) return;
  TOOLINFOW tool = ToolFor(window_, control(kList1Id));
  ::SendMessageW(list1_tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  list1_tip_line_ = -1;
}

void MainWindow::FillLabel1Tip(NMTTDISPINFOW& tip) {
  const HWND label1 = control(kLabel1Id);
  std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(label1)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(
      ::GetWindowTextW(label1, caption.data(), static_cast<int>(caption.size()))));
  RECT client{};
  ::GetClientRect(label1, &client);
  const WindowDcHandle dc = GetWindowDc(label1);
  const SelectedObject selected =
      Select(dc.get().dc, reinterpret_cast<HFONT>(::SendMessageW(label1, WM_GETFONT, 0, 0)));
  SIZE size{};
  const bool whole = ::GetTextExtentPoint32W(dc.get().dc, caption.c_str(),
                                             static_cast<int>(caption.size()), &size) &&
                     size.cx <= client.right - client.left;
  // All of it shows: no tooltip.
  label1_tip_text_ = whole ? std::wstring() : ToolTipText(label1_tip_, FromWide(caption), {});
  tip.lpszText = label1_tip_text_.data();
}

std::wstring MainWindow::ToolTipText(HWND tip, TextView first, TextView more) const {
  const TextWidth width_of = [this](TextView text) {
    const std::wstring wide = ToWide(text);
    SIZE size{};
    ::GetTextExtentPoint32W(measure_dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<double>(size.cx);
  };
  // The tooltip's border and margins around its text, where the control
  // says (Wine's does not, and has 3 pixels a side).
  RECT frame{0, 0, 0, 0};
  if (!::SendMessageW(tip, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&frame))) {
    frame = {0, 0, Scale(2 * kTipFrame), 0};
  }
  const RECT work = WorkAreaOf(window_);
  const double max_width = (work.right - work.left) - (frame.right - frame.left);
  const std::vector<Text> lines =
      ToolTipLines(first, more, max_width, kSentenceCharacters * width_of(u"\u3042"), width_of);
  // The tooltip breaks its text at the line breaks only, as wide as the
  // widest line.
  Text text;
  double widest = 0;
  for (const Text& line : lines) {
    if (!text.empty()) text += u"\r\n";
    text += line;
    widest = std::max(widest, width_of(line));
  }
  ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, static_cast<LPARAM>(widest) + 1);
  return ToWide(text);
}

void MainWindow::HideToolTips() {
  HideList1Tip();
  ::SendMessageW(label1_tip_, TTM_POP, 0, 0);
}

void MainWindow::HoldToolTips(bool hold) {
  tips_held_ += hold ? 1 : -1;
  if (hold) HideToolTips();
  ::SendMessageW(label1_tip_, TTM_ACTIVATE, tips_held_ == 0, 0);
}

// The drop's block is read by our own code, never past the size the system
// gives it; the drop is let go before Form1 may show a message. A handle
// that is no drop (any program may send WM_DROPFILES) drops nothing.
void MainWindow::Drop(HDROP dropped) {
  std::vector<Text> paths;
  {
    const DropHandle drop(dropped);
    const auto memory = reinterpret_cast<HGLOBAL>(drop.get());
    if (const auto* block = static_cast<const std::byte*>(::GlobalLock(memory))) {
      const ScopeExit unlock([memory] { ::GlobalUnlock(memory); });
      paths = ReadDropFiles(std::span(block, ::GlobalSize(memory)), [this](std::string_view bytes) {
        return system_.FromSystemCodePage(bytes);
      });
    }
  }
  form_.Dropped(paths);
}

void MainWindow::OpenSelectedFolderEntry() {
  const auto index = ::SendMessageW(control(kDir1Id), LB_GETCURSEL, 0, 0);
  if (index >= 0) form_.Dir1Opened(static_cast<std::size_t>(index));
}

void MainWindow::DrawFolderEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= dir1_entries_.size()) return;
  const FolderListEntry& line = dir1_entries_[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int icon_left = item.rcItem.left + Scale(2 + line.depth * kFolderIndent);
  const int icon_size = Scale(kIconSize);
  const int icon_top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - icon_size) / 2;
  if (const IconHandle& icon = line.open ? open_folder_ : closed_folder_; icon) {
    ::DrawIconEx(item.hDC, icon_left, icon_top, icon.get(), icon_size, icon_size, 0, nullptr,
                 DI_NORMAL);
  } else {
    DrawFolderGlyph(item.hDC, icon_left, icon_top, icon_size, line.open);
  }
  const std::wstring name =
      ToWide(WindowText(item.hwndItem, static_cast<int>(item.itemID), LB_GETTEXTLEN, LB_GETTEXT));
  RECT text = item.rcItem;
  text.left = icon_left + icon_size + Scale(3);
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  // Unless the window's keyboard cues hide it, as until a key is used in a
  // window opened by the mouse.
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    ::DrawFocusRect(item.hDC, &item.rcItem);
  }
}

bool MainWindow::Option1Item0Value() const {
  return ::SendMessageW(control(kOption1Item0Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetLabel1Caption(const Text& caption) {
  const HWND label1 = control(kLabel1Id);
  const std::wstring wide = ToWide(caption);
  ::SetWindowTextW(label1, wide.c_str());
  // Its name says what it holds; what it shows is said after.
  names_->SetDescription(label1, wide);
}

void MainWindow::List1Clear() {
  HideList1Tip();
  ::SendMessageW(control(kList1Id), LB_RESETCONTENT, 0, 0);
  // A folder with no files ends its refresh here: the scroll range of the
  // folder before goes now, not when the lines are done.
  list1_widest_ = 0;
  FitList1Width();
}

void MainWindow::List1AddItem(const Text& line) {
  // An unsorted list box appends.
  const std::wstring wide = ToWide(line);
  // The list's handle is kept: under Wine, finding it again for each of
  // 100,000 lines is a round trip to its server each time.
  ::SendMessageW(list1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  TakeList1Line(wide);
}

void MainWindow::SetList1Redraw(bool redraw) {
  const HWND list1 = control(kList1Id);
  // While a refresh adds its lines, the list's own procedure takes them
  // directly: under Wine, passing 100,000 lines through the subclass that
  // watches the mouse costs seconds. Nothing is hovered meanwhile, on the
  // one thread.
  if (redraw) {
    TheCommonControls().SetWindowSubclass(list1, List1Procedure, 0,
                                          reinterpret_cast<DWORD_PTR>(this));
  } else {
    TheCommonControls().RemoveWindowSubclass(list1, List1Procedure, 0);
  }
  ::SendMessageW(list1, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) {
    // The refresh is done: every line can be scrolled to its end.
    FitList1Width();
    ::InvalidateRect(list1, nullptr, TRUE);
  }
}

void MainWindow::ShowDir1Entries(const std::vector<FolderListEntry>& entries, std::size_t current) {
  const HWND dir1 = control(kDir1Id);
  ::SendMessageW(dir1, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(dir1, LB_RESETCONTENT, 0, 0);
  for (const FolderListEntry& entry : entries) {
    ::SendMessageW(dir1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry.name).c_str()));
  }
  dir1_entries_ = entries;
  ::SendMessageW(dir1, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  ::SendMessageW(dir1, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(dir1, nullptr, TRUE);
}

void MainWindow::SetDrive1Lines(const std::vector<Text>& lines) {
  const HWND drive1 = control(kDrive1Id);
  ::SendMessageW(drive1, CB_RESETCONTENT, 0, 0);
  for (const Text& line : lines) {
    ::SendMessageW(drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(line).c_str()));
  }
}

void MainWindow::SetDrive1Index(int index) {
  ::SendMessageW(control(kDrive1Id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int MainWindow::List1ListIndex() const {
  return static_cast<int>(::SendMessageW(control(kList1Id), LB_GETCURSEL, 0, 0));
}

void MainWindow::SetList1ListIndex(int index) {
  // LB_SETCURSEL scrolls the line into view too.
  ::SendMessageW(control(kList1Id), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int MainWindow::List1ListCount() const {
  return static_cast<int>(::SendMessageW(control(kList1Id), LB_GETCOUNT, 0, 0));
}

Text MainWindow::List1Line(int index) const {
  return WindowText(control(kList1Id), index, LB_GETTEXTLEN, LB_GETTEXT);
}

void MainWindow::SetClipboardText(const Text& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) throw SystemError(::GetLastError(), u"", "cannot take memory for the clipboard");
  auto* copy = static_cast<wchar_t*>(::GlobalLock(memory.get()));
  if (copy == nullptr) {
    throw SystemError(::GetLastError(), u"", "cannot write into the clipboard's memory");
  }
  std::copy(text.begin(), text.end(), copy);
  copy[text.size()] = L'\0';
  ::GlobalUnlock(memory.get());
  if (!::OpenClipboard(window_)) {
    throw SystemError(::GetLastError(), u"", "cannot open the clipboard");
  }
  const ClipboardHold clipboard(true);
  // What was copied before goes: a clipboard that cannot be emptied would
  // keep its other forms beside this text, for a paste to take instead.
  if (!::EmptyClipboard()) throw SystemError(::GetLastError(), u"", "cannot empty the clipboard");
  if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
    throw SystemError(::GetLastError(), u"", "cannot put the text on the clipboard");
  }
  memory.release();  // the clipboard's now
}

MenuHandle MainWindow::MakeList1Menu() const {
  MenuHandle menu(::CreatePopupMenu());
  if (!menu) throw SystemError(::GetLastError(), u"", "cannot make the list's menu");
  AppendMenuEntry(menu.get(), kCopyLineId, ToWide(kCopyLineCaption) + L"\tCtrl+C",
                  form_.CanCopyLine());
  AppendMenuEntry(menu.get(), kCopyAllLinesId, ToWide(kCopyAllLinesCaption),
                  form_.CanCopyAllLines());
  AppendMenuEntry(menu.get(), kCopyShortNameId, ToWide(kCopyShortNameCaption),
                  form_.CanCopyShortName());
  AppendMenuEntry(menu.get(), kCopyShortPathId, ToWide(kCopyShortPathCaption) + L"\tCtrl+Shift+C",
                  form_.CanCopyShortPath());
  // What the label's menu copies, where the keyboard reaches it.
  AppendMenuEntry(menu.get(), kCopyFolderPathId, ToWide(kCopyFolderShortPathCaption),
                  form_.CanCopyFolderShortPath());
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuEntry(menu.get(), kReloadId, ToWide(kReloadCaption) + L"\tF5", true);
  return menu;
}

MenuHandle MainWindow::MakeLabel1Menu() const {
  MenuHandle menu(::CreatePopupMenu());
  if (!menu) throw SystemError(::GetLastError(), u"", "cannot make the label's menu");
  AppendMenuEntry(menu.get(), kCopyFolderPathId, ToWide(kCopyFolderPathCaption),
                  form_.CanCopyFolderShortPath());
  return menu;
}

// A right-click chooses the line under the mouse first, as Explorer does.
// The menu key opens the menu under the chosen line, or at the list's
// corner when none is chosen.
void MainWindow::ShowList1Menu(POINT at, bool from_keyboard) {
  const HWND list1 = control(kList1Id);
  HideList1Tip();
  if (from_keyboard) {
    RECT client{};
    ::GetClientRect(list1, &client);
    RECT line{};
    const int chosen = List1ListIndex();
    if (chosen >= 0 && ::SendMessageW(list1, LB_GETITEMRECT, static_cast<WPARAM>(chosen),
                                      reinterpret_cast<LPARAM>(&line)) != LB_ERR) {
      at = {std::clamp(line.left + Scale(kMenuIndent), client.left, client.right),
            std::clamp(line.bottom, client.top, client.bottom)};
    } else {
      at = {client.left, client.top};
    }
    ::ClientToScreen(list1, &at);
  } else {
    POINT inside = at;
    ::ScreenToClient(list1, &inside);
    if (const int line = LineAt(list1, inside); line >= 0) SetList1ListIndex(line);
  }
  const MenuHandle menu = MakeList1Menu();
  ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   window_, nullptr);
}

void MainWindow::ShowLabel1Menu(POINT at) {
  if (at.x == -1 && at.y == -1) {
    RECT label{};
    ::GetWindowRect(control(kLabel1Id), &label);
    at = {label.left, label.bottom};
  }
  const MenuHandle menu = MakeLabel1Menu();
  ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   window_, nullptr);
}

void MainWindow::ShowMessage(const Text& text, std::int32_t style, const Text& title) {
  // No tooltip over a message box, nor while it is open.
  HoldToolTips(true);
  const ScopeExit tips_back([this] { HoldToolTips(false); });
  message_box_(window_, text, style, title);
}

void MainWindow::SetBusyCursor(bool busy) {
  // No messages are handled during a refresh, so nothing resets the cursor
  // before it is put back.
  if (busy) {
    cursor_before_busy_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  } else {
    ::SetCursor(cursor_before_busy_ != nullptr ? cursor_before_busy_
                                               : ::LoadCursorW(nullptr, IDC_ARROW));
  }
}

}  // namespace tarnwick::win32
