// The bench's reference lock-key indicator: the least a program can do to show the lock keys the
// way the indicator does, so that the bench can set the indicator's figures beside a floor taken
// in the same session. The same popup (size, place, labels, lamps and colours) and the same tray
// icon; its hook only posts a message, and all window work happens after the key has passed.
// Its tray menu ("About", "Exit") opens a box with three labels and an OK button that closes it,
// the floor for the resident programs' About loops. With the arguments "icon W H ID FILE" the box
// carries the icon resource ID of the program FILE at W x H and at the small size, as a program's
// box with that icon does: Wine's window manager converts both at every show, and that work has
// memory of its own.
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kClass[] = "RefIndicator";
constexpr char kCaption[] = "Reference Lock Indicator";
constexpr UINT kLockReleased = WM_APP;
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kAboutItem = 1, kExitItem = 2;
constexpr char kAboutClass[] = "RefAbout";
constexpr COLORREF kOn = 0x00FF00;
constexpr COLORREF kOff = 0x008080;

// The indicator's layout in twips: window, labels and lamps (Num, Caps, Scroll from the left).
constexpr int kWidth = 4680, kHeight = 1455, kBottomMargin = 500;
constexpr int kLampLeft = 1200, kLampStep = 960, kLampTop = 720, kLampSide = 375;
struct Label {
  const char* text;
  int left, top, width, height;
};
constexpr Label kLabels[] = {
    {"Num", 1080, 240, 615, 375}, {"Caps", 2040, 240, 615, 375}, {"Scroll", 2880, 240, 735, 375}};
constexpr UINT kLockKeys[] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};

HWND popup = nullptr;
HWND about = nullptr;
HMENU menu = nullptr;
HHOOK hook = nullptr;
HFONT font = nullptr;
int twipsPerPixel = 15;
int aboutIconWidth = 0, aboutIconHeight = 0;  // no icon
HICON aboutIcons[2] = {};  // the open box's, made when it opens and destroyed with it
COLORREF lamps[3] = {kOff, kOff, kOff};

// Halves away from zero, as the indicator rounds.
int Pixels(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }

RECT LampRect(int lamp) {
  const int left = kLampLeft + kLampStep * lamp;
  return {Pixels(left), Pixels(kLampTop), Pixels(left + kLampSide), Pixels(kLampTop + kLampSide)};
}

int LampOf(UINT vk) {
  for (int i = 0; i < 3; ++i) {
    if (kLockKeys[i] == vk) return i;
  }
  return -1;
}

// Runs in the input path of every key of the desktop: it posts and passes the key on.
LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if ((key->flags & LLKHF_UP) && LampOf(key->vkCode) >= 0) PostMessageA(popup, kLockReleased, key->vkCode, 0);
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

void OnLockReleased(UINT vk) {
  const int lamp = LampOf(vk);
  if (lamp < 0) return;
  // Read after the release has been recorded: the low bit is the lock's new state.
  const COLORREF colour = (GetKeyState(static_cast<int>(vk)) & 1) ? kOn : kOff;
  if (colour != lamps[lamp]) {
    lamps[lamp] = colour;
    const RECT r = LampRect(lamp);
    InvalidateRect(popup, &r, FALSE);
  }
  SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  SetTimer(popup, kHideTimer, 1000, nullptr);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ oldFont = SelectObject(dc, font);
  for (const Label& label : kLabels) {
    RECT r{Pixels(label.left), Pixels(label.top), Pixels(label.left + label.width), Pixels(label.top + label.height)};
    DrawTextA(dc, label.text, -1, &r, DT_NOPREFIX | DT_SINGLELINE | DT_LEFT);
  }
  SelectObject(dc, oldFont);
  HPEN outline = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ oldPen = SelectObject(dc, outline);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  for (int i = 0; i < 3; ++i) {
    const RECT r = LampRect(i);
    SetDCBrushColor(dc, lamps[i]);
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(outline);
  EndPaint(window, &ps);
}

void TrayIcon(DWORD message) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = popup;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallback;
  data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
  lstrcpynA(data.szTip, "Reference", sizeof data.szTip);
  Shell_NotifyIconA(message, &data);
}

// Where the icons of the box come from: an icon resource of another program, at the box's sizes.
HMODULE iconModule = nullptr;
int iconResource = 0;

