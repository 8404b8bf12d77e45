// The frei0r entry points. Everything but these is hidden in the module.
// The header declares C functions without saying so; what it declares is what the module
// exports (everything else is hidden).
#pragma GCC visibility push(default)
extern "C" {
#include <frei0r.h>
}
#pragma GCC visibility pop

#include <iterator>

#include "frei0r/Frei0rInstance.h"

using kelvrix::frei0r::Frei0rInstance;

namespace {

constexpr char kExplanation[] =
    "Glitch: ignores the input and paints the raw bytes of freshly allocated, uncleared heap "
    "memory as a picture, read as 8-bit, 16-bit or float channels (style) and stretched over "
    "the frame with a little noise; size sets how much memory is shown. When no usable memory "
    "turns up it shows a message card over the dimmed input.";

const f0r_param_info_t kParams[] = {
    {"size", F0R_PARAM_DOUBLE,
     "How much memory is shown: the memory image's side / 1000 (0.001 to 1; 0.15 is 150 "
     "pixels)"},
    {"style", F0R_PARAM_STRING,
     "How memory is read: zesty (8-bit), cloudy (16-bit) or tripping (32-bit float)"},
};
static_assert(std::size(kParams) == kelvrix::frei0r::kParamCount);

Frei0rInstance* InstanceOf(f0r_instance_t instance) {
  return static_cast<Frei0rInstance*>(instance);
}

}  // namespace

extern "C" {

int f0r_init(void) { return 1; }

void f0r_deinit(void) {}

void f0r_get_plugin_info(f0r_plugin_info_t* info) {
  if (info == nullptr) return;
  info->name = "kelvrix";
  info->author = "Torvendale";
  info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
  info->color_model = F0R_COLOR_MODEL_RGBA8888;
  info->frei0r_version = FREI0R_MAJOR_VERSION;
  info->major_version = 1;
  info->minor_version = 1;
  info->num_params = kelvrix::frei0r::kParamCount;
  info->explanation = kExplanation;
}

void f0r_get_param_info(f0r_param_info_t* info, int param_index) {
  if (info == nullptr || param_index < 0 || param_index >= kelvrix::frei0r::kParamCount) return;
  *info = kParams[param_index];
}

f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
  return Frei0rInstance::Create(width, height).release();
}

void f0r_destruct(f0r_instance_t instance) { delete InstanceOf(instance); }

void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  Frei0rInstance* self = InstanceOf(instance);
  if (self == nullptr || param == nullptr) return;
  if (param_index == kelvrix::frei0r::kSizeParam) {
    self->SetSizeParam(*static_cast<const f0r_param_double*>(param));
  } else if (param_index == kelvrix::frei0r::kStyleParam) {
    self->SetStyle(*static_cast<const f0r_param_string*>(param));
  }
}

void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  const Frei0rInstance* self = InstanceOf(instance);
  if (self == nullptr || param == nullptr) return;
  if (param_index == kelvrix::frei0r::kSizeParam) {
    *static_cast<f0r_param_double*>(param) = self->sizeParam();
  } else if (param_index == kelvrix::frei0r::kStyleParam) {
    // The caller reads it and does not free or change it.
    *static_cast<f0r_param_string*>(param) = const_cast<char*>(self->styleName());
  }
}

void f0r_update(f0r_instance_t instance, double, const uint32_t* inframe, uint32_t* outframe) {
  if (Frei0rInstance* self = InstanceOf(instance)) self->Update(inframe, outframe);
}

}  // extern "C"
