// A window that one push button closes, and that reacts to nothing else: the programs' About boxes.
#pragma once

#include <string_view>

#include "forms/form.h"

namespace forms {

class ClosedByButton : public Form {
 public:
  ClosedByButton(Application& app, WindowDescription description, std::string_view button)
      : Form(app, std::move(description)), button_(Find(button)) {}

 protected:
  void OnClick(ControlId control) override {
    if (control == button_) Unload();
  }

 private:
  ControlId button_;
};

}  // namespace forms
