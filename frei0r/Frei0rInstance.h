// One frei0r instance: its frame size, parameters and the world its input is converted into.
// The host calls an instance from one thread at a time; instances share nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "edition/EditionFrame.h"
#include "frei0r/Frei0rParams.h"
#include "hostapi/HostApi.h"

namespace kelvrix::frei0r {

class Frei0rInstance {
 public:
  // Null for a side of 0, beyond PF_MAX_WORLD_WIDTH/HEIGHT, or when its input world cannot be
  // allocated.
  static std::unique_ptr<Frei0rInstance> Create(unsigned width, unsigned height);
  ~Frei0rInstance();
  Frei0rInstance(const Frei0rInstance&) = delete;
  Frei0rInstance& operator=(const Frei0rInstance&) = delete;

  double sizeParam() const { return sizeParam_; }
  const char* styleName() const { return StyleName(style_); }
  void SetSizeParam(double value) { sizeParam_ = value; }
  // An unknown string keeps the style and reports on standard error.
  void SetStyle(const char* text);

  // One frame: RGBA8888 in (null: the card has no background) and out, width x height
  // pixels each, rows packed. The same frame the 8 bpc After Effects project renders.
  edition::EditionResult Update(const uint32_t* inframe, uint32_t* outframe);

 private:
  Frei0rInstance() = default;

  A_long width_ = 0;
  A_long height_ = 0;
  double sizeParam_ = kDefaultSizeParam;
  uint8_t style_ = kDefaultStyle;
  PF_EffectWorld input_{};     // ARGB32
  std::vector<uint8_t> told_;  // per output row: turned into RGBA this frame
};

}  // namespace kelvrix::frei0r
