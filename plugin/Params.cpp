// The effect's controls: the Size slider and the Style group, whose three boxes act as one
// choice because supervision answers every change by setting the other two.
#include <cstring>

#include "plugin/EffectReference.h"
#include "plugin/Handlers.h"
#include "plugin/SuiteHandler.h"
#include "render/SizeRange.h"

namespace kelvrix {
namespace {

constexpr A_long kNumParams = 7;  // the input layer and the six below
constexpr PF_ParamIndex kFirstStyleBox = 3;
constexpr PF_ParamIndex kLastStyleBox = 5;
constexpr A_long kCheckboxFlags =
    PF_ParamFlag_CANNOT_TIME_VARY | PF_ParamFlag_SUPERVISE | PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN;

PF_ParamDef NewParam(PF_InData* in_data, A_long id, PF_ParamType type, const char* name,
                     PF_ParamFlags flags) {
  PF_ParamDef def;
  std::memset(&def, 0, sizeof def);
  PF_STRCPY(def.name, name);
  def.uu.id = id;
  def.param_type = type;
  def.flags = flags;
  return def;
}

PF_ParamDef SizeSlider(PF_InData* in_data) {
  PF_ParamDef def =
      NewParam(in_data, 1, PF_Param_FLOAT_SLIDER, "Size", PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN);
  PF_FloatSliderDef& slider = def.u.fs_d;
  slider.value = kSizeDefault;
  slider.phase = 0.0;
  slider.valid_min = static_cast<PF_FpShort>(kSizeMin);
  slider.valid_max = static_cast<PF_FpShort>(kSizeMax);
  slider.slider_min = static_cast<PF_FpShort>(kSizeMin);
  slider.slider_max = static_cast<PF_FpShort>(kSizeSliderMax);
  slider.dephault = static_cast<PF_FpShort>(kSizeDefault);
  slider.precision = static_cast<A_short>(PF_Precision_INTEGER);
  slider.display_flags = 0;
  slider.fs_flags = PF_FSliderFlag_WANT_PHASE;
  slider.curve_tolerance = 0.05f;
  return def;
}

PF_ParamDef StyleBox(PF_InData* in_data, A_long id, const char* name, bool on) {
  PF_ParamDef def = NewParam(in_data, id, PF_Param_CHECKBOX, name, kCheckboxFlags);
  def.u.bd.value = on ? 1 : 0;
  def.u.bd.dephault = static_cast<PF_Boolean>(on ? 1 : 0);
  def.u.bd.u.nameptr = "";
  return def;
}

void SetBox(PF_ParamDef* box, PF_ParamValue value) {
  box->u.bd.value = value;
  box->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
}

// Keeps exactly one box ticked, given that one was ticked before the change at k.
void KeepOneBoxTicked(PF_ParamDef* params[], PF_ParamIndex k) {
  for (PF_ParamIndex i = kFirstStyleBox; i <= kLastStyleBox; ++i) {
    if (params[i] == nullptr) return;  // nothing to keep consistent
  }
  if (k < kFirstStyleBox || k > kLastStyleBox) return;
  const bool noneTicked =
      params[3]->u.bd.value == 0 && params[4]->u.bd.value == 0 && params[5]->u.bd.value == 0;
  if (noneTicked) {
    SetBox(params[k], 1);  // the only ticked box was unticked: tick it again
    return;
  }
  for (PF_ParamIndex i = kFirstStyleBox; i <= kLastStyleBox; ++i) {
    if (i != k) SetBox(params[i], 0);
  }
}

}  // namespace

PF_Err SetupParams(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*) {
  PF_ParamDef defs[] = {
      SizeSlider(in_data),
      NewParam(in_data, 2, PF_Param_GROUP_START, "Style (Bit Depth)", 0),
      StyleBox(in_data, 3, "Zesty (8 bpc)", true),
      StyleBox(in_data, 4, "Cloudy (16 bpc)", false),
      StyleBox(in_data, 5, "Tripping (32 bpc)", false),
      NewParam(in_data, 6, PF_Param_GROUP_END, "", 0),
  };
  for (PF_ParamDef& def : defs) {
    const PF_Err err = in_data->inter.add_param(in_data->effect_ref, -1, &def);
    if (err != PF_Err_NONE) return err;
  }
  out_data->num_params = kNumParams;
  return PF_Err_NONE;
}

PF_Err SuperviseStyle(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      const PF_UserChangedParamExtra* extra) {
  PF_Err err = PF_Err_NONE;
  if (in_data->appl_id != kAppIdPremierePro) {
    {
      SuiteHandler suites(in_data->pica_basicP);
      err = RequestEffectReference(suites, in_data, out_data);
    }
    if (params != nullptr && extra != nullptr) KeepOneBoxTicked(params, extra->param_index);
  }
  out_data->out_flags |= PF_OutFlag_REFRESH_UI;
  return err;
}

}  // namespace kelvrix
