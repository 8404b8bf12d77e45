#include "render/SmartPreRender.h"

#include <cmath>
#include <memory>

#include "plugin/EffectReference.h"
#include "plugin/SuiteHandler.h"
#include "render/RenderPlan.h"
#include "render/SizeRange.h"

namespace kelvrix {
namespace {

constexpr PF_ParamIndex kSizeParam = 1;
constexpr PF_ParamIndex kStyleParams[] = {3, 4, 5};  // 8, 16 and 32 bpc, in priority order

struct PlanDeleter {
  void operator()(RenderPlan* plan) const { FreePlan(plan); }
};

// Reads one parameter at the command's time and checks it back in. Returns the host's
// error; on success *def holds the value.
PF_Err ReadParam(PF_InData* in_data, PF_ParamIndex index, PF_ParamDef* def) {
  const PF_Err err =
      in_data->inter.checkout_param(in_data->effect_ref, index, in_data->current_time,
                                    in_data->time_step, in_data->time_scale, def);
  if (err == PF_Err_NONE) in_data->inter.checkin_param(in_data->effect_ref, def);
  return err;
}

// Size and the boxes into plan->size and plan->style, stopping at the first
// error the host reports.
PF_Err ReadSizeAndStyle(PF_InData* in_data, RenderPlan* plan) {
  PF_ParamDef def{};
  PF_Err err = ReadParam(in_data, kSizeParam, &def);
  if (err != PF_Err_NONE) return err;
  plan->size = RoundedSize(def.u.fs_d.value);

  bool ticked[3] = {false, false, false};
  for (int i = 0; i < 3 && err == PF_Err_NONE; ++i) {
    def = PF_ParamDef{};
    err = ReadParam(in_data, kStyleParams[i], &def);
    if (err == PF_Err_NONE) ticked[i] = def.u.bd.value != 0;
  }
  // The first ticked box wins; supervision normally keeps exactly one ticked.
  plan->style = ticked[0] ? kStyle8 : ticked[1] ? kStyle16 : ticked[2] ? kStyleFloat : kStyleNone;
  plan->size = StyledSize(plan->size, plan->style);
  return err;
}

}  // namespace

int32_t RoundedSize(double sliderValue) {
  // A host or a saved project can deliver any double; only the valid range reaches the
  // conversion.
  const double v = std::isnan(sliderValue) ? kSizeDefault
                                           : std::fmin(std::fmax(sliderValue, kSizeMin), kSizeMax);
  return static_cast<int32_t>(std::round(v));
}

int32_t StyledSize(int32_t roundedSize, uint8_t style) {
  // Never below one pixel: an empty image would send the search after 0-byte blocks until its
  // whole budget is spent, and end on the card.
  const auto atLeastOne = [](int32_t side) { return side > 1 ? side : 1; };
  switch (style) {
    case kStyle16:
      return atLeastOne(roundedSize / 2);
    case kStyleFloat:
      return atLeastOne(roundedSize / 4);
    default:
      return roundedSize;
  }
}

PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_PreRenderExtra* extra) {
  if (extra == nullptr || extra->input == nullptr || extra->output == nullptr ||
      extra->cb == nullptr) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // The plan; until the host owns it, it is freed on every way out.
  std::unique_ptr<RenderPlan, PlanDeleter> plan(NewPlan());

  // The effect reference (asked for, then given back).
  SuiteHandler suites(in_data->pica_basicP);
  PF_Err err = RequestEffectReference(suites, in_data, out_data);

  if (!plan) return PF_Err_OUT_OF_MEMORY;

  // Size and Style at the current time.
  if (err == PF_Err_NONE) err = ReadSizeAndStyle(in_data, plan.get());

  // The input, with exactly the request the host made of the effect.
  PF_RenderRequest request = extra->input->output_request;
  PF_CheckoutResult checkout{};
  if (err == PF_Err_NONE) {
    err = extra->cb->checkout_layer(in_data->effect_ref, 0, 0, &request, in_data->current_time,
                                    in_data->time_step, in_data->time_scale, &checkout);
    // The effect's rectangles are its input's, joined with what the host put there.
    if (err == PF_Err_NONE) {
      UnionRect(checkout.result_rect, extra->output->result_rect);
      UnionRect(checkout.max_result_rect, extra->output->max_result_rect);
    }
  }

  // The host frees the plan through FreePlan, also after an error.
  extra->output->pre_render_data = plan.release();
  extra->output->delete_pre_render_data_func = FreePlan;
  return err;
}

}  // namespace kelvrix
