#include "support/win32/resident_platform.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace support::win32 {
namespace {

HWND ToHwnd(std::uint32_t window) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)); }

}  // namespace

// The record is built as bytes; it must be the platform's first, 88-byte layout exactly.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == kNotifyIconRecordSize, "88-byte record");
static_assert(sizeof(void*) != 4 || offsetof(NOTIFYICONDATAA, szTip) == kTipOffset, "tip offset");

std::uint32_t Win32ResidentPlatform::FindWindowA(const char* className, const std::string& windowName) {
  return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(::FindWindowA(className, windowName.c_str())));
}

std::intptr_t Win32ResidentPlatform::SendMessageA(std::uint32_t window, std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  return ::SendMessageA(ToHwnd(window), message, wParam, lParam);
}

int Win32ResidentPlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) {
  NOTIFYICONDATAA data;
  std::memcpy(&data, record.bytes.data(), kNotifyIconRecordSize);
  return ::Shell_NotifyIconA(message, &data);
}

int Win32ResidentPlatform::SetWindowPos(std::uint32_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                        std::uint32_t flags) {
  return ::SetWindowPos(ToHwnd(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}

}  // namespace support::win32
