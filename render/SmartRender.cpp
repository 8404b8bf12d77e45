#include "render/SmartRender.h"

#include <atomic>
#include <optional>

#include "plugin/EffectReference.h"
#include "plugin/ScopedSuite.h"
#include "render/CrossDepth.h"
#include "render/NativeFill.h"
#include "render/PixelTraits.h"
#include "text/MessageCard.h"

namespace kelvrix {
namespace {

std::atomic<const CardTexts*> gCardForTesting{nullptr};

const CardTexts& SmartRenderCard() {
  const CardTexts* texts = gCardForTesting.load(std::memory_order_acquire);
  return texts != nullptr ? *texts : kAfterEffectsCard;
}

using FrameRoutine = PF_Err (*)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*);

// The routine for an output depth (row) and a style (column); null: no routine.
FrameRoutine RoutineFor(PF_PixelFormat format, uint8_t style) {
  static const FrameRoutine k8[] = {FillFromMemory8, RenderCrossDepth16To8,
                                    RenderCrossDepthFloatTo8};
  static const FrameRoutine k16[] = {RenderCrossDepth8To16, FillFromMemory16,
                                     RenderCrossDepthFloatTo16};
  static const FrameRoutine kFloat[] = {RenderCrossDepth8ToFloat, RenderCrossDepth16ToFloat,
                                        FillFromMemoryFloat};
  if (style < kStyle8 || style > kStyleFloat) return nullptr;
  switch (format) {
    case PF_PixelFormat_ARGB32:
      return k8[style - 1];
    case PF_PixelFormat_ARGB64:
      return k16[style - 1];
    case PF_PixelFormat_ARGB128:
      return kFloat[style - 1];
    default:
      return nullptr;
  }
}

template <typename Suite, typename PixelFunc>
PF_Err FinishingPass(PF_InData* in_data, PF_OutData* out_data, const char* suiteName,
                     PF_EffectWorld* output, RenderPlan* plan, PixelFunc setFullAlpha) {
  ScopedSuite<Suite> iterate(in_data, suiteName, 2, out_data);
  const PF_Rect& extent = output->extent_hint;
  return iterate->iterate(in_data, 0, extent.bottom - extent.top, output, &extent, plan,
                          setFullAlpha, output);
}

PF_Err SetFullAlpha(PF_InData* in_data, PF_OutData* out_data, PF_PixelFormat format,
                    PF_EffectWorld* output, RenderPlan* plan) {
  switch (format) {
    case PF_PixelFormat_ARGB32:
      return FinishingPass<PF_Iterate8Suite2>(in_data, out_data, kPFIterate8Suite, output, plan,
                                              SetFullAlpha8);
    case PF_PixelFormat_ARGB64:
      return FinishingPass<PF_Iterate16Suite2>(in_data, out_data, kPFIterate16Suite, output, plan,
                                               SetFullAlpha16);
    default:
      return FinishingPass<PF_IterateFloatSuite2>(in_data, out_data, kPFIterateFloatSuite, output,
                                                  plan, SetFullAlphaFloat);
  }
}

bool IsRenderedFormat(PF_PixelFormat format) {
  return format == PF_PixelFormat_ARGB32 || format == PF_PixelFormat_ARGB64 ||
         format == PF_PixelFormat_ARGB128;
}

// Checks the input back in on every way out of SmartRender; Checkin reports the result once.
class InputCheckout {
 public:
  InputCheckout(PF_InData* in_data, PF_SmartRenderCallbacks* cb) : in_data_(in_data), cb_(cb) {}
  ~InputCheckout() { Checkin(); }
  InputCheckout(const InputCheckout&) = delete;
  InputCheckout& operator=(const InputCheckout&) = delete;

  PF_Err Checkin() {
    if (done_) return PF_Err_NONE;
    done_ = true;
    return cb_->checkin_layer_pixels(in_data_->effect_ref, 0);
  }

 private:
  PF_InData* in_data_;
  PF_SmartRenderCallbacks* cb_;
  bool done_ = false;
};

}  // namespace

