#include "hotkeys/driver.h"

#include "hotkeys/res/resource.h"
#include "hotkeys/texts.h"

namespace tavisk {
namespace {

constexpr unsigned kTpmRightButton = 2;

forms::Font SansSerif(float points) { return {"MS Sans Serif", points, true}; }

}  // namespace

forms::WindowDescription MainWindowDescription() {
  return forms::WindowDescription()
      .Class("TaviskMainWindow")
      .Caption(kMainCaption)
      .Framed(forms::Frame::Sizable)
      .ClientSize(4680, 3195)
      .Icon(IDI_DRIVER)
      .Add(forms::PictureBox("Picture1").Hidden())
      .Add(forms::TextBox("Tavisk").Text(kTipText).Hidden())
      .Add(forms::Menu("mnuShow").Text(kMenuCaption))
      .Add(forms::MenuItem("mnuDisplay").Text(kAboutItem))
      .Add(forms::MenuItem("mnuQuit").Text(kExitItem));
}

forms::WindowDescription AboutBoxDescription() {
  return forms::WindowDescription()
      .Class("TaviskAboutBox")
      .Caption(kAboutCaption)
      .Framed(forms::Frame::Sizable)
      .ClientSize(4680, 2265)
      .ClientAt(5070, 4995)
      .Icon(IDI_DRIVER, 150, 145)  // the same badge, drawn by the platform at the About box's size
      .Add(forms::Label("Label1").Text(kAboutTitle).Rect(360, 360, 4095, 615).WithFont(SansSerif(12)).Aligned(forms::Align::Centre))
      .Add(forms::PushButton("Command1").Text(kOk).Rect(1800, 1440, 975, 495).WithFont(SansSerif(12)))
      .Add(forms::Label("Label2").Text(kAboutVersion).Rect(1800, 1080, 1215, 255).WithFont(SansSerif(8.25f)));
}

MainWindow::MainWindow(forms::Application& app, support::ResidentSupport& support, Hotkeys& hotkeys,
                       HotkeyPlatform& platform, AboutBox& about)
    : Form(app, MainWindowDescription()),
      support_(support),
      hotkeys_(hotkeys),
      platform_(platform),
      about_(about),
      picture1_(Find("Picture1")),
      tavisk_(Find("Tavisk")),
      mnuShow_(Find("mnuShow")),
      mnuDisplay_(Find("mnuDisplay")),
      mnuQuit_(Find("mnuQuit")) {}

void MainWindow::OnLoad() {
  if (support_.PrevInstanceHandOff(*this)) app.Terminate();
  SetStartProgram(kAutostartName, kAutostartCommand);
  Hide();
  if (TrayIconId == 0) {
    TrayIconId = support_.AddTrayIcon(ControlHandle(picture1_), support::kWmMouseMove, Icon(), Text(tavisk_));
  }
  support_.LetTaskbarCreatedThrough(*this);
  hotkeys_.SetUp(WindowHandle());
}

void MainWindow::SetStartProgram(const std::string& name, const std::string& comm) {
  std::uintptr_t key = 0;
  if (platform_.RegCreateKeyA(kHkeyLocalMachine, kRunKey, key) != 0) return;
  platform_.RegSetValueExA(key, name, 0, kRegSz, comm, static_cast<std::uint32_t>(comm.size() + 1));
  platform_.RegCloseKey(key);
}

void MainWindow::OnUnload(int& /*cancel*/) {
  hotkeys_.Release();
  if (TrayIconId != 0) {
    support_.DeleteTrayIcon(TrayIconId);
    TrayIconId = 0;
  }
}

void MainWindow::OnMouseMove(forms::ControlId control, int, int, forms::Twips x, forms::Twips) {
  if (control != picture1_) return;
  const int decoded = support::DecodeTrayCallback(x, ScaleMode(), app.Platform().ScreenMetrics().twipsPerPixelX);
  if (decoded != static_cast<int>(support::kWmRButtonUp)) return;
  // The owner must be in front, or the menu does not close when the user clicks elsewhere.
  platform_.SetForegroundWindow(WindowHandle());
  PopupMenu(mnuShow_, kTpmRightButton);
}

void MainWindow::OnClick(forms::ControlId control) {
  if (control == mnuDisplay_) {
    about_.Show();
  } else if (control == mnuQuit_) {
    Unload();
  }
}

void MainWindow::OnTaskbarCreated() {
  if (TrayIconId != 0) support_.RestoreTrayIcon(TrayIconId);
}

}  // namespace tavisk
