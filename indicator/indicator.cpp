#include "indicator/indicator.h"

#include <utility>

#include "indicator/res/resource.h"
#include "indicator/texts.h"

namespace lumora {
namespace {

constexpr unsigned kTpmRightButton = 2;

forms::Font SansSerifBold(float points) { return {"MS Sans Serif", points, true}; }

}  // namespace

forms::WindowDescription IndicatorDescription() {
  const forms::Font labels = SansSerifBold(12);
  return forms::WindowDescription()
      .Class("LumoraIndicator")
      .Caption(kMainCaption)
      .Framed(forms::Frame::None)
      .ClientSize(4680, 1455)
      .TaskbarButton(false)
      // It pops up while the user types: the application in front must keep every key, Alt+Tab
      // must never offer it in place of that application, and the taskbar must not cover it.
      .InAltTab(false)
      .PopUpOnTop()
      .Icon(IDI_TRAY)
      .Add(forms::Label("Label4").Text(kNumLabel).Rect(1080, 240, 615, 375).WithFont(labels))
      .Add(forms::Label("Label5").Text(kCapsLabel).Rect(2040, 240, 615, 375).WithFont(labels))
      .Add(forms::Label("Label6").Text(kScrollLabel).Rect(2880, 240, 735, 375).WithFont(labels))
      .Add(forms::Shape("Shape1").Rect(1200, 720, 375, 375).Fill(LampOffColor))
      .Add(forms::Shape("Shape2").Rect(2160, 720, 375, 375).Fill(LampOffColor))
      .Add(forms::Shape("Shape3").Rect(3120, 720, 375, 375).Fill(LampOffColor))
      .Add(forms::TextBox("Text1").Text(kTipText).Hidden())
      .Add(forms::PictureBox("Picture1").Hidden())
      .Add(forms::Timer("Timer1").Interval(1000))
      .Add(forms::Menu("mnuShow").Text(kMenuCaption))
      .Add(forms::MenuItem("mnuDisplay").Text(kAboutItem))
      .Add(forms::MenuItem("mnuQuit").Text(kExitItem));
}

forms::WindowDescription AboutBoxDescription() {
  // No position of its own: "About" centres it before every show.
  return forms::WindowDescription()
      .Class("LumoraAboutBox")
      .Caption(kAboutCaption)
      .Framed(forms::Frame::Sizable)
      .ClientSize(4455, 2580)
      .Icon(IDI_TRAY)
      .WithFont(SansSerifBold(13.5f))
      .Add(forms::PushButton("Command1").Text(kOk).Rect(1560, 1800, 1575, 615))
      .Add(forms::Label("Label1").Text(kAboutTitle).Rect(720, 360, 3375, 495))
      .Add(forms::Label("Label2").Text(kAboutFor).Rect(1440, 840, 2175, 375))
      .Add(forms::Label("Label3").Text(kAboutVersions).Rect(960, 1320, 2895, 375));
}

IndicatorWindow::IndicatorWindow(forms::Application& app, support::ResidentSupport& support, HookPlatform& platform,
                                 AboutBox& about)
    : Form(app, IndicatorDescription()),
      support_(support),
      platform_(platform),
      about_(about),
      shape1_(Find("Shape1")),
      shape2_(Find("Shape2")),
      shape3_(Find("Shape3")),
      text1_(Find("Text1")),
      picture1_(Find("Picture1")),
      timer1_(Find("Timer1")),
      mnuShow_(Find("mnuShow")),
      mnuDisplay_(Find("mnuDisplay")),
      mnuQuit_(Find("mnuQuit")) {}

void IndicatorWindow::OnLoad() {
  support_.MakeTopmost(*this);
  if (support_.PrevInstanceHandOff(*this)) app.Terminate();
  if (TrayIconId == 0) {
    TrayIconId = support_.AddTrayIcon(ControlHandle(picture1_), support::kWmMouseMove, Icon(), Text(text1_));
  }
  support_.LetTaskbarCreatedThrough(*this);
  const forms::Screen screen = app.Platform().ScreenMetrics();
  SetLeft(screen.Width() - Width());
  SetTop(screen.Height() - Height() - kBottomMargin);

  SetLampsFromKeyboardState(false);
  InstallKeyboardHook();
  sessionWindow_ = WindowHandle();
  platform_.WTSRegisterSessionNotification(sessionWindow_, kNotifyForThisSession);
}

void IndicatorWindow::SetLampsFromKeyboardState(bool offToo) {
  std::uint8_t keys[256] = {};
  platform_.GetKeyboardState(keys);
  const std::pair<forms::ControlId, std::uint32_t> lamps[] = {
      {shape1_, kVkNumLock}, {shape2_, kVkCapital}, {shape3_, kVkScroll}};
  for (const auto& [lamp, key] : lamps) {
    // The whole byte counts: a lock that is on (low bit) and a lock key held down (high bit) alike.
    if (keys[key] != 0) {
      SetFillColour(lamp, LampOnColor);
    } else if (offToo) {
      SetFillColour(lamp, LampOffColor);
    }
  }
}

void IndicatorWindow::InstallKeyboardHook() {
  KeyboardHookHandle = platform_.SetWindowsHookExA(kWhKeyboardLl, platform_.KeyboardHookProcAddress(),
                                                   platform_.ModuleInstance(), 0);
  if (KeyboardHookHandle == 0) {
    app.Platform().ShowMessageBox(kHookFailed, app.Platform().ProgramTitle(), forms::kMessageBoxOk);
  }
}

// Windows removes a low-level hook that misses LowLevelHooksTimeout, without a word, and that comes
// easily while a resumed system is busy; a hook installed anew works again. Lock changes made
// while it was gone were not seen, so the lamps are read afresh.
void IndicatorWindow::ReinstallKeyboardHook() {
  if (KeyboardHookHandle != 0) platform_.UnhookWindowsHookEx(KeyboardHookHandle);
  InstallKeyboardHook();
  SetLampsFromKeyboardState(true);
}

void IndicatorWindow::OnPowerBroadcast(std::uint32_t event) {
  // Automatic comes with every resume, suspend as well when the user woke the system.
  if (event == kPbtApmResumeAutomatic || event == kPbtApmResumeSuspend) ReinstallKeyboardHook();
}

void IndicatorWindow::OnSessionChange(std::uint32_t event) {
  if (event == kWtsSessionUnlock) ReinstallKeyboardHook();
}

void IndicatorWindow::OnQueryUnload(int& /*cancel*/, int /*mode*/) {
  if (KeyboardHookHandle != 0) platform_.UnhookWindowsHookEx(KeyboardHookHandle);
  platform_.WTSUnRegisterSessionNotification(sessionWindow_);
  if (TrayIconId != 0) {
    support_.DeleteTrayIcon(TrayIconId);
    TrayIconId = 0;
  }
}

void IndicatorWindow::OnMouseMove(forms::ControlId control, int, int, forms::Twips x, forms::Twips) {
  if (control != picture1_) return;
  const int decoded = support::DecodeTrayCallback(x, ScaleMode(), app.Platform().ScreenMetrics().twipsPerPixelX);
  if (decoded == static_cast<int>(support::kWmLButtonUp)) {
    Show();
    SetTimerEnabled(timer1_, true);
  } else if (decoded == static_cast<int>(support::kWmRButtonUp)) {
    // The owner must be in front, or the menu does not close when the user clicks elsewhere.
    platform_.SetForegroundWindow(WindowHandle());
    PopupMenu(mnuShow_, kTpmRightButton);
  }
}

void IndicatorWindow::OnClick(forms::ControlId control) {
  if (control == mnuDisplay_) {
    ShowAbout();
  } else if (control == mnuQuit_) {
    Unload();
  }
}

void IndicatorWindow::ShowAbout() {
  SetTimerEnabled(timer1_, true);
  // Using the box loads it; both halves are computed in single precision.
  const forms::Screen screen = app.Platform().ScreenMetrics();
  about_.SetLeft((screen.Width() - about_.Width()) / 2.0f);
  about_.SetTop((screen.Height() - about_.Height()) / 2.0f);
  Hide();
  about_.Show();
}

void IndicatorWindow::OnTimer(forms::ControlId control) {
  if (control != timer1_) return;
  Hide();
  SetTimerEnabled(timer1_, false);
}

void IndicatorWindow::OnTaskbarCreated() {
  if (TrayIconId != 0) support_.RestoreTrayIcon(TrayIconId);
}

}  // namespace lumora
