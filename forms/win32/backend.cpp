#include "forms/win32/backend.h"

#include <objbase.h>
#include <shellapi.h>

#include <cmath>
#include <memory>
#include <vector>

#include "forms/error.h"
#include "forms/pixels.h"
#include "forms/win32/start_marks.h"
#include "forms/win32/window.h"

namespace forms::win32 {
namespace {

struct IconPicture : Picture {
  ~IconPicture() override {
    if (handle) DestroyIcon(reinterpret_cast<HICON>(handle));
  }
};

static_assert(kSeeMaskNoAsync == SEE_MASK_NOASYNC && kSeeMaskFlagNoUi == SEE_MASK_FLAG_NO_UI &&
              kShowNormal == SW_SHOWNORMAL && kErrorCancelled == ERROR_CANCELLED &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorAlreadyExists == ERROR_ALREADY_EXISTS);

LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Where a minimised window stands when restored, on the screen. The placement holds it in workspace
// coordinates, which start at the work area's corner unless the window is a tool window.
RECT NormalRect(HWND window, WINDOWPLACEMENT& placement) {
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  RECT r = placement.rcNormalPosition;
  if (!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return r;
}

// An icon file of a single image, as the disc's are, made into an icon straight from its bytes, at
// the image's own size: one read where LoadImage maps the file and makes the icon the slower way.
// Anything else, or any failure, is left to LoadImage, which then also sets the error to report.
HICON IconFromSingleImageFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  constexpr DWORD kHeader = 6 + 16, kLargest = 1 << 20;  // the directory with its one entry
  const DWORD size = GetFileSize(file, nullptr);
  // DWORD-aligned, as CreateIconFromResourceEx wants the image. A failed GetFileSize is too large.
  std::vector<DWORD> buffer(size >= kHeader && size <= kLargest ? (size + 3) / 4 : 0);
  DWORD read = 0;
  const bool whole = !buffer.empty() && ReadFile(file, buffer.data(), size, &read, nullptr) && read == size;
  CloseHandle(file);
  if (!whole) return nullptr;
  auto* bytes = reinterpret_cast<BYTE*>(buffer.data());
  const auto word = [&](DWORD at) { return static_cast<DWORD>(bytes[at] | bytes[at + 1] << 8); };
  const auto dword = [&](DWORD at) { return word(at) | word(at + 2) << 16; };
  // Reserved 0, type 1 (icon), one entry; that entry's size and offset, at 6 + 8 and 6 + 12.
  if (word(0) != 0 || word(2) != 1 || word(4) != 1) return nullptr;
  const DWORD imageSize = dword(14), imageOffset = dword(18);
  if (imageOffset < kHeader || imageOffset > size || imageSize == 0 || imageSize > size - imageOffset) return nullptr;
  MoveMemory(bytes, bytes + imageOffset, imageSize);
  return CreateIconFromResourceEx(bytes, imageSize, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
}

}  // namespace

std::string ErrorText(const std::string& what, DWORD code) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                 nullptr);
  std::string message = what;
  if (text[0]) message += "\n\n" + std::string(text);
  return message;
}

std::string LastErrorText(const std::string& what) { return ErrorText(what, GetLastError()); }

Win32Backend::Win32Backend(HINSTANCE instance, std::string title) : instance_(instance), title_(std::move(title)) {
  Mark(StartMark::Entry);
  HDC screen = GetDC(nullptr);
  // The same whole-number factor the programs compute with: 15 at 96 dpi, 12 at 120, 10 at 144.
  twipsPerPixelX_ = 1440 / GetDeviceCaps(screen, LOGPIXELSX);
  twipsPerPixelY_ = 1440 / GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
}

void Win32Backend::CoInitializeEx(unsigned flags) {
  if (!comInitialised_) comInitialised_ = SUCCEEDED(::CoInitializeEx(nullptr, flags));
}

