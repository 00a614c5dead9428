// The three launch keys: registered on the hidden main window, whose procedure is replaced so
// that WM_HOTKEY is taken here and every other message reaches the procedure it had before.
#pragma once

#include <cstdint>
#include <string>

#include "forms/backend.h"
#include "hotkeys/hotkey_platform.h"

namespace tavisk {

// Atoms are kept as signed 16-bit values and widened with their sign: string atoms (C000-FFFF)
// become negative ids with all upper 16 bits set.
std::int32_t HotkeyIdFromAtom(std::uint16_t atom);

class Hotkeys {
 public:
  Hotkeys(HotkeyPlatform& platform, forms::Backend& runtime) : platform_(platform), runtime_(runtime) {}

  void SetUp(std::uintptr_t mainWindow);
  void Release();
  std::intptr_t HotkeyWindowProc(std::uintptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam, std::intptr_t lParam);

  std::int32_t HotkeyIdComputer = 0;
  std::int32_t HotkeyIdCalculator = 0;
  std::int32_t HotkeyIdMedia = 0;
  std::intptr_t PrevWndProc = 0;

 private:
  void OpenMyComputer();
  // Each returns "" once the program runs, else why it could not start.
  std::string StartCalculator();
  std::string StartMediaPlayer();
  template <typename Action>
  void Launch(bool& reportUp, Action&& action);

  HotkeyPlatform& platform_;
  forms::Backend& runtime_;
  std::uintptr_t mainWindow_ = 0;
  // While a key's error report is up, that key does nothing.
  bool calculatorReportUp_ = false;
  bool mediaReportUp_ = false;
};

}  // namespace tavisk
