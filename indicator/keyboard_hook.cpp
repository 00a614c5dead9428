// KeyboardHookProc sits in the input path of every keyboard event of the desktop: it allocates
// nothing, touches no file or registry, records nothing typed and never consumes a key.
#include "indicator/indicator.h"

namespace lumora {

forms::ControlId IndicatorWindow::LampOf(std::uint32_t vkCode) const {
  // The lamps stand Num, Caps, Scroll from the left, so the numbers follow the layout, not the codes.
  switch (vkCode) {
    case kVkCapital: return shape2_;
    case kVkNumLock: return shape1_;
    case kVkScroll: return shape3_;
    default: return forms::kNoControl;
  }
}

std::intptr_t IndicatorWindow::KeyboardHookProc(std::int32_t nCode, std::uintptr_t wParam, std::intptr_t lParam) {
  // Armed first, on every call. Arming a running timer restarts its countdown from the event's own
  // time and makes no system call (forms' timer rule): the window stays up a full interval after
  // the last key of a burst, and a key costs the desktop no round trip to the system.
  SetTimerEnabled(timer1_, true, nCode == kHcAction ? KeyEventTime(lParam) : app.Platform().TickCount());
  if (nCode == kHcAction) {
    const KeyEvent event = CopyKeyEvent(lParam);
    if ((event.flags() & kLlkhfUp) != 0) {
      const forms::ControlId lamp = LampOf(event.vkCode());
      if (lamp != forms::kNoControl) {
        const auto state = static_cast<std::uint16_t>(platform_.GetKeyState(static_cast<std::int32_t>(event.vkCode())));
        Show();
        SetFillColour(lamp, state == kDownAndOn ? LampOnColor : LampOffColor);
      }
    }
  }
  return platform_.CallNextHookEx(KeyboardHookHandle, nCode, wParam, lParam);
}

}  // namespace lumora
