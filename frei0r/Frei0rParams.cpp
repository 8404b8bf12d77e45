#include "frei0r/Frei0rParams.h"

#include <strings.h>

#include <cstdio>

namespace kelvrix::frei0r {
namespace {

struct StyleWord {
  const char* word;
  uint8_t style;
};

constexpr StyleWord kStyleWords[] = {
    {"zesty", kStyle8}, {"cloudy", kStyle16}, {"tripping", kStyleFloat},
    {"8", kStyle8},     {"16", kStyle16},     {"32", kStyleFloat},
};

}  // namespace

double SliderFromSizeParam(double value) { return value * kSliderPerParam; }

uint8_t StyleFromString(const char* text) {
  if (text == nullptr) return kStyleNone;
  for (const StyleWord& w : kStyleWords) {
    if (strcasecmp(text, w.word) == 0) return w.style;
  }
  return kStyleNone;
}

const char* StyleName(uint8_t style) {
  switch (style) {
    case kStyle16:
      return "cloudy";
    case kStyleFloat:
      return "tripping";
    default:
      return "zesty";
  }
}

void ReportUnknownStyle(const char* text) {
  std::fprintf(stderr,
               "kelvrix: unknown style \"%.64s\" (style unchanged); accepted: zesty, cloudy, "
               "tripping, 8, 16, 32\n",
               text != nullptr ? text : "(null)");
}

}  // namespace kelvrix::frei0r
