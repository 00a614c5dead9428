// The bench's reference for start-up: one window, shown, and a message loop; with the argument
// "tray" it also adds a tray icon, so that "start-up to icon" has a floor measured like the
// programs' own. A WM_CLOSE ends it.
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <cstring>

namespace {

constexpr char kClass[] = "RefWindow";
constexpr char kCaption[] = "Reference Window";

bool tray = false;

void TrayIcon(HWND window, DWORD message) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_APP;
  data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
  lstrcpynA(data.szTip, "Reference", sizeof data.szTip);
  Shell_NotifyIconA(message, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    if (tray) TrayIcon(window, NIM_DELETE);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  tray = std::strstr(commandLine, "tray") != nullptr;
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);
  // The launcher's size, centred.
  const int width = 499, height = 500;
  HWND window =
      CreateWindowExA(0, kClass, kCaption, WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                      (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  if (tray) TrayIcon(window, NIM_ADD);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