HICON LoadedIcon(int width, int height) {
  return static_cast<HICON>(LoadImageA(iconModule, MAKEINTRESOURCEA(iconResource), IMAGE_ICON, width, height, 0));
}

// The box as the programs' About boxes are: sizable frame, centred, three labels and OK.
void OpenAbout() {
  if (about) {
    SetForegroundWindow(about);
    return;
  }
  const int width = Pixels(4455), height = Pixels(2580);
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  about = CreateWindowExA(0, kAboutClass, "About", WS_OVERLAPPEDWINDOW, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                          (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
  const char* const texts[] = {"Reference", "Lock keys", "Windows"};
  for (int i = 0; i < 3; ++i) {
    HWND label = CreateWindowExA(0, "STATIC", texts[i], WS_CHILD | WS_VISIBLE, Pixels(720), Pixels(360 + 480 * i),
                                 Pixels(3375), Pixels(375), about, nullptr, nullptr, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  HWND ok = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, Pixels(1560),
                            Pixels(1800), Pixels(1575), Pixels(615), about, reinterpret_cast<HMENU>(IDOK), nullptr,
                            nullptr);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (aboutIconWidth > 0) {
    // Loaded at each opening, as the programs' boxes load theirs.
    aboutIcons[0] = LoadedIcon(aboutIconWidth, aboutIconHeight);
    aboutIcons[1] = LoadedIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessageA(about, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(aboutIcons[0]));
    SendMessageA(about, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(aboutIcons[1]));
  }
  ShowWindow(about, SW_SHOW);
  UpdateWindow(about);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    about = nullptr;
    for (HICON& icon : aboutIcons) {
      if (icon) DestroyIcon(icon);
      icon = nullptr;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void OnTrayCallback(UINT mouseMessage) {
  if (mouseMessage != WM_RBUTTONUP) return;
  // The owner in front, or the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(popup);
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, popup, nullptr);
  PostMessageA(popup, WM_NULL, 0, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kTrayCallback:
      OnTrayCallback(static_cast<UINT>(lParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kAboutItem) OpenAbout();
      if (LOWORD(wParam) == kExitItem) DestroyWindow(window);
      return 0;
    case kLockReleased:
      OnLockReleased(static_cast<UINT>(wParam));
      return 0;
    case WM_TIMER:
      KillTimer(window, kHideTimer);
      ShowWindow(window, SW_HIDE);
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole client area
    case WM_DESTROY:
      if (hook) UnhookWindowsHookEx(hook);
      TrayIcon(NIM_DELETE);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (const char* argument = std::strstr(commandLine, "icon ")) {
    // strtol, not sscanf, which would double the size of this reference.
    char* rest = nullptr;
    aboutIconWidth = static_cast<int>(std::strtol(argument + 5, &rest, 10));
    aboutIconHeight = static_cast<int>(std::strtol(rest, &rest, 10));
    iconResource = static_cast<int>(std::strtol(rest, &rest, 10));
    while (*rest == ' ') ++rest;
    iconModule = LoadLibraryExA(rest, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!iconModule || aboutIconWidth <= 0 || aboutIconHeight <= 0) return 2;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  twipsPerPixel = 1440 / dpi;

  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);
  wc.lpfnWndProc = AboutProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kAboutClass;
  RegisterClassA(&wc);
  menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kAboutItem, "About");
  AppendMenuA(menu, MF_STRING, kExitItem, "Exit");
  // An owned window gets no taskbar button, as the indicator's popup has none.
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  const int width = Pixels(kWidth), height = Pixels(kHeight);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int top = Pixels(static_cast<double>(screenHeight - height) * twipsPerPixel - kBottomMargin);
  popup = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, kCaption, WS_POPUP, screenWidth - width, top, width,
                          height, owner, nullptr, instance, nullptr);
  if (!popup) return 1;
  font = CreateFontA(-(12 * dpi + 36) / 72, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  for (int i = 0; i < 3; ++i) {
    if (GetKeyState(static_cast<int>(kLockKeys[i])) & 1) lamps[i] = kOn;
  }
  TrayIcon(NIM_ADD);
  hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, instance, 0);
  if (!hook) {
    DestroyWindow(popup);
    return 1;
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  DeleteObject(font);
  return 0;
}
