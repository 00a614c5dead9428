// The hotkey driver's two windows: the hidden main window that owns the icon, the menu and the
// hotkeys, and the About box.
#pragma once

#include <cstdint>

#include "forms/application.h"
#include "forms/closed_by_button.h"
#include "forms/form.h"
#include "hotkeys/hotkeys.h"
#include "support/resident.h"

namespace tavisk {

forms::WindowDescription MainWindowDescription();
forms::WindowDescription AboutBoxDescription();

// Its "OK" button, Command1, closes it; nothing else happens.
class AboutBox : public forms::ClosedByButton {
 public:
  explicit AboutBox(forms::Application& app) : ClosedByButton(app, AboutBoxDescription(), "Command1") {}
};

class MainWindow : public forms::Form {
 public:
  MainWindow(forms::Application& app, support::ResidentSupport& support, Hotkeys& hotkeys, HotkeyPlatform& platform,
             AboutBox& about);

  void SetStartProgram(const std::string& name, const std::string& comm);
  std::int32_t TrayIconId = 0;

 protected:
  void OnLoad() override;
  void OnUnload(int& cancel) override;
  void OnMouseMove(forms::ControlId control, int button, int shift, forms::Twips x, forms::Twips y) override;
  void OnClick(forms::ControlId control) override;
  void OnTaskbarCreated() override;

 private:
  support::ResidentSupport& support_;
  Hotkeys& hotkeys_;
  HotkeyPlatform& platform_;
  AboutBox& about_;
  forms::ControlId picture1_, tavisk_, mnuShow_, mnuDisplay_, mnuQuit_;
};

}  // namespace tavisk
