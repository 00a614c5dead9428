#include "launcher/launcher.h"

#include "forms/error.h"
#include "launcher/res/resource.h"
#include "launcher/texts.h"

namespace vandrel {
namespace {

forms::ControlDescription Button(const char* name, forms::Twips left, forms::Twips top, forms::Twips width,
                                 forms::Twips height) {
  return forms::PictureControl(name).Rect(left, top, width, height).Pointer(IDC_HAND_POINTER);
}

forms::WindowDescription Skinned(const char* className, const char* caption, forms::Twips height, int skin) {
  // No frame and no taskbar button: only the skin shows, and the load handler places the window.
  // Alt+Tab still lists it: without it a covered launcher could not be brought back.
  return forms::WindowDescription()
      .Class(className)
      .Caption(caption)
      .Framed(forms::Frame::None)
      .ClientSize(7485, height)
      .TaskbarButton(false)
      .InAltTab(true)
      .Background(skin);
}

}  // namespace

forms::WindowDescription StartWindowDescription() {
  return Skinned("VandrelStartWindow", kStartCaption, 7500, IDR_START_SKIN)
      .Icon(IDI_VANDREL)
      .Add(Button("Image1", 2400, 4630, 2535, 495))
      .Add(Button("Image2", 6240, 6800, 870, 500));
}

forms::WindowDescription DriverPageDescription() {
  return Skinned("VandrelDriverPage", kDriverCaption, 7485, IDR_DRIVER_SKIN)
      .Add(Button("Image1", 1980, 3220, 3615, 615))
      .Add(Button("Image2", 1980, 4750, 3615, 615))
      .Add(Button("Image3", 6240, 6800, 870, 500));
}

void CentreOnScreen(forms::Form& form, const forms::Screen& screen) {
  form.SetLeft(static_cast<forms::Twips>((screen.Width() - form.Width()) / 2.0));
  form.SetTop(static_cast<forms::Twips>((screen.Height() - form.Height()) / 2.0));
}

MenuWindow::MenuWindow(forms::Application& application, forms::WindowDescription description)
    : Form(application, std::move(description)) {}

forms::ControlId MenuWindow::AddButton(const char* name, const char* hoverFile, const char* pressedFile) {
  PictureButton button;
  button.control = Find(name);
  button.hoverFile = hoverFile;
  button.pressedFile = pressedFile;
  buttons_.push_back(button);
  return button.control;
}

std::string MenuWindow::DiscPath(const char* literal) { return app.Platform().ExecutableFolder() + literal; }

void MenuWindow::OnLoad() {
  forms::Backend& platform = app.Platform();
  for (PictureButton& button : buttons_) {
    // A file that cannot be loaded stops the load here: no later picture, no centring.
    button.slots[static_cast<size_t>(Look::Hover)] = platform.LoadPictureFile(DiscPath(button.hoverFile));
    button.slots[static_cast<size_t>(Look::Pressed)] = platform.LoadPictureFile(DiscPath(button.pressedFile));
    Give(button, ButtonEvent::Load);
  }
  CentreOnScreen(*this, platform.ScreenMetrics());
}

void MenuWindow::Give(PictureButton& button, ButtonEvent event) {
  SetPicture(button.control, button.Slot(LookAfter(event)));
}

PictureButton* MenuWindow::ButtonOf(forms::ControlId control) {
  for (PictureButton& button : buttons_) {
    if (button.control == control) return &button;
  }
  return nullptr;
}

void MenuWindow::OnMouseMove(forms::ControlId control, int, int, forms::Twips, forms::Twips) {
  if (PictureButton* button = ButtonOf(control)) {
    Give(*button, ButtonEvent::MoveOver);
    return;
  }
  for (PictureButton& each : buttons_) Give(each, ButtonEvent::MoveOverBackground);
}

// Any mouse button presses and releases a button alike; only a left click starts anything.
void MenuWindow::OnMouseDown(forms::ControlId control, int, int, forms::Twips, forms::Twips) {
  if (PictureButton* button = ButtonOf(control)) Give(*button, ButtonEvent::Down);
}

void MenuWindow::OnMouseUp(forms::ControlId control, int, int, forms::Twips, forms::Twips) {
  if (PictureButton* button = ButtonOf(control)) Give(*button, ButtonEvent::Up);
}

Form1::Form1(forms::Application& application, forms::Form& driverPage)
    : MenuWindow(application, StartWindowDescription()),
      form4_(driverPage),
      image1_(AddButton("Image1", kKeyboardHover, kKeyboardPressed)),
      image2_(AddButton("Image2", kExitHover, kExitPressed)) {}

void Form1::OnClick(forms::ControlId control) {
  if (control == image1_) {
    Unload();
    form4_.Show();
  } else if (control == image2_) {
    app.Terminate();
  }
}

Form4::Form4(forms::Application& application, forms::Form& startWindow)
    : MenuWindow(application, DriverPageDescription()),
      form1_(startWindow),
      image1_(AddButton("Image1", kLedHover, kLedPressed)),
      image2_(AddButton("Image2", kWin2000Hover, kWin2000Pressed)),
      image3_(AddButton("Image3", kExitHover, kExitPressed)) {}

void Form4::OnClick(forms::ControlId control) {
  if (control == image1_) {
    if (StartInstaller(kLedSetup)) Unload();
  } else if (control == image2_) {
    if (StartInstaller(kWin2000Setup)) Unload();
  } else if (control == image3_) {
    Unload();
    form1_.Show();
  }
}

bool Form4::StartInstaller(const char* literal) {
  // Never by CreateProcess: the installers ask for an administrator, and only the shell lets
  // Windows ask the user for consent.
  forms::ShellStart start;
  start.owner = WindowHandle();
  start.file = DiscPath(literal);
  const forms::ShellStartResult result = app.Platform().StartThroughShell(start);
  // "No" at the consent prompt: the user changed their mind, so the page stays as it was.
  if (result.error == forms::kErrorCancelled) return false;
  if (result.error != 0) forms::Fail(result.failure);
  return true;
}

}  // namespace vandrel
