#include "forms/win32/window.h"

#include "forms/error.h"
#include "forms/pixels.h"
#include "forms/win32/backend.h"
#include "forms/win32/start_marks.h"
#include "forms/window_styles.h"

namespace forms::win32 {
namespace {

static_assert(kWsPopup == WS_POPUP && kWsClipChildren == WS_CLIPCHILDREN &&
              kWsOverlappedWindow == WS_OVERLAPPEDWINDOW && kWsExToolWindow == WS_EX_TOOLWINDOW &&
              kWsExAppWindow == WS_EX_APPWINDOW && kWsExNoActivate == WS_EX_NOACTIVATE);

constexpr UINT_PTR kTimerBase = 1000;
constexpr UINT kPostedWindowPos = WM_APP + 0x4B;
constexpr UINT kMenuBase = 1000;
constexpr int kControlIdBase = 100;
const char kChildClass[] = "KbdFormsPictureBox";

COLORREF ToColorRef(Colour colour) {
  if (colour & kSystemColour) return GetSysColor(static_cast<int>(colour & 0xFF));
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

int ButtonOf(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return kMiddleButton;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP: return GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? kXButton1 : kXButton2;
    default: return 0;
  }
}

int ButtonsHeld(WPARAM wParam) {
  return ((wParam & MK_LBUTTON) ? kLeftButton : 0) | ((wParam & MK_RBUTTON) ? kRightButton : 0) |
         ((wParam & MK_MBUTTON) ? kMiddleButton : 0) | ((wParam & MK_XBUTTON1) ? kXButton1 : 0) |
         ((wParam & MK_XBUTTON2) ? kXButton2 : 0);
}

void RegisterClassOnce(HINSTANCE instance, const char* name, WNDPROC procedure, HICON icon) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, name, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

}  // namespace

NativeWindow::NativeWindow(Win32Backend& backend, const WindowDescription& description, EventSink& sink)
    : backend_(backend), description_(description), sink_(sink) {
  Create();
}

NativeWindow::~NativeWindow() {
  *alive_ = false;
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  for (auto& control : controls_) {
    if (control.font) DeleteObject(control.font);
    if (control.menu) DestroyMenu(control.menu);
  }
  if (windowFont_) DeleteObject(windowFont_);
  if (icon_) DestroyIcon(icon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

NativeWindow* NativeWindow::From(HWND window) {
  return reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

NativeWindow* NativeWindow::OfTopLevel(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  // Only a window of our classes carries this object in its user data; the class's procedure tells,
  // however the window itself has been subclassed.
  if (!root || GetClassLongPtrA(root, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&NativeWindow::Procedure)) {
    return nullptr;
  }
  return From(root);
}

HFONT NativeWindow::MakeFont(const Font& font) const {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int height = -static_cast<int>(font.points * static_cast<float>(dpi) / 72.0f + 0.5f);
  return CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     font.face);
}

// Made on first use: a window without text, such as a hidden callback window, never pays for a font.
HFONT NativeWindow::WindowFont() {
  if (!windowFont_) windowFont_ = MakeFont(description_.font);
  return windowFont_;
}

void NativeWindow::Create() {
  const HINSTANCE instance = backend_.Instance();
  const int tx = backend_.TwipsPerPixelX(), ty = backend_.TwipsPerPixelY();
  if (description_.background) skin_.StartDecoding(instance, description_.background);
  RegisterClassOnce(instance, description_.className, &NativeWindow::Procedure, nullptr);

  const WindowStyles styles = StylesOf(description_);
  const DWORD style = styles.style, exStyle = styles.exStyle;
  HWND owner = styles.owned ? backend_.HiddenOwner() : nullptr;
  RECT outer{0, 0, TwipsToPixels(description_.clientWidth, tx), TwipsToPixels(description_.clientHeight, ty)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (description_.hasPosition) {
    x = TwipsToPixels(description_.clientLeft, tx) + outer.left;
    y = TwipsToPixels(description_.clientTop, ty) + outer.top;
  } else if (description_.frame == Frame::None) {
    x = y = 0;  // pop-ups take no default position
  }
  window_ = CreateWindowExA(exStyle, description_.className, description_.caption, style, x, y,
                            outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, instance, this);
  if (!window_) Fail(std::string("Cannot create window ") + description_.className);
  // A window without frame or taskbar button shows its icon nowhere until something asks for it:
  // Alt+Tab with WM_GETICON (Wine's window manager at the first show), the tray through Icon().
  if (description_.frame != Frame::None || description_.taskbarButton) LoadIcons();
  CreateControls();
  Mark(StartMark::WindowCreated);
}

HICON NativeWindow::LargeIcon() {
  if (!icon_ && description_.icon) {
    icon_ = static_cast<HICON>(LoadImageA(backend_.Instance(), MAKEINTRESOURCEA(description_.icon), IMAGE_ICON,
                                          description_.iconWidth, description_.iconHeight, 0));
  }
  return icon_;
}

void NativeWindow::LoadIcons() {
  if (iconsLoaded_ || !description_.icon) return;
  iconsLoaded_ = true;
  const HINSTANCE instance = backend_.Instance();
  LargeIcon();
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(description_.icon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (icon_) {
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_ : icon_));
  }
}

HICON NativeWindow::Icon() {
  LoadIcons();
  return smallIcon_ ? smallIcon_ : icon_;
}

void NativeWindow::CreateControls() {
  const HINSTANCE instance = backend_.Instance();
  const int tx = backend_.TwipsPerPixelX(), ty = backend_.TwipsPerPixelY();
  controls_.resize(description_.controls.size());
  HMENU currentMenu = nullptr;
  for (size_t i = 0; i < description_.controls.size(); ++i) {
    const ControlDescription& d = description_.controls[i];
    Control& c = controls_[i];
    const PixelRect pixels = ControlPixels(d, tx, ty);
    c.pixels = {pixels.left, pixels.top, pixels.right, pixels.bottom};
    c.fill = d.fillColour;
    if (d.hasFont) c.font = MakeFont(d.font);
    const DWORD visible = d.visible ? WS_VISIBLE : 0;
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + i));
    switch (d.kind) {
      case Kind::PictureBox:
        RegisterClassOnce(instance, kChildClass, &NativeWindow::ChildProcedure, nullptr);
        c.child = CreateWindowExA(0, kChildClass, "", WS_CHILD | visible, c.pixels.left, c.pixels.top,
                                  c.pixels.right - c.pixels.left, c.pixels.bottom - c.pixels.top, window_, id,
                                  instance, nullptr);
        SetWindowLongPtrA(c.child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        break;
      case Kind::PushButton:
        c.child = CreateWindowExA(0, "BUTTON", d.text, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | visible,
                                  c.pixels.left, c.pixels.top, c.pixels.right - c.pixels.left,
                                  c.pixels.bottom - c.pixels.top, window_, id, instance, nullptr);
        SendMessageA(c.child, WM_SETFONT, reinterpret_cast<WPARAM>(c.font ? c.font : WindowFont()), FALSE);
        if (!focus_) focus_ = c.child;
        break;
      case Kind::Menu:
        c.menu = CreatePopupMenu();
        currentMenu = c.menu;
        break;
      case Kind::MenuItem:
        if (currentMenu) AppendMenuA(currentMenu, MF_STRING, kMenuBase + i, d.text);
        break;
      case Kind::Timer:
        if (d.enabled && d.interval > 0) ::SetTimer(window_, kTimerBase + i, static_cast<UINT>(d.interval), nullptr);
        break;
      default:
        break;
    }
  }
}

HWND NativeWindow::ControlWindow(ControlId control) const { return controls_[static_cast<size_t>(control)].child; }

void NativeWindow::InvalidateControl(ControlId control) {
  const RECT& r = controls_[static_cast<size_t>(control)].pixels;
  // With a show posted, the change waits for it: a change made from inside an input hook then
  // costs that hook no call to the window manager.
  if (postedFlags_ != 0) {
    UnionRect(&postedInvalid_, &postedInvalid_, &r);
    return;
  }
  InvalidateRect(window_, &r, FALSE);
}

void NativeWindow::InvalidatePosted() {
  if (IsRectEmpty(&postedInvalid_)) return;
  InvalidateRect(window_, &postedInvalid_, FALSE);
  SetRectEmpty(&postedInvalid_);
}

void NativeWindow::SetFill(ControlId control, Colour colour) {
  Control& c = controls_[static_cast<size_t>(control)];
  if (c.fill == colour) return;
  c.fill = colour;
  InvalidateControl(control);
}

void NativeWindow::SetPicture(ControlId control, PictureRef picture) {
  Control& c = controls_[static_cast<size_t>(control)];
  if (c.picture == picture) return;
  c.picture = std::move(picture);
  InvalidateControl(control);
}

void NativeWindow::SetTimer(ControlId control, bool enabled) {
  const UINT_PTR id = kTimerBase + static_cast<UINT_PTR>(control);
  const int interval = description_.controls[static_cast<size_t>(control)].interval;
  if (enabled && interval > 0) {
    ::SetTimer(window_, id, static_cast<UINT>(interval), nullptr);
  } else {
    KillTimer(window_, id);
  }
}

// SetTimer on an existing timer replaces its countdown and its period.
void NativeWindow::RearmTimer(ControlId control, unsigned milliseconds) {
  ::SetTimer(window_, kTimerBase + static_cast<UINT_PTR>(control), milliseconds, nullptr);
}

void NativeWindow::PopupMenu(ControlId menu, unsigned flags) {
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(controls_[static_cast<size_t>(menu)].menu, flags, at.x, at.y, 0, window_, nullptr);
  // Without a message after the menu, a second click on the tray icon would not open it again.
  PostMessageA(window_, WM_NULL, 0, 0);
}

ControlId NativeWindow::ControlAt(POINT point) const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (description_.controls[i].kind == Kind::PictureControl && PtInRect(&controls_[i].pixels, point)) {
      return static_cast<ControlId>(i);
    }
  }
  return kNoControl;
}

