// Twips to whole pixels: the one conversion between the descriptions' geometry and the screen.
#pragma once

#include "forms/description.h"

namespace forms {

// Right and bottom are exclusive, as in a Win32 RECT.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Halves away from zero.
int TwipsToPixels(Twips twips, int twipsPerPixel);

// The corner and the size are converted each on its own, so a control is as many pixels wide and
// high as its twips make, wherever it lies; rounding both edges would make the size depend on
// where the corner's fraction falls.
PixelRect ControlPixels(const ControlDescription& control, int twipsPerPixelX, int twipsPerPixelY);

}  // namespace forms