Win32Backend::~Win32Backend() {
  if (backBuffer_) {
    SelectObject(backBuffer_, backBufferOld_);
    DeleteDC(backBuffer_);
    DeleteObject(backBitmap_);
  }
  if (comInitialised_) CoUninitialize();
  if (hiddenOwner_) DestroyWindow(hiddenOwner_);
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

namespace {
Win32Backend* reporting = nullptr;  // the one backend of the program, whose report failures reach
void ReportFailure(const char* what) { reporting->ReportError(what); }
}  // namespace

void Win32Backend::SetErrorReport(std::function<void(const std::string&)> report) {
  report_ = std::move(report);
  reporting = this;
  SetFailureHandler(&ReportFailure);
}

void Win32Backend::ReportError(const std::string& what) {
  if (report_) report_(what);  // the application's report does not return
  ShowMessageBox(what, title_, MB_OK | MB_ICONERROR);
  Terminate();
}

HDC Win32Backend::BackBuffer(HDC target, int width, int height) {
  if (!backBuffer_) {
    backBuffer_ = CreateCompatibleDC(target);
  } else if (width <= backWidth_ && height <= backHeight_) {
    return backBuffer_;
  }
  backWidth_ = width > backWidth_ ? width : backWidth_;
  backHeight_ = height > backHeight_ ? height : backHeight_;
  HBITMAP larger = CreateCompatibleBitmap(target, backWidth_, backHeight_);
  HGDIOBJ previous = SelectObject(backBuffer_, larger);
  if (backBitmap_) {
    DeleteObject(backBitmap_);
  } else {
    backBufferOld_ = previous;
  }
  backBitmap_ = larger;
  return backBuffer_;
}

HWND Win32Backend::HiddenOwner() {
  // Closed from outside, it went and took its owned windows along: a new one owns the next.
  if (!hiddenOwner_ || !IsWindow(hiddenOwner_)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &OwnerProcedure;
    wc.hInstance = instance_;
    wc.lpszClassName = "KbdFormsOwner";
    RegisterClassExA(&wc);
    hiddenOwner_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
  }
  return hiddenOwner_;
}

NativeWindow& Win32Backend::At(Handle window) {
  NativeWindow* native = NativeWindow::From(reinterpret_cast<HWND>(window));
  if (!native) Fail("Invalid window handle");
  return *native;
}

Handle Win32Backend::CreateNativeWindow(const WindowDescription& description, EventSink& sink) {
  auto native = std::make_unique<NativeWindow>(*this, description, sink);
  const Handle handle = reinterpret_cast<Handle>(native->Window());
  native.release();  // owned by its window; DestroyNativeWindow deletes it
  return handle;
}

void Win32Backend::DestroyNativeWindow(Handle window) { delete &At(window); }

void Win32Backend::ShowNativeWindow(Handle window) {
  HWND hwnd = At(window).Window();
  Mark(StartMark::ShowCalled);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
}

void Win32Backend::BringNativeWindowForward(Handle window) {
  HWND hwnd = At(window).Window();
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  // Allowed: the program is in front, its tray menu or its own window was just used.
  SetForegroundWindow(hwnd);
}

void Win32Backend::PostNativeWindowPos(Handle window, std::intptr_t insertAfter, unsigned flags) {
  At(window).PostWindowPos(reinterpret_cast<HWND>(insertAfter), flags);
}

void Win32Backend::HideNativeWindow(Handle window) {
  NativeWindow& native = At(window);
  native.CancelWindowPos();  // a show still in the queue must not undo this hide
  ShowWindow(native.Window(), SW_HIDE);
}

Bounds Win32Backend::WindowBounds(Handle window) {
  HWND hwnd = At(window).Window();
  RECT r{};
  if (IsIconic(hwnd)) {
    // A minimised window's own rectangle is its caption somewhere off the screen.
    WINDOWPLACEMENT placement{};
    r = NormalRect(hwnd, placement);
  } else {
    GetWindowRect(hwnd, &r);
  }
  return {static_cast<Twips>(r.left * twipsPerPixelX_), static_cast<Twips>(r.top * twipsPerPixelY_),
          static_cast<Twips>((r.right - r.left) * twipsPerPixelX_),
          static_cast<Twips>((r.bottom - r.top) * twipsPerPixelY_)};
}

void Win32Backend::MoveNativeWindow(Handle window, Twips left, Twips top) {
  HWND hwnd = At(window).Window();
  const int x = TwipsToPixels(left, twipsPerPixelX_), y = TwipsToPixels(top, twipsPerPixelY_);
  if (IsIconic(hwnd)) {
    // Moving a minimised window would move its caption onto the screen; what moves is where it
    // is restored to.
    WINDOWPLACEMENT placement{};
    const RECT normal = NormalRect(hwnd, placement);
    OffsetRect(&placement.rcNormalPosition, x - normal.left, y - normal.top);
    placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(hwnd, &placement);
    return;
  }
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Win32Backend::WindowCaption(Handle window) {
  HWND hwnd = At(window).Window();
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()))));
  return text;
}

