// One frei0r instance: its frame size, its parameters and the worlds its input is converted
// into. frei0r says an instance is called from one thread at a time, but MLT updates one
// instance from several threads at once: every frame's state lives in the call, the
// parameters are atomic and the input worlds come from a pool that hands each call its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "edition/EditionFrame.h"
#include "edition/WorldPool.h"
#include "frei0r/Frei0rParams.h"
#include "hostapi/HostApi.h"

namespace kelvrix::frei0r {

class Frei0rInstance {
 public:
  // Null, with one line on standard error naming the limit, for a side of 0 or beyond the
  // largest frame; null when the instance cannot be allocated.
  static std::unique_ptr<Frei0rInstance> Create(unsigned width, unsigned height);
  Frei0rInstance(const Frei0rInstance&) = delete;
  Frei0rInstance& operator=(const Frei0rInstance&) = delete;

  double sizeParam() const { return sizeParam_.load(std::memory_order_relaxed); }
  const char* styleName() const { return StyleName(style_.load(std::memory_order_relaxed)); }
  void SetSizeParam(double value) { sizeParam_.store(value, std::memory_order_relaxed); }
  // An unknown string keeps the style; standard error hears of each distinct one once (MLT
  // sets every parameter on every frame).
  void SetStyle(const char* text);

  // One frame: RGBA8888 in (null: the card has no background) and out, width x height
  // pixels each, rows packed. The same frame the 8 bpc After Effects project renders; a frame
  // that could not be finished is transparent black.
  edition::EditionResult Update(const uint32_t* inframe, uint32_t* outframe);

 private:
  Frei0rInstance() = default;

  A_long width_ = 0;
  A_long height_ = 0;
  std::atomic<double> sizeParam_{kDefaultSizeParam};
  std::atomic<uint8_t> style_{kDefaultStyle};
  edition::WorldPool inputs_;  // ARGB32 worlds of the frame's size
  std::mutex reportedMutex_;
  std::set<std::string> reported_;  // unknown styles already reported
};

}  // namespace kelvrix::frei0r
