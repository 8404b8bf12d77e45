#include "edition/EditionSuites.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "edition/EditionWorld.h"

namespace kelvrix::edition {
namespace {

thread_local FrameState* tCurrent = nullptr;

FrameState* StateOf(PF_ProgPtr effect_ref) { return reinterpret_cast<FrameState*>(effect_ref); }

// Entries the core never calls: an error, not a crash, if it ever does.
template <typename... Args>
PF_Err Unserved(Args...) {
  return PF_Err_INVALID_CALLBACK;
}

// ---- Iterate suites --------------------------------------------------------------------------

template <typename Pixel, typename PixelFunc>
struct PixelPass {
  PF_EffectWorld* src;
  PF_EffectWorld* dst;
  PF_Rect area;
  void* refcon;
  PixelFunc fn;
  const OutputRows* outputRows;  // when dst is the frame's output and the edition listens
};

template <typename Pixel>
Pixel* PixelAt(const PF_EffectWorld& world, A_long x, A_long y) {
  auto* row = reinterpret_cast<uint8_t*>(world.data) + static_cast<ptrdiff_t>(y) * world.rowbytes;
  return reinterpret_cast<Pixel*>(row) + x;
}

template <typename Pixel, typename PixelFunc>
PF_Err PixelRow(void* context, A_long, A_long row) {
  const auto& pass = *static_cast<const PixelPass<Pixel, PixelFunc>*>(context);
  const A_long y = pass.area.top + row;
  Pixel* out = PixelAt<Pixel>(*pass.dst, pass.area.left, y);
  Pixel* in = pass.src != nullptr ? PixelAt<Pixel>(*pass.src, pass.area.left, y) : out;
  for (A_long x = pass.area.left; x < pass.area.right; ++x, ++out, ++in) {
    if (const PF_Err err = pass.fn(pass.refcon, x, y, in, out)) return err;
  }
  if (pass.outputRows != nullptr) return pass.outputRows->written(pass.outputRows->context, y);
  return PF_Err_NONE;
}

// The first pass reading the frame's input makes its pixels, when the edition makes them on
// demand.
PF_Err FillInputOnce(FrameState& state, const PF_EffectWorld* src) {
  const InputFill& input = state.frame.inputFill;
  if (src == nullptr || src != state.frame.input || input.fill == nullptr || state.inputFilled) {
    return PF_Err_NONE;
  }
  state.inputFilled = true;
  return input.fill(input.context, state.frame.input);
}

// Calls fn for each pixel of the area clipped to the destination (and the source), with the
// source and destination pixel at the same position.
template <typename Pixel, typename PixelFunc>
PF_Err IteratePixels(PF_InData* in_data, PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                     PixelFunc fn, PF_EffectWorld* dst) {
  if (in_data == nullptr || dst == nullptr || dst->data == nullptr || fn == nullptr ||
      (src != nullptr && src->data == nullptr)) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  PF_Rect r = area != nullptr ? *area : PF_Rect{0, 0, dst->width, dst->height};
  const A_long width = src != nullptr ? std::min(dst->width, src->width) : dst->width;
  const A_long height = src != nullptr ? std::min(dst->height, src->height) : dst->height;
  r.left = std::max<A_long>(r.left, 0);
  r.top = std::max<A_long>(r.top, 0);
  r.right = std::min(r.right, width);
  r.bottom = std::min(r.bottom, height);
  if (r.right <= r.left || r.bottom <= r.top) return PF_Err_NONE;
  FrameState& state = *StateOf(in_data->effect_ref);
  if (const PF_Err err = FillInputOnce(state, src)) return err;
  const OutputRows& listener = state.frame.outputRows;
  const bool told = dst == state.frame.output && listener.written != nullptr;
  PixelPass<Pixel, PixelFunc> pass{src, dst, r, refcon, fn, told ? &listener : nullptr};
  return RunRows(state.frame.rows, r.bottom - r.top, PixelRow<Pixel, PixelFunc>, &pass);
}

template <typename Pixel, typename PixelFunc>
PF_Err Iterate(PF_InData* in_data, A_long, A_long, PF_EffectWorld* src, const PF_Rect* area,
               void* refcon, PixelFunc fn, PF_EffectWorld* dst) {
  return IteratePixels<Pixel>(in_data, src, area, refcon, fn, dst);
}

struct GenericPass {
  void* refcon;
  PF_IterateGenericFunc fn;
  A_long iterations;
};

PF_Err GenericRow(void* context, A_long thread, A_long i) {
  const auto& pass = *static_cast<const GenericPass*>(context);
  return pass.fn(pass.refcon, thread, i, pass.iterations);
}

PF_Err IterateGeneric(A_long iterations, void* refcon, PF_IterateGenericFunc fn) {
  if (tCurrent == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  if (fn == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  // The runner does not say how many workers it has; once is what one processor gets.
  if (iterations == PF_Iterations_ONCE_PER_PROCESSOR) iterations = 1;
  if (iterations < 0) return PF_Err_BAD_CALLBACK_PARAM;
  GenericPass pass{refcon, fn, iterations};
  return RunRows(tCurrent->frame.rows, iterations, GenericRow, &pass);
}

constexpr auto kIterate8 = Iterate<PF_Pixel8, PF_IteratePixel8Func>;
constexpr auto kIterate16 = Iterate<PF_Pixel16, PF_IteratePixel16Func>;
constexpr auto kIterateFloat = Iterate<PF_PixelFloat, PF_IteratePixelFloatFunc>;

const PF_Iterate8Suite1 kIterate8Suite1 = {kIterate8, Unserved, Unserved, Unserved, IterateGeneric};
const PF_Iterate8Suite2 kIterate8Suite2 = {kIterate8, Unserved, Unserved, Unserved, IterateGeneric};
const PF_Iterate16Suite1 kIterate16Suite1 = {kIterate16, Unserved, Unserved};
const PF_Iterate16Suite2 kIterate16Suite2 = {kIterate16, Unserved, Unserved};
const PF_IterateFloatSuite1 kIterateFloatSuite1 = {kIterateFloat, Unserved, Unserved};
const PF_IterateFloatSuite2 kIterateFloatSuite2 = {kIterateFloat, Unserved, Unserved};

// ---- World suite -----------------------------------------------------------------------------

PF_Err NewWorld(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear,
                PF_PixelFormat format, PF_EffectWorld* world) {
  FrameState* state = StateOf(effect_ref);
  if (state == nullptr || world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  auto slot = std::find_if(state->temporaries.begin(), state->temporaries.end(),
                           [](const FrameState::Temporary& t) { return t.data == nullptr; });
  if (slot == state->temporaries.end()) return PF_Err_OUT_OF_MEMORY;
  const PF_Err err = AllocateWorld(width, height, format, clear != 0, world);
  if (err == PF_Err_NONE) *slot = {world->data, format};
  return err;
}

PF_Err DisposeWorld(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
  FrameState* state = StateOf(effect_ref);
  if (state == nullptr || world == nullptr || world->data == nullptr) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  for (FrameState::Temporary& t : state->temporaries) {
    if (t.data == world->data) {
      t = FrameState::Temporary{};
      FreeWorld(world);
      return PF_Err_NONE;
    }
  }
  return PF_Err_BAD_CALLBACK_PARAM;  // not one of ours
}

PF_Err GetPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
  if (format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  *format = PF_PixelFormat_INVALID;
  if (tCurrent == nullptr || world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const EditionFrame& frame = tCurrent->frame;
  if (world == frame.output || (frame.input != nullptr && world == frame.input)) {
    *format = frame.format;
    return PF_Err_NONE;
  }
  for (const FrameState::Temporary& t : tCurrent->temporaries) {
    if (t.data != nullptr && t.data == world->data) {
      *format = t.format;
      return PF_Err_NONE;
    }
  }
  return PF_Err_BAD_CALLBACK_PARAM;
}

const PF_WorldSuite2 kWorldSuite2 = {NewWorld, DisposeWorld, GetPixelFormat};

// ---- The effect reference --------------------------------------------------------------------

// There is no AEGP layer behind an edition's frame: the reference handed out is the frame's
// own, and giving it back is all its disposal takes.
A_Err GetNewEffectForEffect(AEGP_PluginID, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect) {
  if (effect == nullptr || effect_ref == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  *effect = reinterpret_cast<AEGP_EffectRefH>(effect_ref);
  return A_Err_NONE;
}
A_Err DisposeEffect(AEGP_EffectRefH effect) {
  if (effect == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return A_Err_NONE;
}

const AEGP_PFInterfaceSuite1 kPFInterfaceSuite1 = {Unserved, GetNewEffectForEffect, Unserved,
                                                   Unserved, Unserved};
const AEGP_EffectSuite4 kEffectSuite4 = {
    Unserved,      Unserved, Unserved, Unserved, Unserved, Unserved, Unserved, Unserved,
    DisposeEffect, Unserved, Unserved, Unserved, Unserved, Unserved, Unserved, Unserved,
    Unserved,      Unserved, Unserved, Unserved, Unserved, Unserved};

// ---- Basic suite ----------------------------------------------------------------------------

struct Served {
  const char* name;
  int32 version;
  const void* table;
};

const Served kServed[] = {
    {kPFIterate8Suite, kPFIterate8SuiteVersion1, &kIterate8Suite1},
    {kPFIterate8Suite, kPFIterate8SuiteVersion2, &kIterate8Suite2},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1, &kIterate16Suite1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion2, &kIterate16Suite2},
    {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1, &kIterateFloatSuite1},
    {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion2, &kIterateFloatSuite2},
    {kPFWorldSuite, kPFWorldSuiteVersion2, &kWorldSuite2},
    {kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, &kPFInterfaceSuite1},
    {kAEGPEffectSuite, kAEGPEffectSuiteVersion4, &kEffectSuite4},
};

const Served* Find(const char* name, int32 version) {
  if (name == nullptr) return nullptr;
  for (const Served& s : kServed) {
    if (s.version == version && std::strcmp(s.name, name) == 0) return &s;
  }
  return nullptr;
}

SPErr AcquireSuite(const char* name, int32 version, const void** suite) {
  const Served* served = Find(name, version);
  if (suite != nullptr) *suite = served != nullptr ? served->table : nullptr;
  if (served == nullptr || suite == nullptr) return kSPSuiteNotFoundError;
  if (tCurrent != nullptr) ++tCurrent->suitesHeld;
  return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32 version) {
  if (Find(name, version) == nullptr) return kSPSuiteNotFoundError;
  if (tCurrent != nullptr) --tCurrent->suitesHeld;
  return kSPNoError;
}

SPBoolean IsEqual(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

SPErr AllocateBlock(size_t, void**) { return kSPBadParameterError; }
SPErr FreeBlock(void*) { return kSPBadParameterError; }
SPErr ReallocateBlock(void*, size_t, void**) { return kSPBadParameterError; }
SPErr Undefined() { return kSPBadParameterError; }

const SPBasicSuite kBasicSuite = {AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
                                  FreeBlock,    ReallocateBlock, Undefined};

PF_Err Abort(PF_ProgPtr effect_ref) {
  const FrameState* state = StateOf(effect_ref);
  if (state == nullptr) return PF_Err_NONE;
  const AbortCheck& abort = state->frame.abort;
  return abort.check != nullptr ? abort.check(abort.context) : PF_Err_NONE;
}

}  // namespace

CurrentFrame::CurrentFrame(FrameState* state) : previous_(tCurrent) { tCurrent = state; }
CurrentFrame::~CurrentFrame() { tCurrent = previous_; }

const SPBasicSuite* EditionBasicSuite() { return &kBasicSuite; }

PF_InteractCallbacks EditionInteractCallbacks() {
  PF_InteractCallbacks inter{};
  inter.abort = Abort;
  return inter;
}

void FreeTemporaries(FrameState& state) {
  for (FrameState::Temporary& t : state.temporaries) {
    std::free(t.data);
    t = FrameState::Temporary{};
  }
}

PF_Err RunRows(const RowRunner& runner, A_long rows, RowBody body, void* bodyContext) {
  if (runner.run != nullptr) return runner.run(runner.context, rows, body, bodyContext);
  for (A_long row = 0; row < rows; ++row) {
    if (const PF_Err err = body(bodyContext, 0, row)) return err;
  }
  return PF_Err_NONE;
}

}  // namespace kelvrix::edition
