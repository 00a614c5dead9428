// The bench's reference for start-up: one window, shown, and a message loop; with the argument
// "tray" it also adds a tray icon, so that "start-up to icon" has a floor measured like the
// programs' own. With "skin FILE" it first decodes that JPEG with the platform's picture loader
// and shows it, the floor for a skinned window; it marks its steps as the programs do
// (KbdStartMarks). With "trips FILE" it is the floor of the launcher's round trips: a click on
// its skinned window closes it and opens the other of two, each decoding the skin as it opens.
// A WM_CLOSE ends it.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <shellapi.h>  // after windows.h, which it needs

#include <cstring>

// As the programs export it (forms/win32/start_marks.h): entry, skin decoded, window created,
// show called, first paint done, message loop.
extern "C" {
__declspec(dllexport) volatile LONGLONG KbdStartMarks[6] = {};
}

namespace {

constexpr char kClass[] = "RefWindow";
constexpr char kOtherClass[] = "RefWindow2";
constexpr char kCaption[] = "Reference Window";

bool tray = false;
bool trips = false;
bool swapping = false;  // a window closed by a round trip, not by the user
const char* skinFile = nullptr;  // in the command line
HINSTANCE module = nullptr;

void Mark(int step) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (!KbdStartMarks[step]) KbdStartMarks[step] = now.QuadPart;
}

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

void PaintSkin(HWND window, HBITMAP skin) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, skin);
  BitBlt(dc, 0, 0, 500, 500, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  EndPaint(window, &ps);
  Mark(4);
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

HWND Open(const char* windowClass);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto skin = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_PAINT:
      if (!skin) break;
      PaintSkin(window, skin);
      return 0;
    case WM_LBUTTONUP: {
      if (!trips) break;
      // The other window, as the launcher's start window and driver page take turns.
      char name[32] = {};
      GetClassNameA(window, name, sizeof name);
      swapping = true;
      DestroyWindow(window);
      swapping = false;
      Open(std::strcmp(name, kClass) == 0 ? kOtherClass : kClass);
      return 0;
    }
    case WM_DESTROY:
      if (skin) DeleteObject(skin);
      if (tray) TrayIcon(window, NIM_DELETE);
      if (!swapping) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The launcher's size, centred; the skin decoded first when there is one.
HWND Open(const char* windowClass) {
  HBITMAP skin = nullptr;
  if (skinFile) {
    skin = LoadJpeg(skinFile);
    if (!skin) return nullptr;
    Mark(1);
  }
  const int width = 499, height = 500;
  HWND window = CreateWindowExA(0, windowClass, kCaption, WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, module,
                                skin);
  if (!window) return nullptr;
  Mark(2);
  Mark(3);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  Mark(0);
  module = instance;
  tray = std::strstr(commandLine, "tray") != nullptr;
  if (const char* argument = std::strstr(commandLine, "skin ")) skinFile = argument + 5;
  if (const char* argument = std::strstr(commandLine, "trips ")) {
    trips = true;
    skinFile = argument + 6;
  }
  if (skinFile) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);
  wc.lpszClassName = kOtherClass;
  RegisterClassA(&wc);
  HWND window = Open(kClass);
  if (!window) return skinFile ? 2 : 1;
  if (tray) TrayIcon(window, NIM_ADD);

  Mark(5);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
