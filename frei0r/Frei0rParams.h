// The frei0r parameters and what they mean to the effect:
//   0 "size"  double  Size / 1000: the slider is value x 1000, clamped to 1..1000 (0.15: 150)
//   1 "style" string  "zesty", "cloudy" or "tripping" (also "8", "16", "32")
#pragma once

#include <cstdint>

#include "render/RenderPlan.h"
#include "render/SizeRange.h"

namespace kelvrix::frei0r {

constexpr int kSizeParam = 0;
constexpr int kStyleParam = 1;
constexpr int kParamCount = 2;
constexpr double kSliderPerParam = 1000.0;
constexpr double kDefaultSizeParam = kSizeDefault / kSliderPerParam;
constexpr uint8_t kDefaultStyle = kStyle8;

// The Size slider's value for a frei0r size (the core clamps and rounds it; NaN is its
// default).
double SliderFromSizeParam(double value);

// The StyleDepth a style string names, ASCII case ignored; kStyleNone for anything else (null
// included).
uint8_t StyleFromString(const char* text);

// The name the style parameter reads back: "zesty", "cloudy" or "tripping".
const char* StyleName(uint8_t style);

// One line for standard error when a style string is refused.
void ReportUnknownStyle(const char* text);

}  // namespace kelvrix::frei0r
