#include "forms/pixels.h"

#include <cmath>

namespace forms {

int TwipsToPixels(Twips twips, int twipsPerPixel) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

PixelRect ControlPixels(const ControlDescription& control, int twipsPerPixelX, int twipsPerPixelY) {
  PixelRect r;
  r.left = TwipsToPixels(control.left, twipsPerPixelX);
  r.top = TwipsToPixels(control.top, twipsPerPixelY);
  r.right = r.left + TwipsToPixels(control.width, twipsPerPixelX);
  r.bottom = r.top + TwipsToPixels(control.height, twipsPerPixelY);
  return r;
}

}  // namespace forms
