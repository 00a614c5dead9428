// The launcher's two skinned windows: the start window Form1 and the keyboard driver page Form4.
// Each loads its button pictures from the disc and centres itself whenever it loads.
#pragma once

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/form.h"
#include "launcher/picture_button.h"

namespace vandrel {

forms::WindowDescription StartWindowDescription();
forms::WindowDescription DriverPageDescription();

// Left and top so that the window lies in the middle of the screen. Single precision, halved in
// floating point and neither rounded nor clamped: a window larger than the screen gets negative edges.
void CentreOnScreen(forms::Form& form, const forms::Screen& screen);

// What both menu windows share: the picture buttons and their looks under the mouse.
class MenuWindow : public forms::Form {
 protected:
  MenuWindow(forms::Application& app, forms::WindowDescription description);

  // In the order their pictures load.
  forms::ControlId AddButton(const char* name, const char* hoverFile, const char* pressedFile);
  // The folder of the executable followed by literal, nothing added or removed between them.
  std::string DiscPath(const char* literal);

  void OnLoad() override;
  void OnMouseMove(forms::ControlId control, int button, int shift, forms::Twips x, forms::Twips y) override;
  void OnMouseDown(forms::ControlId control, int button, int shift, forms::Twips x, forms::Twips y) override;
  void OnMouseUp(forms::ControlId control, int button, int shift, forms::Twips x, forms::Twips y) override;

 private:
  void Give(PictureButton& button, ButtonEvent event);
  PictureButton* ButtonOf(forms::ControlId control);

  std::vector<PictureButton> buttons_;
};

class Form1 : public MenuWindow {
 public:
  Form1(forms::Application& app, forms::Form& driverPage);

 protected:
  void OnClick(forms::ControlId control) override;

 private:
  forms::Form& form4_;
  forms::ControlId image1_, image2_;
};

class Form4 : public MenuWindow {
 public:
  Form4(forms::Application& app, forms::Form& startWindow);

 protected:
  void OnClick(forms::ControlId control) override;

 private:
  // False when the user declined the consent prompt; any other failure ends the program.
  bool StartInstaller(const char* literal);

  forms::Form& form1_;
  forms::ControlId image1_, image2_, image3_;
};

// The program's two window objects, one each for the whole run.
struct Launcher {
  explicit Launcher(forms::Application& app) : form1(app, form4), form4(app, form1) {}
  int Run(forms::Application& app) { return app.Run(form1, true); }

  Form1 form1;
  Form4 form4;
};

}  // namespace vandrel
