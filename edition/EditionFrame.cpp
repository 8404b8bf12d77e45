#include "edition/EditionFrame.h"

#include <memory>
#include <new>

#include "edition/EditionSuites.h"
#include "edition/EditionWorld.h"
#include "render/SmartPreRender.h"
#include "render/SmartRender.h"

namespace kelvrix::edition {
namespace {

struct PlanDeleter {
  void operator()(RenderPlan* plan) const { FreePlan(plan); }
};

// The world the card dims when the host gave no input: transparent black, the frame's size.
class StandInInput {
 public:
  ~StandInInput() { FreeWorld(&world_); }
  PF_Err Make(const PF_EffectWorld& output, PF_PixelFormat format) {
    return AllocateWorld(output.width, output.height, format, /*clear=*/true, &world_);
  }
  PF_EffectWorld* World() { return &world_; }

 private:
  PF_EffectWorld world_{};
};

// The core reports through PF_Err codes and, from its suite holders, thrown integers; nothing
// else may reach an adapter's C entry points.
PF_Err RenderCaught(PF_InData* in_data, PF_OutData* out_data, const EditionFrame& frame,
                    PF_EffectWorld* input, RenderPlan* plan) {
  try {
    return RenderFrame(in_data, out_data, frame.format, input, frame.output, plan, kEditionCard);
  } catch (int code) {
    return code;
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  } catch (...) {
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}

}  // namespace

EditionResult RenderEditionFrame(const EditionFrame& frame) {
  EditionResult result;
  if (frame.output == nullptr) {
    result.err = PF_Err_BAD_CALLBACK_PARAM;
    return result;
  }
  // What pre-render reads from the parameters, from the frame.
  std::unique_ptr<RenderPlan, PlanDeleter> plan(NewPlan());
  if (!plan) {
    result.err = PF_Err_OUT_OF_MEMORY;
    return result;
  }
  plan->style = frame.style;
  plan->size = StyledSize(RoundedSize(frame.size), frame.style);
  plan->pixelFormat = static_cast<uint32_t>(frame.format);
  plan->outputWorld = frame.output;

  StandInInput standIn;
  PF_EffectWorld* input = frame.input;
  if (input == nullptr) {
    if (const PF_Err err = standIn.Make(*frame.output, frame.format)) {
      result.err = err;
      return result;
    }
    input = standIn.World();
  }

  FrameState state(frame);
  CurrentFrame current(&state);
  PF_InData in_data{};
  in_data.inter = EditionInteractCallbacks();
  in_data.effect_ref = EffectRefOf(&state);
  in_data.pica_basicP = const_cast<SPBasicSuite*>(EditionBasicSuite());
  in_data.width = frame.output->width;
  in_data.height = frame.output->height;
  in_data.extent_hint = frame.output->extent_hint;
  in_data.downsample_x = in_data.downsample_y = in_data.pixel_aspect_ratio = {1, 1};
  PF_OutData out_data{};

  result.err = RenderCaught(&in_data, &out_data, frame, input, plan.get());
  result.card = plan->noBlockFound;
  result.suitesUnreleased = state.suitesHeld;
  FreeTemporaries(state);
  return result;
}

}  // namespace kelvrix::edition
