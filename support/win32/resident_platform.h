// The resident support module's Win32 calls, forwarded as they are.
#pragma once

#include "support/resident.h"

namespace support::win32 {

class Win32ResidentPlatform : public ResidentPlatform {
 public:
  std::uintptr_t FindWindowA(const char* className, const std::string& windowName) override;
  std::intptr_t SendMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
  int Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) override;
  int SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                   std::uint32_t flags) override;
  std::uint32_t RegisterWindowMessageA(const std::string& name) override;
  bool ChangeWindowMessageFilterEx(std::uintptr_t window, std::uint32_t message, std::uint32_t action) override;
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override;
};

}  // namespace support::win32
