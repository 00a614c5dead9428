// The bench's reference for start-up: one window, shown, and a message loop; with the argument
// "tray" it also adds a tray icon, so that "start-up to icon" has a floor measured like the
// programs' own. With "skin FILE" it first decodes that JPEG with the platform's picture loader
// and shows it, the floor for a skinned window. A WM_CLOSE ends it.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <shellapi.h>  // after windows.h, which it needs

#include <cstring>

namespace {

constexpr char kClass[] = "RefWindow";
constexpr char kCaption[] = "Reference Window";

bool tray = false;
HBITMAP skin = nullptr;

HBITMAP LoadJpeg(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const DWORD size = GetFileSize(file, nullptr);
  HGLOBAL bytes = GlobalAlloc(GMEM_MOVEABLE, size);
  DWORD read = 0;
  const BOOL ok = bytes && ReadFile(file, GlobalLock(bytes), size, &read, nullptr) && read == size;
  if (bytes) GlobalUnlock(bytes);
  CloseHandle(file);
  IStream* stream = nullptr;
  if (!ok || FAILED(CreateStreamOnHGlobal(bytes, TRUE, &stream))) return nullptr;
  HBITMAP bitmap = nullptr;
  IPicture* picture = nullptr;
  if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(&picture)))) {
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0,
                                            0, LR_CREATEDIBSECTION));
    picture->Release();
  }
  stream->Release();
  return bitmap;
}

void PaintSkin(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, skin);
  BitBlt(dc, 0, 0, 500, 500, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  EndPaint(window, &ps);
}

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
  if (message == WM_PAINT && skin) {
    PaintSkin(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  tray = std::strstr(commandLine, "tray") != nullptr;
  if (const char* file = std::strstr(commandLine, "skin ")) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    skin = LoadJpeg(file + 5);
    if (!skin) return 2;
  }
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
