#include "forms/description.h"

#include "forms/error.h"

namespace forms {
namespace {

ControlDescription Make(Kind kind, std::string name) {
  ControlDescription control;
  control.kind = kind;
  control.name = std::move(name);
  return control;
}

}  // namespace

ControlDescription Label(std::string name) { return Make(Kind::Label, std::move(name)); }
ControlDescription Shape(std::string name) { return Make(Kind::Shape, std::move(name)); }
ControlDescription PictureControl(std::string name) { return Make(Kind::PictureControl, std::move(name)); }
ControlDescription PictureBox(std::string name) { return Make(Kind::PictureBox, std::move(name)); }
ControlDescription TextBox(std::string name) { return Make(Kind::TextBox, std::move(name)); }
ControlDescription PushButton(std::string name) { return Make(Kind::PushButton, std::move(name)); }
ControlDescription Timer(std::string name) { return Make(Kind::Timer, std::move(name)); }
ControlDescription Menu(std::string name) { return Make(Kind::Menu, std::move(name)).Hidden(); }
ControlDescription MenuItem(std::string name) { return Make(Kind::MenuItem, std::move(name)); }

ControlId WindowDescription::Find(std::string_view name) const {
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name) return static_cast<ControlId>(i);
  }
  Fail("Method or data member not found: " + std::string(name));
}

}  // namespace forms
