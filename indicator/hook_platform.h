// What the indicator needs of Win32 beyond the window model: the low-level keyboard hook, the
// key states and the foreground window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumora {

constexpr int kWhKeyboardLl = 13;
constexpr std::int32_t kHcAction = 0;
constexpr std::uint32_t kLlkhfUp = 0x80;
constexpr std::uint32_t kVkCapital = 20;
constexpr std::uint32_t kVkNumLock = 144;
constexpr std::uint32_t kVkScroll = 145;
// GetKeyState while a lock key is released: still down (high byte 0xFF), toggle bit already new.
constexpr std::uint16_t kDownAndOn = 0xFF81;
// WM_POWERBROADCAST's resume events, WM_WTSSESSION_CHANGE's unlock, and the session to hear of.
constexpr std::uint32_t kPbtApmResumeSuspend = 0x7;
constexpr std::uint32_t kPbtApmResumeAutomatic = 0x12;
constexpr std::uint32_t kWtsSessionUnlock = 0x8;
constexpr std::uint32_t kNotifyForThisSession = 0;

// The platform's KBDLLHOOKSTRUCT: five 32-bit little-endian fields, read as bytes so that the
// layout does not depend on the compiler.
constexpr std::size_t kKeyEventSize = 20;

struct KeyEvent {
  std::uint8_t bytes[kKeyEventSize];

  std::uint32_t Field(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
  }
  std::uint32_t vkCode() const { return Field(0); }
  std::uint32_t flags() const { return Field(8); }
};

// The record's time field alone, for arming the timer before the record is copied.
inline std::uint32_t KeyEventTime(std::intptr_t address) {
  std::uint8_t bytes[4];
  std::memcpy(bytes, reinterpret_cast<const std::uint8_t*>(address) + 12, sizeof bytes);
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline KeyEvent CopyKeyEvent(std::intptr_t address) {
  KeyEvent event;
  std::memcpy(event.bytes, reinterpret_cast<const void*>(address), kKeyEventSize);
  return event;
}

class HookPlatform {
 public:
  virtual ~HookPlatform() = default;
  // The address of the program's own low-level keyboard procedure and its module instance.
  virtual std::intptr_t KeyboardHookProcAddress() = 0;
  virtual std::uintptr_t ModuleInstance() = 0;
  virtual std::uintptr_t SetWindowsHookExA(int idHook, std::intptr_t procedure, std::uintptr_t module,
                                          std::uint32_t threadId) = 0;
  virtual int UnhookWindowsHookEx(std::uintptr_t hook) = 0;
  virtual std::intptr_t CallNextHookEx(std::uintptr_t hook, std::int32_t nCode, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
  virtual std::int16_t GetKeyState(std::int32_t virtualKey) = 0;
  virtual int GetKeyboardState(std::uint8_t* keys256) = 0;
  virtual int SetForegroundWindow(std::uintptr_t window) = 0;
  // wtsapi32's, loaded at run time so that the program still starts where it is missing; there
  // they do nothing. Their results are not used.
  virtual int WTSRegisterSessionNotification(std::uintptr_t window, std::uint32_t flags) = 0;
  virtual int WTSUnRegisterSessionNotification(std::uintptr_t window) = 0;
};

}  // namespace lumora
