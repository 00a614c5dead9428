#include "forms/description.h"

#include <string>

#include "forms/error.h"

namespace forms {
namespace {

ControlDescription Make(Kind kind, const char* name) {
  ControlDescription control;
  control.kind = kind;
  control.name = name;
  return control;
}

}  // namespace

ControlDescription Label(const char* name) { return Make(Kind::Label, name); }
ControlDescription Shape(const char* name) { return Make(Kind::Shape, name); }
ControlDescription PictureControl(const char* name) { return Make(Kind::PictureControl, name); }
ControlDescription PictureBox(const char* name) { return Make(Kind::PictureBox, name); }
ControlDescription TextBox(const char* name) { return Make(Kind::TextBox, name); }
ControlDescription PushButton(const char* name) { return Make(Kind::PushButton, name); }
ControlDescription Timer(const char* name) { return Make(Kind::Timer, name); }
ControlDescription Menu(const char* name) { return Make(Kind::Menu, name).Hidden(); }
ControlDescription MenuItem(const char* name) { return Make(Kind::MenuItem, name); }

ControlId WindowDescription::Find(std::string_view name) const {
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name) return static_cast<ControlId>(i);
  }
  Fail("Method or data member not found: " + std::string(name));
}

}  // namespace forms
