// The After Effects view an edition gives the core: a basic suite serving exactly the suites
// the core acquires (the effect reference's PF interface and effect suites, the iterate
// suites, the world suite), backed by the frame being rendered.
#pragma once

#include <array>

#include "edition/EditionFrame.h"
#include "hostapi/HostApi.h"

namespace kelvrix::edition {

// What the suites know of the frame in flight. in_data's effect_ref points at it.
struct FrameState {
  explicit FrameState(const EditionFrame& f) : frame(f) {}
  const EditionFrame& frame;
  // The core's temporary worlds: at most one a frame; a few slots to spare.
  struct Temporary {
    void* data = nullptr;
    PF_PixelFormat format = PF_PixelFormat_INVALID;
  };
  std::array<Temporary, 4> temporaries{};
  int suitesHeld = 0;
  bool inputFilled = false;  // frame.inputFill has run
};

// Suite calls that carry no effect reference (iterate_generic, PF_GetPixelFormat, the basic
// suite itself) find their frame as the one current on the calling thread: the core makes
// every suite call from the thread that called RenderFrame.
class CurrentFrame {
 public:
  explicit CurrentFrame(FrameState* state);
  ~CurrentFrame();
  CurrentFrame(const CurrentFrame&) = delete;
  CurrentFrame& operator=(const CurrentFrame&) = delete;

 private:
  FrameState* previous_;
};

const SPBasicSuite* EditionBasicSuite();

// The interaction callbacks with the frame's abort check.
PF_InteractCallbacks EditionInteractCallbacks();

// Frees temporary worlds the core left behind (none on a normal way out).
void FreeTemporaries(FrameState& state);

inline PF_ProgPtr EffectRefOf(FrameState* state) { return reinterpret_cast<PF_ProgPtr>(state); }

}  // namespace kelvrix::edition
