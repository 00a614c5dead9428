// Records the indicator's Win32 calls; key states, the keyboard table, the hook handle and the
// next hook's result are settable.
#pragma once

#include <cstdint>
#include <map>

#include "forms/tests/call_log.h"
#include "indicator/hook_platform.h"

namespace fakes {

class FakeHookPlatform : public lumora::HookPlatform {
 public:
  explicit FakeHookPlatform(CallLog& log) : log_(log) {}

  std::intptr_t KeyboardHookProcAddress() override { return 0xC0DE; }
  std::uintptr_t ModuleInstance() override { return moduleInstance; }
  std::uintptr_t SetWindowsHookExA(int idHook, std::intptr_t procedure, std::uintptr_t module,
                                   std::uint32_t threadId) override;
  int UnhookWindowsHookEx(std::uintptr_t hook) override;
  std::intptr_t CallNextHookEx(std::uintptr_t hook, std::int32_t nCode, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
  std::int16_t GetKeyState(std::int32_t virtualKey) override;
  int GetKeyboardState(std::uint8_t* keys256) override;
  int SetForegroundWindow(std::uintptr_t window) override;
  int WTSRegisterSessionNotification(std::uintptr_t window, std::uint32_t flags) override;
  int WTSUnRegisterSessionNotification(std::uintptr_t window) override;

  std::uintptr_t moduleInstance = 0x400000;
  std::uintptr_t hookHandle = 0x4B00;  // 0: installation fails
  std::intptr_t nextResult = 77;
  std::map<std::int32_t, std::uint16_t> keyStates;
  std::uint8_t keyboard[256] = {};

 private:
  CallLog& log_;
};

}  // namespace fakes
