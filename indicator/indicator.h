// The lock-key indicator's two windows: Form1, the frameless lamp window that also owns the tray
// icon, the menu, the auto-hide timer and the keyboard hook; and the About box Form2.
#pragma once

#include <cstdint>

#include "forms/application.h"
#include "forms/closed_by_button.h"
#include "forms/form.h"
#include "indicator/hook_platform.h"
#include "support/resident.h"

namespace lumora {

constexpr forms::Colour LampOnColor = 65280;   // 0x00FF00, green
constexpr forms::Colour LampOffColor = 32896;  // 0x008080, olive
constexpr forms::Twips kBottomMargin = 500;    // between Form1's bottom edge and the screen's

forms::WindowDescription IndicatorDescription();
forms::WindowDescription AboutBoxDescription();

// Its "OK" button, Command1, closes it; nothing else happens.
class AboutBox : public forms::ClosedByButton {
 public:
  explicit AboutBox(forms::Application& app) : ClosedByButton(app, AboutBoxDescription(), "Command1") {}
};

class IndicatorWindow : public forms::Form {
 public:
  IndicatorWindow(forms::Application& app, support::ResidentSupport& support, HookPlatform& platform,
                  AboutBox& about);

  // The platform's low-level keyboard procedure; lParam is the address of the event record.
  std::intptr_t KeyboardHookProc(std::int32_t nCode, std::uintptr_t wParam, std::intptr_t lParam);

  // Program-wide: there is one Form1 object for the whole run, so the handle lives with it.
  // Written by the load and by each re-install, never cleared.
  std::uintptr_t KeyboardHookHandle = 0;
  std::int32_t TrayIconId = 0;

 protected:
  void OnLoad() override;
  void OnQueryUnload(int& cancel, int mode) override;
  void OnMouseMove(forms::ControlId control, int button, int shift, forms::Twips x, forms::Twips y) override;
  void OnClick(forms::ControlId control) override;
  void OnTimer(forms::ControlId control) override;
  void OnTaskbarCreated() override;
  void OnPowerBroadcast(std::uint32_t event) override;
  void OnSessionChange(std::uint32_t event) override;

 private:
  void InstallKeyboardHook();
  void ReinstallKeyboardHook();
  // offToo: a lamp whose lock is off is painted olive as well, not left as it is.
  void SetLampsFromKeyboardState(bool offToo);
  void ShowAbout();
  forms::ControlId LampOf(std::uint32_t vkCode) const;

  support::ResidentSupport& support_;
  HookPlatform& platform_;
  AboutBox& about_;
  // Kept: the unload may come after the window has gone, and asking a form for its handle loads it.
  std::uintptr_t sessionWindow_ = 0;
  // Resolved once: the hook must not search the controls by name on every key.
  forms::ControlId shape1_, shape2_, shape3_, text1_, picture1_, timer1_, mnuShow_, mnuDisplay_, mnuQuit_;
};

}  // namespace lumora
