// The suites and callbacks the simulated host serves, as plain C functions that find the
// active host (or, where the host passes one, the calling command through effect_ref).
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host/IterateSuites.h"
#include "host/NotSimulated.h"
#include "host/SimHost.h"

namespace kelvrix::host {

namespace {

SimHost& Host() { return *SimHost::Active(); }

// ---- SP Basic Suite -----------------------------------------------------------------------

SPErr AcquireSuite(const char* name, int32 version, const void** suite) {
  return Host().Suites().Acquire(name, version, suite);
}
SPErr ReleaseSuite(const char* name, int32 version) {
  return Host().Suites().Release(name, version);
}
SPBoolean IsEqual(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}
SPErr AllocateBlock(size_t size, void** block) {
  if (block == nullptr) return kSPBadParameterError;
  *block = std::malloc(size == 0 ? 1 : size);
  return *block != nullptr ? kSPNoError : static_cast<SPErr>(-148);
}
SPErr FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}
SPErr ReallocateBlock(void* block, size_t size, void** grown) {
  if (grown == nullptr) return kSPBadParameterError;
  *grown = std::realloc(block, size == 0 ? 1 : size);
  return *grown != nullptr ? kSPNoError : static_cast<SPErr>(-148);
}
SPErr Undefined() { return kSPNoError; }

// ---- PF Handle Suite ----------------------------------------------------------------------

PF_Handle NewHandle(A_HandleSize size) {
  if (Host().Faults().Check("host_new_handle")) return nullptr;
  return Host().Handles().New(size);
}
void* LockHandle(PF_Handle handle) {
  if (Host().Faults().Check("host_lock_handle")) return nullptr;
  return Host().Handles().Lock(handle);
}
void UnlockHandle(PF_Handle handle) {
  Host().Faults().Check("host_unlock_handle");
  Host().Handles().Unlock(handle);
}
void DisposeHandle(PF_Handle handle) {
  Host().Faults().Check("host_dispose_handle");
  Host().Handles().Dispose(handle);
}
A_HandleSize HandleSize(PF_Handle handle) { return Host().Handles().Size(handle); }
PF_Err ResizeHandle(A_HandleSize size, PF_Handle* handle) {
  if (PF_Err err = Host().Faults().Check("host_resize_handle")) return err;
  return Host().Handles().Resize(size, handle);
}

const PF_HandleSuite1 kHandleSuite = {NewHandle,     LockHandle, UnlockHandle,
                                      DisposeHandle, HandleSize, ResizeHandle};

// ---- PF World Suite 2 ---------------------------------------------------------------------

PF_Err NewWorld(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear,
                PF_PixelFormat format, PF_EffectWorld* world) {
  if (PF_Err err = Host().Faults().Check("PF_NewWorld")) return err;
  if (SimHost::ContextOf(effect_ref) == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  WorldSpec shape;
  shape.width = width;
  shape.height = height;
  shape.format = format;
  shape.rowPaddingBytes = Host().Options().rowPaddingBytes;
  if (clear) {
    shape.fillByte = 0;
  } else {
    shape.fill = Host().Options().poisonNewWorlds;
  }
  return Host().Worlds().Create(shape, world);
}
PF_Err DisposeWorld(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
  if (PF_Err err = Host().Faults().Check("PF_DisposeWorld")) return err;
  if (SimHost::ContextOf(effect_ref) == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return Host().Worlds().Dispose(world);
}
PF_Err GetPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
  if (PF_Err err = Host().Faults().Check("PF_GetPixelFormat")) return err;
  return Host().Worlds().FormatOf(world, format);
}

const PF_WorldSuite2 kWorldSuite2 = {NewWorld, DisposeWorld, GetPixelFormat};

// ---- PF Pixel Format Suite 1 --------------------------------------------------------------

PF_Err AddSupportedPixelFormat(PF_ProgPtr, PrPixelFormat format) {
  if (PF_Err err = Host().Faults().Check("AddSupportedPixelFormat")) return err;
  char entry[32];
  std::snprintf(entry, sizeof entry, "add 0x%08X", static_cast<unsigned>(format));
  Host().LogPixelFormat(entry);
  return PF_Err_NONE;
}
PF_Err ClearSupportedPixelFormats(PF_ProgPtr) {
  if (PF_Err err = Host().Faults().Check("ClearSupportedPixelFormats")) return err;
  Host().LogPixelFormat("clear");
  return PF_Err_NONE;
}

const PF_PixelFormatSuite1 kPixelFormatSuite1 = {AddSupportedPixelFormat,
                                                 ClearSupportedPixelFormats,
                                                 NotSimulated,
                                                 NotSimulated,
                                                 NotSimulated,
                                                 NotSimulated,
                                                 NotSimulated,
                                                 NotSimulated};

// ---- AEGP suites --------------------------------------------------------------------------

A_Err RegisterWithAEGP(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* plugin_id) {
  if (PF_Err err = Host().Faults().Check("AEGP_RegisterWithAEGP")) return err;
  if (name == nullptr || plugin_id == nullptr) return A_Err_PARAMETER;
  *plugin_id = Host().NextPluginId(name);
  return A_Err_NONE;
}

const AEGP_UtilitySuite3 kUtilitySuite3 = {
    NotSimulated, NotSimulated, NotSimulated,     NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, RegisterWithAEGP, NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, NotSimulated,     NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, NotSimulated,     NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, NotSimulated,     NotSimulated, NotSimulated};

A_Err GetNewEffectForEffect(AEGP_PluginID, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect) {
  if (PF_Err err = Host().Faults().Check("AEGP_GetNewEffectForEffect")) return err;
  if (effect == nullptr || SimHost::ContextOf(effect_ref) == nullptr) return A_Err_PARAMETER;
  *effect = Host().NewEffectRef();
  return A_Err_NONE;
}

const AEGP_PFInterfaceSuite1 kPFInterfaceSuite1 = {NotSimulated, GetNewEffectForEffect,
                                                   NotSimulated, NotSimulated, NotSimulated};

A_Err DisposeEffect(AEGP_EffectRefH effect) {
  if (PF_Err err = Host().Faults().Check("AEGP_DisposeEffect")) return err;
  return Host().DisposeEffectRef(effect);
}

const AEGP_EffectSuite4 kEffectSuite4 = {
    NotSimulated, NotSimulated, NotSimulated,  NotSimulated, NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, DisposeEffect, NotSimulated, NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, NotSimulated,  NotSimulated, NotSimulated, NotSimulated,
    NotSimulated, NotSimulated, NotSimulated,  NotSimulated};

// ---- Interaction callbacks ----------------------------------------------------------------

PF_Err CheckoutParamCallback(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long,
                             A_u_long, PF_ParamDef* param) {
  if (PF_Err err = Host().Faults().Check("checkout_param")) return err;
  SimHost::CallContext* context = SimHost::ContextOf(effect_ref);
  if (context == nullptr || param == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return Host().CheckoutParam(context, index, what_time, param);
}
PF_Err CheckinParamCallback(PF_ProgPtr effect_ref, PF_ParamDef* param) {
  if (PF_Err err = Host().Faults().Check("checkin_param")) return err;
  if (SimHost::ContextOf(effect_ref) == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return Host().CheckinParam(param);
}
PF_Err AddParamCallback(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
  if (PF_Err err = Host().Faults().Check("add_param")) return err;
  if (SimHost::ContextOf(effect_ref) == nullptr || def == nullptr) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return Host().AddParam(index, def);
}
PF_Err AbortCallback(PF_ProgPtr effect_ref) {
  if (SimHost::ContextOf(effect_ref) == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return Host().AbortPoll();
}
PF_Err Progress(PF_ProgPtr effect_ref, A_long, A_long) { return AbortCallback(effect_ref); }

// ---- ANSI callbacks -----------------------------------------------------------------------

int AnsiSprintf(A_char* buffer, const A_char* format, ...) {
  Host().Faults().Check("sprintf");
  va_list args;
  va_start(args, format);
  // An ANSI sprintf, unbounded as the host's is; the effect sizes what it formats.
  const int written = std::vsprintf(buffer, format, args);
  va_end(args);
  return written;
}
A_char* AnsiStrcpy(A_char* dst, const A_char* src) {
  Host().Faults().Check("strcpy");
  return std::strcpy(dst, src);
}

A_FpLong Atan(A_FpLong v) { return std::atan(v); }
A_FpLong Atan2(A_FpLong y, A_FpLong x) { return std::atan2(y, x); }
A_FpLong Ceil(A_FpLong v) { return std::ceil(v); }
A_FpLong Cos(A_FpLong v) { return std::cos(v); }
A_FpLong Exp(A_FpLong v) { return std::exp(v); }
A_FpLong Fabs(A_FpLong v) { return std::fabs(v); }
A_FpLong Floor(A_FpLong v) { return std::floor(v); }
A_FpLong Fmod(A_FpLong x, A_FpLong y) { return std::fmod(x, y); }
A_FpLong Hypot(A_FpLong x, A_FpLong y) { return std::hypot(x, y); }
A_FpLong Log(A_FpLong v) { return std::log(v); }
A_FpLong Log10(A_FpLong v) { return std::log10(v); }
A_FpLong Pow(A_FpLong x, A_FpLong y) { return std::pow(x, y); }
A_FpLong Sin(A_FpLong v) { return std::sin(v); }
A_FpLong Sqrt(A_FpLong v) { return std::sqrt(v); }
A_FpLong Tan(A_FpLong v) { return std::tan(v); }
A_FpLong Asin(A_FpLong v) { return std::asin(v); }
A_FpLong Acos(A_FpLong v) { return std::acos(v); }

// ---- Utility callbacks that mirror suites -------------------------------------------------

PF_Err UtilNewWorld(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags,
                    PF_EffectWorld* world) {
  const PF_PixelFormat format =
      (flags & PF_NewWorldFlag_DEEP_PIXELS) != 0 ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB32;
  return NewWorld(effect_ref, width, height,
                  static_cast<PF_Boolean>((flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0), format,
                  world);
}

// ---- Smart render callbacks ---------------------------------------------------------------

Frame* FrameOf(PF_ProgPtr effect_ref) {
  SimHost::CallContext* context = SimHost::ContextOf(effect_ref);
  return context == nullptr ? nullptr : context->frame;
}

PF_LRect Intersect(const PF_LRect& a, const PF_LRect& b) {
  PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) r = PF_LRect{0, 0, 0, 0};
  return r;
}

PF_Err CheckoutLayer(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_id,
                     const PF_RenderRequest* request, A_long, A_long, A_u_long,
                     PF_CheckoutResult* result) {
  if (PF_Err err = Host().Faults().Check("checkout_layer")) return err;
  Frame* frame = FrameOf(effect_ref);
  if (frame == nullptr || request == nullptr || result == nullptr || index != 0 ||
      checkout_id < 0) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  frame->layerCheckouts.push_back(*request);
  const PF_LRect layer{0, 0, Host().Options().width, Host().Options().height};
  std::memset(result, 0, sizeof *result);
  result->result_rect = Intersect(request->rect, layer);
  result->max_result_rect = layer;
  result->par = PF_RationalScale{1, 1};
  result->ref_width = layer.right;
  result->ref_height = layer.bottom;
  return PF_Err_NONE;
}

PF_Err CheckoutLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id, PF_EffectWorld** pixels) {
  if (PF_Err err = Host().Faults().Check("checkout_layer_pixels")) return err;
  Frame* frame = FrameOf(effect_ref);
  if (frame == nullptr || pixels == nullptr || checkout_id != 0 || frame->layerCheckouts.empty()) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  ++frame->pixelCheckouts;
  *pixels = &frame->input;
  return PF_Err_NONE;
}

PF_Err CheckinLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id) {
  if (PF_Err err = Host().Faults().Check("checkin_layer_pixels")) return err;
  Frame* frame = FrameOf(effect_ref);
  if (frame == nullptr || checkout_id != 0) return PF_Err_BAD_CALLBACK_PARAM;
  ++frame->pixelCheckins;
  return PF_Err_NONE;
}

PF_Err CheckoutOutput(PF_ProgPtr effect_ref, PF_EffectWorld** output) {
  if (PF_Err err = Host().Faults().Check("checkout_output")) return err;
  Frame* frame = FrameOf(effect_ref);
  if (frame == nullptr || output == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  ++frame->outputCheckouts;
  *output = &frame->output;
  return PF_Err_NONE;
}

}  // namespace

extern const PF_PreRenderCallbacks kPreRenderCallbacks;
const PF_PreRenderCallbacks kPreRenderCallbacks = {CheckoutLayer, NotSimulated};
extern const PF_SmartRenderCallbacks kSmartRenderCallbacks;
const PF_SmartRenderCallbacks kSmartRenderCallbacks = {CheckoutLayerPixels, CheckinLayerPixels,
                                                       CheckoutOutput};

void SimHost::RegisterSuites() {
  basic_ = SPBasicSuite{AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
                        FreeBlock,    ReallocateBlock, Undefined};
  suites_.Register(kSPBasicSuite, kSPBasicSuiteVersion, &basic_);
  suites_.Register(kPFHandleSuite, kPFHandleSuiteVersion1, &kHandleSuite);
  suites_.Register(kPFWorldSuite, kPFWorldSuiteVersion2, &kWorldSuite2);
  suites_.Register(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &kPixelFormatSuite1);
  suites_.Register(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3, &kUtilitySuite3);
  suites_.Register(kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, &kPFInterfaceSuite1);
  suites_.Register(kAEGPEffectSuite, kAEGPEffectSuiteVersion4, &kEffectSuite4);
  RegisterIterateSuites(suites_);
}

void SimHost::BuildCallbacks() {
  inter_.checkout_param = CheckoutParamCallback;
  inter_.checkin_param = CheckinParamCallback;
  inter_.add_param = AddParamCallback;
  inter_.abort = AbortCallback;
  inter_.progress = Progress;
  inter_.register_ui = NotSimulated;
  inter_.checkout_layer_audio = NotSimulated;
  inter_.checkin_layer_audio = NotSimulated;
  inter_.get_audio_data = NotSimulated;

  utils_.begin_sampling = NotSimulated;
  utils_.subpixel_sample = NotSimulated;
  utils_.area_sample = NotSimulated;
  utils_.end_sampling = NotSimulated;
  utils_.composite_rect = NotSimulated;
  utils_.blend = NotSimulated;
  utils_.convolve = NotSimulated;
  utils_.copy = NotSimulated;
  utils_.fill = NotSimulated;
  utils_.gaussian_kernel = NotSimulated;
  utils_.iterate = Iterate8;
  utils_.premultiply = NotSimulated;
  utils_.premultiply_color = NotSimulated;
  utils_.new_world = UtilNewWorld;
  utils_.dispose_world = DisposeWorld;
  utils_.iterate_origin = NotSimulated;
  utils_.iterate_lut = NotSimulated;
  utils_.transfer_rect = NotSimulated;
  utils_.transform_world = NotSimulated;
  utils_.host_new_handle = NewHandle;
  utils_.host_lock_handle = LockHandle;
  utils_.host_unlock_handle = UnlockHandle;
  utils_.host_dispose_handle = DisposeHandle;
  utils_.get_callback_addr = NotSimulated;
  utils_.ansi =
      PF_ANSICallbacks{Atan,  Atan2, Ceil, Cos,  Exp, Fabs,        Floor,      Fmod, Hypot, Log,
                       Log10, Pow,   Sin,  Sqrt, Tan, AnsiSprintf, AnsiStrcpy, Asin, Acos,  {0}};
  utils_.get_platform_data = NotSimulated;
  utils_.host_get_handle_size = HandleSize;
  utils_.iterate_origin_non_clip_src = NotSimulated;
  utils_.iterate_generic = IterateGeneric;
  utils_.host_resize_handle = ResizeHandle;
  utils_.subpixel_sample16 = NotSimulated;
  utils_.area_sample16 = NotSimulated;
  utils_.fill16 = NotSimulated;
  utils_.premultiply_color16 = NotSimulated;
  utils_.iterate16 = Iterate16;
  utils_.iterate_origin16 = NotSimulated;
  utils_.iterate_origin_non_clip_src16 = NotSimulated;
  utils_.get_pixel_data8 = NotSimulated;
  utils_.get_pixel_data16 = NotSimulated;
}

}  // namespace kelvrix::host
