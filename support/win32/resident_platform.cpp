#include "support/win32/resident_platform.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace support::win32 {
namespace {

HWND ToHwnd(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

// user32's own, by name: a static import of a function that Windows lacks stops the program's start.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

#if defined(_WIN64)
// The first version's own 64-bit layout: 8-byte handles, each aligned to 8.
static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "104-byte first version");
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 8, "window handle at 8");
static_assert(offsetof(NOTIFYICONDATAA, uID) == 16, "id at 16");
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 32, "icon at 32");
static_assert(offsetof(NOTIFYICONDATAA, szTip) == 40, "tip at 40");
#else
// The record is built as bytes; it must be the platform's first, 88-byte layout exactly.
static_assert(NOTIFYICONDATAA_V1_SIZE == kNotifyIconRecordSize, "88-byte record");
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 4, "window handle at 4");
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20, "icon at 20");
static_assert(offsetof(NOTIFYICONDATAA, szTip) == kTipOffset, "tip offset");
#endif

std::uintptr_t Win32ResidentPlatform::FindWindowA(const char* className, const std::string& windowName) {
  return reinterpret_cast<std::uintptr_t>(::FindWindowA(className, windowName.c_str()));
}

std::intptr_t Win32ResidentPlatform::SendMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  return ::SendMessageA(ToHwnd(window), message, wParam, lParam);
}

int Win32ResidentPlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) {
  NOTIFYICONDATAA data;
#if defined(_WIN64)
  CopyFirstVersion(record, data, NOTIFYICONDATAA_V1_SIZE);
#else
  std::memcpy(&data, record.bytes.data(), kNotifyIconRecordSize);
#endif
  return ::Shell_NotifyIconA(message, &data);
}

int Win32ResidentPlatform::SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                        std::uint32_t flags) {
  return ::SetWindowPos(ToHwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}

std::uint32_t Win32ResidentPlatform::RegisterWindowMessageA(const std::string& name) {
  return ::RegisterWindowMessageA(name.c_str());
}

bool Win32ResidentPlatform::ChangeWindowMessageFilterEx(std::uintptr_t window, std::uint32_t message,
                                                        std::uint32_t action) {
  using Function = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  const auto change = User32Function<Function>("ChangeWindowMessageFilterEx");  // Windows 7 and later
  if (!change) return false;
  change(ToHwnd(window), message, action, nullptr);
  return true;
}

bool Win32ResidentPlatform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) {
  using Function = BOOL(WINAPI*)(UINT, DWORD);
  const auto change = User32Function<Function>("ChangeWindowMessageFilter");  // Vista and later
  if (!change) return false;
  change(message, flag);
  return true;
}

}  // namespace support::win32
