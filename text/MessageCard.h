// The message card a frame shows when no usable memory turned up: the input layer at half
// brightness with a title and two hints in white, composited into the output world through
// the host's version-1 iterate suites. The one part of the text engine that knows the host.
#pragma once

#include <string>

#include "hostapi/HostApi.h"
#include "plugin/SuiteHandler.h"
#include "text/TextCanvas.h"

namespace kelvrix {

// What the compositing callbacks read.
struct CardBlend {
  const text::TextCanvas* canvas;
  float sourceGain;  // applied to the source's red, green and blue
  // Set only when the source world does not cover the output: the callbacks then read the
  // source themselves where it has pixels and take transparent black elsewhere, instead of
  // relying on the host to pair worlds of different sizes.
  const PF_EffectWorld* source;
};

// Where the card's lines go, from the output's size.
struct CardLayout {
  float titleSize;  // pixels
  float hintSize;
  float left;
  float maxWidth;  // W - 24; zero or less draws no text
  float titleBaseline;
  float firstHintBaseline;
  float secondHintBaseline;
};
CardLayout LayoutFor(A_long width, A_long height);

// Draws the title and the two hints into `canvas` where `layout` puts them. False when the
// embedded font could not be decoded (out of memory): nothing is drawn then.
bool DrawCardText(text::TextCanvas& canvas, const CardLayout& layout, const std::string& title,
                  const std::string& firstHint, const std::string& secondHint);

// Draws the card into `output` (written in full). Returns the iterate's result, or
// PF_Err_OUT_OF_MEMORY when the canvas, the font or the memory of a line cannot be allocated
// (then nothing is drawn). A missing iterate suite throws 516 through the SuiteHandler.
PF_Err DrawMessageCard(std::string title, std::string firstHint, std::string secondHint,
                       PF_EffectWorld* source, PF_EffectWorld* output, PF_PixelFormat format,
                       PF_InData* in_data, SuiteHandler& suites);

PF_Err CompositeCardPixel8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out);
PF_Err CompositeCardPixel16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
PF_Err CompositeCardPixelFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in,
                               PF_PixelFloat* out);

}  // namespace kelvrix
