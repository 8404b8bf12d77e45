// The frei0r parameters as the effect reads them, and the pixel order between frei0r and the
// core.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "edition/PixelOrder.h"
#include "frei0r/Frei0rParams.h"
#include "render/SmartPreRender.h"

using namespace kelvrix;
using namespace kelvrix::frei0r;
using kelvrix::edition::ArgbToRgba;
using kelvrix::edition::RgbaToArgb;

namespace {

TEST(Frei0rParams, StyleStringsNameTheThreeStylesAndNothingElse) {
  const struct {
    const char* text;
    uint8_t style;
  } cases[] = {
      {"zesty", kStyle8},   {"cloudy", kStyle16},      {"tripping", kStyleFloat},
      {"8", kStyle8},       {"16", kStyle16},          {"32", kStyleFloat},
      {"Zesty", kStyle8},   {"TRIPPING", kStyleFloat}, {"", kStyleNone},
      {"zest", kStyleNone}, {"zesty ", kStyleNone},    {"64", kStyleNone},
      {"0", kStyleNone},    {nullptr, kStyleNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StyleFromString(c.text), c.style) << (c.text ? c.text : "null");
  }
  for (uint8_t style : {kStyle8, kStyle16, kStyleFloat}) {
    EXPECT_EQ(StyleFromString(StyleName(style)), style);
  }
}

// value x 1000, then the slider's own clamping and rounding: 0.15 is the default 150.
TEST(Frei0rParams, SizeIsAThousandthOfTheSlider) {
  const struct {
    double param;
    int32_t rounded;
  } cases[] = {{0.15, 150},
               {kDefaultSizeParam, 150},
               {0.0, 1},
               {-1.0, 1},
               {0.0004, 1},
               {0.0025, 3},
               {1.0, 1000},
               {7.5, 1000},
               {std::nan(""), 150},
               {0.9995, 1000}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundedSize(SliderFromSizeParam(c.param)), c.rounded) << c.param;
  }
}

TEST(PixelOrder, RgbaAndArgbAreOneRotationApartInBothDirections) {
  const std::vector<uint8_t> rgba = {1, 2, 3, 4, 0x10, 0x20, 0x30, 0xFF, 0, 0, 0, 0x80};
  const std::vector<uint8_t> argb = {4, 1, 2, 3, 0xFF, 0x10, 0x20, 0x30, 0x80, 0, 0, 0};
  std::vector<uint8_t> out(rgba.size());
  RgbaToArgb(rgba.data(), out.data(), 3);
  EXPECT_EQ(out, argb);
  ArgbToRgba(argb.data(), out.data(), 3);
  EXPECT_EQ(out, rgba);
  std::vector<uint8_t> inPlace = argb;
  ArgbToRgba(inPlace.data(), inPlace.data(), 3);
  EXPECT_EQ(inPlace, rgba);
  RgbaToArgb(inPlace.data(), inPlace.data(), 2);  // only the pixels asked for
  EXPECT_EQ(std::vector<uint8_t>(inPlace.begin(), inPlace.begin() + 8),
            std::vector<uint8_t>(argb.begin(), argb.begin() + 8));
  EXPECT_EQ(inPlace[8], 0);
}

}  // namespace