PF_Err SetFullAlpha8(void*, A_long, A_long, PF_Pixel8*, PF_Pixel8* out) {
  out->alpha = Depth8::kFull;
  return PF_Err_NONE;
}
PF_Err SetFullAlpha16(void*, A_long, A_long, PF_Pixel16*, PF_Pixel16* out) {
  out->alpha = Depth16::kFull;
  return PF_Err_NONE;
}
PF_Err SetFullAlphaFloat(void*, A_long, A_long, PF_PixelFloat*, PF_PixelFloat* out) {
  out->alpha = DepthFloat::kFull;
  return PF_Err_NONE;
}

PF_Err RenderFrame(PF_InData* in_data, PF_OutData* out_data, PF_PixelFormat format,
                   PF_EffectWorld* input, PF_EffectWorld* output, RenderPlan* plan,
                   const CardTexts& card) {
  SuiteHandler suites(in_data->pica_basicP);
  PF_Err err = RequestEffectReference(suites, in_data, out_data);
  plan->noBlockFound = false;
  if (err != PF_Err_NONE) return err;
  if (!IsRenderedFormat(format)) return PF_Err_NONE;  // not ours to touch
  // With no box ticked no routine runs and the output keeps its colour.
  if (FrameRoutine routine = RoutineFor(format, plan->style)) {
    err = routine(*plan, output, in_data, out_data);
  }
  // Memory pixels end with full alpha over the output's extent.
  if (err == PF_Err_NONE && !plan->noBlockFound) {
    err = SetFullAlpha(in_data, out_data, format, output, plan);
  }
  // Without usable memory the frame shows the card, whatever the result so far. A card the
  // host cancelled or refused midway leaves rows nobody wrote: that is not a finished frame.
  if (plan->noBlockFound) {
    const PF_Err drawn = DrawMessageCard(card.title, card.firstHint, card.secondHint, input, output,
                                         format, in_data, suites);
    if (err == PF_Err_NONE) err = drawn;
  }
  return err;
}

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra) {
  if (extra == nullptr || extra->input == nullptr || extra->cb == nullptr) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  auto* plan = static_cast<RenderPlan*>(extra->input->pre_render_data);
  if (plan == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  // The World suite is declared before the checkout and acquired after it, so that on every
  // way out, a thrown code included, the input is checked in before the suite is released.
  std::optional<ScopedSuite<PF_WorldSuite2>> worlds;
  PF_EffectWorld* input = nullptr;
  PF_EffectWorld* output = nullptr;
  PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref, 0, &input);
  InputCheckout checkout(in_data, extra->cb);
  if (err == PF_Err_NONE) err = extra->cb->checkout_output(in_data->effect_ref, &output);
  worlds.emplace(in_data, kPFWorldSuite, kPFWorldSuiteVersion2, out_data);
  PF_PixelFormat format = PF_PixelFormat_INVALID;
  if (err == PF_Err_NONE) err = (*worlds)->PF_GetPixelFormat(input, &format);
  // The input's format stands for the output's; a host that gave them different formats
  // would have the output written with the wrong pixel size.
  PF_PixelFormat outputFormat = PF_PixelFormat_INVALID;
  if (err == PF_Err_NONE && output != nullptr &&
      (*worlds)->PF_GetPixelFormat(output, &outputFormat) == PF_Err_NONE &&
      outputFormat != format) {
    err = PF_Err_BAD_CALLBACK_PARAM;
  }
  plan->pixelFormat = static_cast<uint32_t>(format);
  plan->outputWorld = output;
  if (err == PF_Err_NONE) {
    err = input == nullptr || output == nullptr
              ? PF_Err_BAD_CALLBACK_PARAM
              : RenderFrame(in_data, out_data, format, input, output, plan, SmartRenderCard());
  }
  // An earlier error wins over the check-in's.
  const PF_Err checkin = checkout.Checkin();
  return err != PF_Err_NONE ? err : checkin;
}

ScopedCardTextsForTesting::ScopedCardTextsForTesting(const CardTexts& texts)
    : previous_(gCardForTesting.exchange(&texts, std::memory_order_acq_rel)) {}

ScopedCardTextsForTesting::~ScopedCardTextsForTesting() {
  gCardForTesting.store(previous_, std::memory_order_release);
}

}  // namespace kelvrix