bool NativeWindow::SetPointer() {
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(window_, &at);
  const ControlId control = ControlAt(at);
  if (control == kNoControl) return false;
  const int pointer = description_.controls[static_cast<size_t>(control)].pointer;
  if (!pointer) return false;
  SetCursor(static_cast<HCURSOR>(LoadImageA(backend_.Instance(), MAKEINTRESOURCEA(pointer), IMAGE_CURSOR, 0, 0,
                                            LR_SHARED)));
  return true;
}

void NativeWindow::Raise(EventType type, ControlId control, int button, int shift, POINT at) {
  Event event;
  event.type = type;
  event.control = control;
  event.button = button;
  event.shift = shift;
  event.x = static_cast<Twips>(at.x * backend_.TwipsPerPixelX());
  event.y = static_cast<Twips>(at.y * backend_.TwipsPerPixelY());
  sink_.OnEvent(event);
}

void NativeWindow::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                    (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  // Every event goes to the control whose rectangle holds the pointer, or to the background. No
  // capture is taken: releasing one makes Windows and Wine post a move at the pointer, and that
  // move would give a just-released control its hover look straight back.
  const ControlId under = ControlAt(at);
  POINT local = at;
  if (under != kNoControl) {
    local.x -= controls_[static_cast<size_t>(under)].pixels.left;
    local.y -= controls_[static_cast<size_t>(under)].pixels.top;
  }
  const bool isUp = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
  const WPARAM heldKey = heldButton_ == kLeftButton ? MK_LBUTTON : MK_RBUTTON;
  if (heldButton_ != 0 && !isUp && !(wParam & heldKey)) {
    // Released over another window: that press can no longer end in a click here.
    heldButton_ = 0;
    pressed_ = kNoControl;
  }
  // Windows and Wine also post moves that do not move: only a new position is a move, or it
  // would undo the look that a press or release has just given.
  const bool still = hasPointer_ && at.x == pointer_.x && at.y == pointer_.y;
  pointer_ = at;
  hasPointer_ = true;
  switch (message) {
    case WM_MOUSEMOVE:
      if (still) break;
      Raise(EventType::MouseMove, under, ButtonsHeld(wParam), shift, local);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: {
      const int button = ButtonOf(message, wParam);
      // A press is the left or right button that went down first; the others never take part.
      if (heldButton_ == 0 && (button == kLeftButton || button == kRightButton)) {
        heldButton_ = button;
        pressed_ = under;
      }
      Raise(EventType::MouseDown, under, button, shift, local);
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP: {
      const int button = ButtonOf(message, wParam);
      // A click is a left press and release over the same control.
      const bool click =
          button == kLeftButton && heldButton_ == kLeftButton && under != kNoControl && under == pressed_;
      if (button == heldButton_) {
        heldButton_ = 0;
        pressed_ = kNoControl;
      }
      const std::shared_ptr<bool> alive = alive_;
      Raise(EventType::MouseUp, under, button, shift, local);
      if (*alive && click) Raise(EventType::Click, under);
      break;
    }
    default:
      break;
  }
}

void NativeWindow::Paint() {
  // The skin first: a decode that failed is reported before anything is drawn.
  skin_.Bitmap();
  PAINTSTRUCT ps;
  HDC target = BeginPaint(window_, &ps);
  RECT client;
  GetClientRect(window_, &client);
  if (!DrawsOverBackground()) {
    // Nothing drawn over the background, so nothing can flicker: straight to the window. The
    // launcher's first paint is this one.
    PaintBackground(target, client);
  } else {
    // Painted off-screen first so a lamp or picture change never flickers. Only what is repainted
    // goes through the buffer, shifted to its corner: a hover picture needs a buffer of its size,
    // not one of the whole window.
    const int width = ps.rcPaint.right - ps.rcPaint.left, height = ps.rcPaint.bottom - ps.rcPaint.top;
    HDC dc = backend_.BackBuffer(target, width, height);
    SetViewportOrgEx(dc, -ps.rcPaint.left, -ps.rcPaint.top, nullptr);
    PaintBackground(dc, client);
    PaintControls(dc);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    BitBlt(target, ps.rcPaint.left, ps.rcPaint.top, width, height, dc, 0, 0, SRCCOPY);
  }
  EndPaint(window_, &ps);
  Mark(StartMark::FirstPaint);
}

bool NativeWindow::DrawsOverBackground() const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    const ControlDescription& d = description_.controls[i];
    if (!d.visible) continue;
    if (d.kind == Kind::Label || d.kind == Kind::Shape) return true;
    if (d.kind == Kind::PictureControl && controls_[i].picture) return true;
  }
  return false;
}

