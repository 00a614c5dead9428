// Window descriptions: every window of the programs is fixed data, built with named setters so
// that a missing field cannot shift the others. Geometry is in twips until the backend converts it.
// Names and texts are string literals, held by pointer: a description copies as plain data.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

using Twips = float;

// 0x00BBGGRR, or a system colour: the high bit set and the platform's colour index below it.
using Colour = std::uint32_t;
constexpr Colour kSystemColour = 0x80000000u;
constexpr Colour kButtonFace = kSystemColour | 15u;  // COLOR_BTNFACE
constexpr Colour kButtonText = kSystemColour | 18u;  // COLOR_BTNTEXT
constexpr Colour kWindowText = kSystemColour | 8u;   // COLOR_WINDOWTEXT

enum class Frame { None, Sizable };
enum class Align { Left, Centre };

enum class Kind {
  Label,           // windowless text painted on the background
  Shape,           // windowless filled circle inscribed in its rectangle
  PictureControl,  // windowless picture with mouse events over its whole rectangle
  PictureBox,      // a child window; used hidden as a callback window
  TextBox,         // holds a text; used hidden
  PushButton,
  Timer,
  Menu,      // top-level menu, never a menu bar; its items pop up
  MenuItem,  // item of the nearest Menu before it
};

struct Font {
  const char* face = "MS Sans Serif";
  float points = 8.0f;
  bool bold = false;
};

struct ControlDescription {
  Kind kind = Kind::Label;
  const char* name = "";
  const char* text = "";
  Twips left = 0, top = 0, width = 0, height = 0;
  bool hasFont = false;
  Font font;
  Align align = Align::Left;
  bool wrap = true;
  bool visible = true;
  Colour fillColour = 0;
  Colour foreColour = kButtonText;
  int interval = 0;      // timers, milliseconds
  bool enabled = true;   // timers
  int pointer = 0;       // resource id of a cursor shown over the control; 0: the window's pointer

  ControlDescription& Text(const char* value) { text = value; return *this; }
  ControlDescription& Rect(Twips l, Twips t, Twips w, Twips h) { left = l; top = t; width = w; height = h; return *this; }
  ControlDescription& WithFont(Font value) { font = value; hasFont = true; return *this; }
  ControlDescription& Aligned(Align value) { align = value; return *this; }
  ControlDescription& Hidden() { visible = false; return *this; }
  ControlDescription& Fill(Colour value) { fillColour = value; return *this; }
  ControlDescription& Interval(int ms) { interval = ms; return *this; }
  ControlDescription& Enabled(bool value) { enabled = value; return *this; }
  ControlDescription& Pointer(int resource) { pointer = resource; return *this; }
};

ControlDescription Label(const char* name);
ControlDescription Shape(const char* name);
ControlDescription PictureControl(const char* name);
ControlDescription PictureBox(const char* name);
ControlDescription TextBox(const char* name);
ControlDescription PushButton(const char* name);
ControlDescription Timer(const char* name);
ControlDescription Menu(const char* name);
ControlDescription MenuItem(const char* name);

// The index of a control in its window's description.
using ControlId = int;
constexpr ControlId kNoControl = -1;

struct WindowDescription {
  const char* className = "";  // the native window class, one per window of a program
  const char* caption = "";
  Frame frame = Frame::Sizable;
  Twips clientWidth = 0, clientHeight = 0;
  bool hasPosition = false;  // otherwise the platform's default position for a new window
  Twips clientLeft = 0, clientTop = 0;
  bool taskbarButton = true;
  bool inAltTab = true;  // false: a tool window, which Alt+Tab never lists
  // Shown at the top of the topmost band without taking the focus from the application in front,
  // and painted afterwards from the message loop: the show may come from inside an input hook.
  bool popUpOnTop = false;
  int icon = 0;        // resource id, 0: none
  int iconWidth = 0, iconHeight = 0;  // the size the window shows it at; 0: the image's own
  int background = 0;  // resource id of a picture drawn unscaled at the top-left, 0: none
  Colour backColour = kButtonFace;
  Font font;
  std::vector<ControlDescription> controls;

  WindowDescription& Class(const char* value) { className = value; return *this; }
  WindowDescription& Caption(const char* value) { caption = value; return *this; }
  WindowDescription& Framed(Frame value) { frame = value; return *this; }
  WindowDescription& ClientSize(Twips w, Twips h) { clientWidth = w; clientHeight = h; return *this; }
  WindowDescription& ClientAt(Twips l, Twips t) { clientLeft = l; clientTop = t; hasPosition = true; return *this; }
  WindowDescription& TaskbarButton(bool value) { taskbarButton = value; return *this; }
  WindowDescription& InAltTab(bool value) { inAltTab = value; return *this; }
  WindowDescription& PopUpOnTop() { popUpOnTop = true; return *this; }
  WindowDescription& Icon(int resource, int width = 0, int height = 0) {
    icon = resource;
    iconWidth = width;
    iconHeight = height;
    return *this;
  }
  WindowDescription& Background(int resource) { background = resource; return *this; }
  WindowDescription& BackColour(Colour value) { backColour = value; return *this; }
  WindowDescription& WithFont(Font value) { font = value; return *this; }
  WindowDescription& Add(ControlDescription control) { controls.push_back(std::move(control)); return *this; }

  // Throws when the window has no control of that name: a lookup of an absent member is a fault.
  ControlId Find(std::string_view name) const;
};

}  // namespace forms
