#include "forms/pixels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Conversion {
  const char* name;
  forms::Twips twips;
  int twipsPerPixel;
  int pixels;
};

const Conversion kConversions[] = {
    {"Whole", 7485, 15, 499},
    {"BelowHalfDown", 6800, 15, 453},
    {"AboveHalfUp", 4630, 15, 309},
    {"HalfAwayFromZero", 97.5f, 15, 7},
    {"NegativeHalfAwayFromZero", -97.5f, 15, -7},
    {"HalfAt120Dpi", 870, 12, 73},
};

void PrintTo(const Conversion& c, std::ostream* os) { *os << c.name; }

class TwipsToPixels : public ::testing::TestWithParam<Conversion> {};

TEST_P(TwipsToPixels, RoundsToTheNearestPixel) {
  EXPECT_EQ(forms::TwipsToPixels(GetParam().twips, GetParam().twipsPerPixel), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Pixels, TwipsToPixels, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

// A control's pixel size is its twips size converted, wherever its corner falls: the skins draw
// each button at that size, and the hit area must cover it exactly.
struct ControlCase {
  const char* name;
  forms::Twips left, top, width, height;
  int twipsPerPixel;
  forms::PixelRect pixels;
};

const ControlCase kControls[] = {
    // The launcher's exit buttons: 500 twips are 33 rows at 96 dpi, although the corner's
    // 453.33 and the far edge's 486.67 would round 34 apart.
    {"ExitAt96Dpi", 6240, 6800, 870, 500, 15, {416, 453, 474, 486}},
    {"ExitAt120Dpi", 6240, 6800, 870, 500, 12, {520, 567, 593, 609}},
    {"ExitAt144Dpi", 6240, 6800, 870, 500, 10, {624, 680, 711, 730}},
    {"KeyboardAt96Dpi", 2400, 4630, 2535, 495, 15, {160, 309, 329, 342}},
    {"KeyboardAt120Dpi", 2400, 4630, 2535, 495, 12, {200, 386, 411, 427}},
    {"KeyboardAt144Dpi", 2400, 4630, 2535, 495, 10, {240, 463, 494, 513}},
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class ControlPixels : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlPixels, KeepTheSizeOfTheirTwips) {
  const ControlCase& c = GetParam();
  const forms::PixelRect r =
      forms::ControlPixels(forms::PictureControl("Image1").Rect(c.left, c.top, c.width, c.height), c.twipsPerPixel,
                           c.twipsPerPixel);
  EXPECT_EQ(r.left, c.pixels.left);
  EXPECT_EQ(r.top, c.pixels.top);
  EXPECT_EQ(r.right, c.pixels.right);
  EXPECT_EQ(r.bottom, c.pixels.bottom);
}

INSTANTIATE_TEST_SUITE_P(Pixels, ControlPixels, ::testing::ValuesIn(kControls),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
