// Smart render: takes the frame's plan back, checks out input and output, and renders the
// frame: one of nine fill routines by output depth and style, then full alpha over the
// output's extent (or, when no usable memory turned up, the message card).
#pragma once

#include "hostapi/HostApi.h"
#include "plugin/SuiteHandler.h"
#include "render/RenderPlan.h"

namespace kelvrix {

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra);

// The three lines of the message card, in the order the card draws them.
struct CardTexts {
  const char* title;
  const char* firstHint;
  const char* secondHint;
};

inline constexpr char kCardTitle[] =
    "Couldn't find a large enough block of memory, try reducing the Size parameter.";
inline constexpr char kCardFirstHint[] = "Purging your cache to re-render this frame may help.";

// The card After Effects and Premiere Pro show.
inline constexpr CardTexts kAfterEffectsCard = {
    kCardTitle, kCardFirstHint,
    "Restarting AE can also also help - every AE session brings different data in memory."};

// A frame ends finished (memory with full alpha, or the card drawn completely) and returns 0,
// or returns the code of the first pass that did not finish: the host's abort, a refused or
// cancelled iteration. The card is drawn whenever no usable memory turned up.
PF_Err RenderFrame(PF_InData* in_data, PF_OutData* out_data, PF_PixelFormat format,
                   PF_EffectWorld* input, PF_EffectWorld* output, RenderPlan* plan,
                   const CardTexts& card = kAfterEffectsCard);

// Tests of the other editions hold their cards to the After Effects edition's: while one lives,
// SmartRender draws `texts` instead of kAfterEffectsCard (which must outlive it).
class ScopedCardTextsForTesting {
 public:
  explicit ScopedCardTextsForTesting(const CardTexts& texts);
  ~ScopedCardTextsForTesting();
  ScopedCardTextsForTesting(const ScopedCardTextsForTesting&) = delete;
  ScopedCardTextsForTesting& operator=(const ScopedCardTextsForTesting&) = delete;

 private:
  const CardTexts* previous_;
};

// Per-pixel finishing pass: full alpha (255, 32768, 1.0) into the output pixel only.
PF_Err SetFullAlpha8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out);
PF_Err SetFullAlpha16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
PF_Err SetFullAlphaFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);

}  // namespace kelvrix