void NativeWindow::PaintBackground(HDC dc, const RECT& client) {
  HBITMAP skin = skin_.Bitmap();
  const SIZE skinSize = skin_.Size();
  // A skin that covers the client area leaves no colour to fill in.
  if (!skin || skinSize.cx < client.right || skinSize.cy < client.bottom) {
    // The DC's own brush, recoloured: nothing to make and free at each paint.
    SetDCBrushColor(dc, ToColorRef(description_.backColour));
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  if (skin) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, skin);
    BitBlt(dc, 0, 0, skinSize.cx, skinSize.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
}

void NativeWindow::PaintControls(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < controls_.size(); ++i) {
    const ControlDescription& d = description_.controls[i];
    Control& c = controls_[i];
    if (!d.visible) continue;
    switch (d.kind) {
      case Kind::Label: {
        HGDIOBJ old = SelectObject(dc, c.font ? c.font : WindowFont());
        SetTextColor(dc, ToColorRef(d.foreColour));
        RECT r = c.pixels;
        const UINT format = DT_NOPREFIX | (d.wrap ? DT_WORDBREAK : DT_SINGLELINE) |
                            (d.align == Align::Centre ? DT_CENTER : DT_LEFT);
        DrawTextA(dc, d.text, -1, &r, format);
        SelectObject(dc, old);
        break;
      }
      case Kind::Shape: {
        SetDCBrushColor(dc, ToColorRef(c.fill));
        SetDCPenColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
        const int side = (c.pixels.right - c.pixels.left) < (c.pixels.bottom - c.pixels.top)
                             ? c.pixels.right - c.pixels.left
                             : c.pixels.bottom - c.pixels.top;
        const int x = c.pixels.left + (c.pixels.right - c.pixels.left - side) / 2;
        const int y = c.pixels.top + (c.pixels.bottom - c.pixels.top - side) / 2;
        Ellipse(dc, x, y, x + side, y + side);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        break;
      }
      case Kind::PictureControl:
        if (c.picture) {
          DrawIconEx(dc, c.pixels.left, c.pixels.top, reinterpret_cast<HICON>(c.picture->handle), c.picture->width,
                     c.picture->height, 0, nullptr, DI_NORMAL);
        }
        break;
      default:
        break;
    }
  }
}

