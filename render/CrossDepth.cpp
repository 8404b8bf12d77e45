#include "render/CrossDepth.h"

#include <cmath>

#include "plugin/ScopedSuite.h"
#include "render/NativeFill.h"
#include "render/PixelTraits.h"
#include "render/WorldCheck.h"

namespace kelvrix {
namespace {

// Converts one channel of the style's depth into the output's.
template <typename Src, typename Dst>
using ChannelConverter = typename Dst::Channel (*)(typename Src::Channel);

template <typename Src, typename Dst, ChannelConverter<Src, Dst> Convert>
PF_Err ConvertRow(void* reference, A_long, A_long y, A_long) {
  const RenderPlan& plan = *static_cast<const RenderPlan*>(reference);
  const auto* src = reinterpret_cast<const typename Src::Pixel*>(
      reinterpret_cast<const uint8_t*>(plan.convSrc->data) +
      static_cast<ptrdiff_t>(y) * plan.convSrc->rowbytes);
  auto* dst =
      reinterpret_cast<typename Dst::Pixel*>(reinterpret_cast<uint8_t*>(plan.convDst->data) +
                                             static_cast<ptrdiff_t>(y) * plan.convDst->rowbytes);
  for (A_long x = 0; x < plan.convDst->width; ++x) {
    dst[x].red = Convert(src[x].red);
    dst[x].green = Convert(src[x].green);
    dst[x].blue = Convert(src[x].blue);
  }
  return PF_Err_NONE;
}

// The temporary world at the style's depth, disposed on every way out.
class TemporaryWorld {
 public:
  TemporaryWorld(PF_InData* in_data, PF_OutData* out_data)
      : in_data_(in_data), worlds_(in_data, kPFWorldSuite, kPFWorldSuiteVersion2, out_data) {}
  ~TemporaryWorld() {
    if (made_) worlds_->PF_DisposeWorld(in_data_->effect_ref, &world_);
  }
  TemporaryWorld(const TemporaryWorld&) = delete;
  TemporaryWorld& operator=(const TemporaryWorld&) = delete;

  PF_Err Make(A_long width, A_long height, PF_PixelFormat format) {
    const PF_Err err = worlds_->PF_NewWorld(in_data_->effect_ref, width, height,
                                            /*clear_pixB=*/0, format, &world_);
    made_ = err == PF_Err_NONE;
    if (made_ && world_.data == nullptr) return PF_Err_OUT_OF_MEMORY;
    return err;
  }
  PF_EffectWorld* World() { return &world_; }

 private:
  PF_InData* in_data_;
  ScopedSuite<PF_WorldSuite2> worlds_;
  PF_EffectWorld world_{};
  bool made_ = false;
};

using FillFunc = PF_Err (*)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*);

template <typename Src, typename Dst, FillFunc Fill, ChannelConverter<Src, Dst> Convert>
PF_Err RenderCrossDepth(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                        PF_OutData* out_data) {
  if (PF_Err result = PF_Err_NONE; NothingToPaint(output, Dst::kPixelBytes, &result)) return result;
  TemporaryWorld temporary(in_data, out_data);
  if (const PF_Err made = temporary.Make(output->width, output->height, Src::kFormat)) {
    return made;
  }
  PF_EffectWorld* source = temporary.World();
  const PF_Err r = Fill(plan, source, in_data, out_data);
  if (plan.noBlockFound) return r;
  if (source->rowbytes / Src::kPixelBytes < output->width || source->height < output->height) {
    return r != PF_Err_NONE ? r : PF_Err_BAD_CALLBACK_PARAM;  // the host's world is too small
  }
  plan.convDst = output;
  plan.convSrc = source;
  ScopedSuite<PF_Iterate8Suite2> iterate(in_data, kPFIterate8Suite, kPFIterate8SuiteVersion2,
                                         out_data);
  // A conversion the host cancelled or refused midway leaves rows unconverted: the frame is
  // not finished, so its code goes up unless the fill's came first.
  const PF_Err converted =
      iterate->iterate_generic(output->height, &plan, ConvertRow<Src, Dst, Convert>);
  return r != PF_Err_NONE ? r : converted;
}

}  // namespace

PF_Err RenderCrossDepth16To8(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<Depth16, Depth8, FillFromMemory16, Convert16To8>(p, o, i, d);
}
PF_Err RenderCrossDepthFloatTo8(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<DepthFloat, Depth8, FillFromMemoryFloat, ConvertFloatTo8>(p, o, i, d);
}
PF_Err RenderCrossDepth8To16(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<Depth8, Depth16, FillFromMemory8, Convert8To16>(p, o, i, d);
}
PF_Err RenderCrossDepthFloatTo16(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<DepthFloat, Depth16, FillFromMemoryFloat, ConvertFloatTo16>(p, o, i, d);
}
PF_Err RenderCrossDepth8ToFloat(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<Depth8, DepthFloat, FillFromMemory8, Convert8ToFloat>(p, o, i, d);
}
PF_Err RenderCrossDepth16ToFloat(RenderPlan& p, PF_EffectWorld* o, PF_InData* i, PF_OutData* d) {
  return RenderCrossDepth<Depth16, DepthFloat, FillFromMemory16, Convert16ToFloat>(p, o, i, d);
}

}  // namespace kelvrix
