#include "host/IterateSuites.h"

#include <algorithm>

#include "host/NotSimulated.h"
#include "host/SimHost.h"

namespace kelvrix::host {
namespace {

// The area clipped to the destination (and the source, when there is one).
PF_Rect ClippedArea(const PF_Rect* area, const PF_EffectWorld& dst, const PF_EffectWorld* src) {
  PF_Rect r = area != nullptr ? *area : PF_Rect{0, 0, dst.width, dst.height};
  A_long width = dst.width, height = dst.height;
  if (src != nullptr) {
    width = std::min(width, src->width);
    height = std::min(height, src->height);
  }
  r.left = std::max<A_long>(r.left, 0);
  r.top = std::max<A_long>(r.top, 0);
  r.right = std::min(r.right, width);
  r.bottom = std::min(r.bottom, height);
  return r;
}

// Rows of the area go to the workers in a shuffled order; the pixels of one row are
// visited left to right, each with the source and destination pixel at the same position.
template <typename Pixel, typename PixelFunc>
PF_Err IteratePixels(const char* function, PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                     PixelFunc pix_fn, PF_EffectWorld* dst) {
  SimHost* host = SimHost::Active();
  if (host == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  if (PF_Err err = host->Faults().Check(function)) return err;
  if (dst == nullptr || dst->data == nullptr || pix_fn == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (src != nullptr && src->data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const PF_Rect r = ClippedArea(area, *dst, src);
  if (r.right <= r.left || r.bottom <= r.top) return PF_Err_NONE;
  return host->Pool().Run(
      r.bottom - r.top,
      [&](A_long, A_long row) -> PF_Err {
        const A_long y = r.top + row;
        Pixel* out = PixelAt<Pixel>(*dst, r.left, y);
        Pixel* in = src != nullptr ? PixelAt<Pixel>(*src, r.left, y) : out;
        for (A_long x = r.left; x < r.right; ++x, ++out, ++in) {
          if (PF_Err err = pix_fn(refcon, x, y, in, out)) return err;
        }
        return PF_Err_NONE;
      },
      [host] { return host->IterationShouldStop(); }, PF_Interrupt_CANCEL);
}

PF_Err IterateFloat(PF_InData*, A_long, A_long, PF_EffectWorld* src, const PF_Rect* area,
                    void* refcon, PF_IteratePixelFloatFunc pix_fn, PF_EffectWorld* dst) {
  return IteratePixels<PF_PixelFloat>("iterateFloat", src, area, refcon, pix_fn, dst);
}

const PF_Iterate8Suite1 kIterate8Suite1 = {Iterate8, NotSimulated, NotSimulated, NotSimulated,
                                           IterateGeneric};
const PF_Iterate8Suite2 kIterate8Suite2 = {Iterate8, NotSimulated, NotSimulated, NotSimulated,
                                           IterateGeneric};
const PF_Iterate16Suite1 kIterate16Suite1 = {Iterate16, NotSimulated, NotSimulated};
const PF_Iterate16Suite2 kIterate16Suite2 = {Iterate16, NotSimulated, NotSimulated};
const PF_IterateFloatSuite1 kIterateFloatSuite1 = {IterateFloat, NotSimulated, NotSimulated};
const PF_IterateFloatSuite2 kIterateFloatSuite2 = {IterateFloat, NotSimulated, NotSimulated};

}  // namespace

PF_Err Iterate8(PF_InData*, A_long, A_long, PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                PF_IteratePixel8Func pix_fn, PF_EffectWorld* dst) {
  return IteratePixels<PF_Pixel8>("iterate8", src, area, refcon, pix_fn, dst);
}

PF_Err Iterate16(PF_InData*, A_long, A_long, PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                 PF_IteratePixel16Func pix_fn, PF_EffectWorld* dst) {
  return IteratePixels<PF_Pixel16>("iterate16", src, area, refcon, pix_fn, dst);
}

PF_Err IterateGeneric(A_long iterations, void* refcon, PF_IterateGenericFunc fn) {
  SimHost* host = SimHost::Active();
  if (host == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  if (PF_Err err = host->Faults().Check("iterate_generic")) return err;
  if (fn == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (iterations == PF_Iterations_ONCE_PER_PROCESSOR) {
    iterations = static_cast<A_long>(host->Pool().Threads());
  }
  if (iterations < 0) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Pool().Run(
      iterations, [&](A_long thread, A_long i) { return fn(refcon, thread, i, iterations); },
      [host] { return host->IterationShouldStop(); }, PF_Interrupt_CANCEL);
}

void RegisterIterateSuites(SuiteRegistry& suites) {
  suites.Register(kPFIterate8Suite, kPFIterate8SuiteVersion1, &kIterate8Suite1);
  suites.Register(kPFIterate8Suite, kPFIterate8SuiteVersion2, &kIterate8Suite2);
  suites.Register(kPFIterate16Suite, kPFIterate16SuiteVersion1, &kIterate16Suite1);
  suites.Register(kPFIterate16Suite, kPFIterate16SuiteVersion2, &kIterate16Suite2);
  suites.Register(kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1, &kIterateFloatSuite1);
  suites.Register(kPFIterateFloatSuite, kPFIterateFloatSuiteVersion2, &kIterateFloatSuite2);
}

}  // namespace kelvrix::host