// Only a window destroyed without DestroyNativeWindow, which clears the user data first, gets here:
// taken along by its owner, say. This object goes with it, and the form is told.
void NativeWindow::Destroyed() {
  std::unique_ptr<NativeWindow> self(this);
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  Raise(EventType::Destroyed, kNoControl);
}

// As in a dialog with no default button, the push button with the focus is the default one:
// IsDialogMessage presses it on Enter. Esc asks for IDCANCEL, which no control has.
LRESULT NativeWindow::DefaultButton() const {
  HWND focus = GetFocus();
  const int index = focus && GetParent(focus) == window_ ? GetDlgCtrlID(focus) - kControlIdBase : -1;
  if (index < 0 || static_cast<size_t>(index) >= controls_.size()) return 0;
  if (description_.controls[static_cast<size_t>(index)].kind != Kind::PushButton) return 0;
  return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

// Tab and Shift+Tab, sent by IsDialogMessage; the window remembers the control for its next activation.
void NativeWindow::MoveFocus(WPARAM wParam, LPARAM lParam) {
  HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
  if (!next) return;
  focus_ = next;
  SetFocus(next);
}

LRESULT CALLBACK NativeWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  NativeWindow* self = From(window);
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->Destroyed();  // the form's handlers report their own errors
    return DefWindowProcA(window, message, wParam, lParam);
  }