void Win32Backend::SetWindowCaption(Handle window, const std::string& caption) {
  SetWindowTextA(At(window).Window(), caption.c_str());
}

Handle Win32Backend::ControlWindow(Handle window, ControlId control) {
  return reinterpret_cast<Handle>(At(window).ControlWindow(control));
}

Handle Win32Backend::WindowIcon(Handle window) { return reinterpret_cast<Handle>(At(window).Icon()); }

std::string Win32Backend::ControlText(Handle window, ControlId control) { return At(window).Text(control); }

void Win32Backend::SetShapeFill(Handle window, ControlId control, Colour colour) { At(window).SetFill(control, colour); }

void Win32Backend::SetControlPicture(Handle window, ControlId control, PictureRef picture) {
  At(window).SetPicture(control, std::move(picture));
}

void Win32Backend::SetTimerEnabled(Handle window, ControlId control, bool enabled) {
  At(window).SetTimer(control, enabled);
}

void Win32Backend::RearmTimer(Handle window, ControlId control, unsigned milliseconds) {
  At(window).RearmTimer(control, milliseconds);
}

// Not a call into the system: the count is read from memory that the system shares with the process.
std::uint32_t Win32Backend::TickCount() { return GetTickCount(); }

void Win32Backend::PopupMenu(Handle window, ControlId menu, unsigned flags) { At(window).PopupMenu(menu, flags); }

PictureRef Win32Backend::LoadPictureFile(const std::string& path) {
  // No size asked for: the icon comes at its own size.
  HICON icon = IconFromSingleImageFile(path);
  if (!icon) icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  if (!icon) Fail(LastErrorText("Cannot load the picture \"" + path + "\"."));
  // Not make_shared: without RTTI it links the library's prebuilt shared_ptr support and its mutexes.
  std::shared_ptr<IconPicture> picture(new IconPicture);
  // No size read: GetIconInfo would copy both of its bitmaps for it, and DrawIconEx draws an icon
  // given no size at its own.
  picture->handle = reinterpret_cast<Handle>(icon);
  return picture;
}

int Win32Backend::ShowMessageBox(const std::string& text, const std::string& title, unsigned style) {
  // Ownerless, so task-modal: it disables the program's windows, and no click on them can run a
  // handler while an error report is up.
  return MessageBoxA(nullptr, text.c_str(), title.c_str(), style | MB_SETFOREGROUND | MB_TASKMODAL);
}

ShellStartResult Win32Backend::StartThroughShell(const ShellStart& start) {
  // The thread is already in a single-threaded apartment (Application::Run), as the shell's
  // extensions need.
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = start.mask;
  info.hwnd = reinterpret_cast<HWND>(start.owner);
  info.lpFile = start.file.c_str();  // the file, not a command line: its blanks need no quotes
  info.nShow = start.show;
  const BOOL started = ShellExecuteExA(&info);
  const DWORD error = GetLastError();
  if (info.hProcess) CloseHandle(info.hProcess);  // there only when a mask asks for it; never waited on
  if (!started) return {error, ErrorText("Cannot start \"" + start.file + "\".", error)};
  return {};
}

Screen Win32Backend::ScreenMetrics() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), twipsPerPixelX_, twipsPerPixelY_};
}

std::string Win32Backend::ExecutableFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const size_t slash = folder.find_last_of('\\');
  folder.resize(slash == std::string::npos ? 0 : slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive's root keeps its separator
  return folder;
}

bool Win32Backend::PreviousInstanceRunning() {
  if (instanceState_ < 0) {
    // One mutex per program and session, held for the life of the process.
    const std::string name = "Local\\" + title_ + ".SingleInstance";
    instanceMutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
    instanceState_ = AnotherCopyHoldsMutex(instanceMutex_ != nullptr, GetLastError()) ? 1 : 0;
  }
  return instanceState_ == 1;
}

int Win32Backend::RunMessageLoop() {
  // Under Wine the first paint reaches the screen only once the thread waits here.
  Mark(StartMark::MessageLoop);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    // No dialog keys run unless the loop asks for them: a window with push buttons gets them as a
    // dialog does, and IsDialogMessageA then dispatches the message itself.
    NativeWindow* native = NativeWindow::OfTopLevel(message.hwnd);
    if (native && native->TakesDialogKeys() && IsDialogMessageA(native->Window(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void Win32Backend::EndMessageLoop() { PostQuitMessage(0); }

void Win32Backend::Terminate() { ExitProcess(0); }

}  // namespace forms::win32
