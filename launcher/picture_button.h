// A hover-picture button: a windowless picture control over a button that the skin already
// draws, with three picture slots. The last mouse event alone decides which slot it shows.
#pragma once

#include <array>

#include "forms/backend.h"
#include "forms/description.h"

namespace vandrel {

// Slot numbers: 0 is never filled, so showing it clears the control and the skin shows through.
enum class Look { Rest = 0, Hover = 1, Pressed = 2 };

enum class ButtonEvent { Load, MoveOverBackground, MoveOver, Down, Up };

constexpr Look LookAfter(ButtonEvent event) {
  switch (event) {
    case ButtonEvent::MoveOver: return Look::Hover;
    case ButtonEvent::Down: return Look::Pressed;
    case ButtonEvent::Load:
    case ButtonEvent::MoveOverBackground:
    case ButtonEvent::Up: break;
  }
  return Look::Rest;
}

struct PictureButton {
  forms::ControlId control = forms::kNoControl;
  const char* hoverFile = nullptr;    // fills slot 1
  const char* pressedFile = nullptr;  // fills slot 2
  std::array<forms::PictureRef, 3> slots;

  const forms::PictureRef& Slot(Look look) const { return slots[static_cast<size_t>(look)]; }
};

}  // namespace vandrel