#if KBD_EXCEPTIONS
  try {
    return self->Handle(message, wParam, lParam);
  } catch (const std::exception& error) {
    self->backend_.ReportError(error.what());
  } catch (...) {
    self->backend_.ReportError("Unexpected error");
  }
  return 0;
#else
  return self->Handle(message, wParam, lParam);  // a failure reports and ends the program in place
#endif
}

LRESULT CALLBACK NativeWindow::ChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeWindow* self = From(window);
  if (self && message == WM_MOUSEMOVE) {
    const ControlId control = GetDlgCtrlID(window) - kControlIdBase;
    // The low word is the X position in pixels; for the tray icon's callback it carries the mouse message.
    const POINT at{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    // Raise goes through the application's Dispatch, which stops every failure at this boundary.
    self->Raise(EventType::MouseMove, control, static_cast<int>(wParam & (MK_LBUTTON | MK_RBUTTON)), 0, at);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void NativeWindow::CancelWindowPos() {
  postedFlags_ = 0;
  InvalidatePosted();
}

void NativeWindow::PostWindowPos(HWND insertAfter, unsigned flags) {
  const bool queued = postedFlags_ != 0;  // one message carries the latest request
  postedInsertAfter_ = insertAfter;
  postedFlags_ = flags;
  if (!queued) PostMessageA(window_, kPostedWindowPos, 0, 0);
}

LRESULT NativeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kPostedWindowPos:
      if (postedFlags_ != 0) {
        const unsigned flags = postedFlags_;
        postedFlags_ = 0;
        InvalidatePosted();
        SetWindowPos(window_, postedInsertAfter_, 0, 0, 0, 0, flags);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETICON:
      // An icon asked for before any was set is answered from here with the large image, the one
      // Alt+Tab shows: setting both would have the system convert each of them once more.
      if (!iconsLoaded_ && description_.icon) return reinterpret_cast<LRESULT>(LargeIcon());
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && SetPointer()) return TRUE;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      OnMouse(message, wParam, lParam);
      return 0;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
      OnMouse(message, wParam, lParam);
      return TRUE;  // Windows asks for TRUE from a window that handles the X buttons
    case WM_TIMER:
      if (wParam >= kTimerBase && wParam < kTimerBase + controls_.size()) {
        Raise(EventType::Timer, static_cast<ControlId>(wParam - kTimerBase));
      }
      return 0;
    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      if (lParam == 0 && id >= kMenuBase && id < kMenuBase + controls_.size()) {
        Raise(EventType::Menu, static_cast<ControlId>(id - kMenuBase));
      } else if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
        Raise(EventType::Click, static_cast<ControlId>(id - kControlIdBase));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && focus_) SetFocus(focus_);
      return 0;
    case DM_GETDEFID:
      return DefaultButton();
    case WM_NEXTDLGCTL:
      MoveFocus(wParam, lParam);
      return 0;
    case WM_SETFOCUS:
      if (focus_) SetFocus(focus_);
      return 0;
    case WM_CLOSE:
      Raise(EventType::Close, kNoControl);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) Raise(EventType::EndSession, kNoControl);
      return 0;
    case WM_POWERBROADCAST:
    case WM_WTSSESSION_CHANGE: {
      Event event;
      event.type = message == WM_POWERBROADCAST ? EventType::PowerBroadcast : EventType::SessionChange;
      event.code = static_cast<std::uint32_t>(wParam);
      sink_.OnEvent(event);
      // Nothing of this window is touched after the handler, which may have closed it. TRUE grants
      // a power query, as the default procedure does.
      return message == WM_POWERBROADCAST ? TRUE : 0;
    }
    default:
      if (message == backend_.TaskbarCreatedMessage() && message != 0) {
        Raise(EventType::TaskbarCreated, kNoControl);
        return 0;
      }
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace forms::win32
