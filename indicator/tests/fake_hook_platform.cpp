#include "indicator/tests/fake_hook_platform.h"

#include <cstring>

namespace fakes {

std::uintptr_t FakeHookPlatform::SetWindowsHookExA(int idHook, std::intptr_t procedure, std::uintptr_t module,
                                                  std::uint32_t threadId) {
  log_.Add("SetWindowsHookExA " + std::to_string(idHook) + " proc=" + Hex(static_cast<std::uint64_t>(procedure)) +
           " module=" + Hex(module) + " thread=" + std::to_string(threadId));
  return hookHandle;
}

int FakeHookPlatform::UnhookWindowsHookEx(std::uintptr_t hook) {
  log_.Add("UnhookWindowsHookEx " + Hex(hook));
  return 1;
}

std::intptr_t FakeHookPlatform::CallNextHookEx(std::uintptr_t hook, std::int32_t nCode, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  log_.Add("CallNextHookEx " + Hex(hook) + " nCode=" + std::to_string(nCode) + " wParam=" + Hex(wParam) +
           " lParam=" + Hex(static_cast<std::uint64_t>(lParam)));
  return nextResult;
}

std::int16_t FakeHookPlatform::GetKeyState(std::int32_t virtualKey) {
  log_.Add("GetKeyState " + std::to_string(virtualKey));
  const auto found = keyStates.find(virtualKey);
  return static_cast<std::int16_t>(found == keyStates.end() ? 0 : found->second);
}

int FakeHookPlatform::GetKeyboardState(std::uint8_t* keys256) {
  log_.Add("GetKeyboardState");
  std::memcpy(keys256, keyboard, sizeof keyboard);
  return 1;
}

int FakeHookPlatform::SetForegroundWindow(std::uintptr_t window) {
  log_.Add("SetForegroundWindow " + Hex(window));
  return 1;
}

int FakeHookPlatform::WTSRegisterSessionNotification(std::uintptr_t window, std::uint32_t flags) {
  log_.Add("WTSRegisterSessionNotification " + Hex(window) + " flags=" + std::to_string(flags));
  return 1;
}

int FakeHookPlatform::WTSUnRegisterSessionNotification(std::uintptr_t window) {
  log_.Add("WTSUnRegisterSessionNotification " + Hex(window));
  return 1;
}

}  // namespace fakes
