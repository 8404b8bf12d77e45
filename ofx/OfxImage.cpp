#include "ofx/OfxImage.h"

#include <cstdlib>
#include <cstring>

#include "edition/EditionWorld.h"
#include "ofx/OfxHostAccess.h"

namespace kelvrix::ofx {
namespace {

bool Is(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

bool IsEmptyOrInverted(const OfxRectI& r) { return r.x2 < r.x1 || r.y2 < r.y1; }

}  // namespace

PF_PixelFormat FormatOfDepth(const char* depth) {
  if (Is(depth, kOfxBitDepthByte)) return PF_PixelFormat_ARGB32;
  if (Is(depth, kOfxBitDepthShort)) return PF_PixelFormat_ARGB64;
  if (Is(depth, kOfxBitDepthFloat)) return PF_PixelFormat_ARGB128;
  return PF_PixelFormat_INVALID;
}

FetchedImage::~FetchedImage() {
  if (image_ != nullptr) Suites().imageEffect->clipReleaseImage(image_);
}

OfxStatus FetchedImage::Fetch(OfxImageClipHandle clip, OfxTime time) {
  if (clip == nullptr) return kOfxStatFailed;
  OfxPropertySetHandle image = nullptr;
  const OfxStatus status = Suites().imageEffect->clipGetImage(clip, time, nullptr, &image);
  if (status != kOfxStatOK) return status;
  if (image == nullptr) return kOfxStatFailed;
  image_ = image;
  return ReadLayout();
}

OfxStatus FetchedImage::ReadLayout() {
  const OfxPropertySuiteV1& p = *Suites().property;
  char* depth = nullptr;
  char* components = nullptr;
  if (p.propGetString(image_, kOfxImageEffectPropPixelDepth, 0, &depth) != kOfxStatOK ||
      p.propGetString(image_, kOfxImageEffectPropComponents, 0, &components) != kOfxStatOK) {
    return kOfxStatErrImageFormat;
  }
  view_.format = FormatOfDepth(depth);
  if (view_.format == PF_PixelFormat_INVALID || !Is(components, kOfxImageComponentRGBA)) {
    return kOfxStatErrImageFormat;
  }
  void* data = nullptr;
  int rowBytes = 0;
  int bounds[4];
  if (p.propGetPointer(image_, kOfxImagePropData, 0, &data) != kOfxStatOK ||
      p.propGetIntN(image_, kOfxImagePropBounds, 4, bounds) != kOfxStatOK ||
      p.propGetInt(image_, kOfxImagePropRowBytes, 0, &rowBytes) != kOfxStatOK) {
    return kOfxStatErrImageFormat;
  }
  view_.bounds = OfxRectI{bounds[0], bounds[1], bounds[2], bounds[3]};
  // Some hosts leave an image's own region of definition out: the pixels present are the frame.
  int frame[4];
  view_.ownFrame = p.propGetIntN(image_, kOfxImagePropRegionOfDefinition, 4, frame) == kOfxStatOK;
  view_.frame = view_.ownFrame ? OfxRectI{frame[0], frame[1], frame[2], frame[3]} : view_.bounds;
  if (IsEmptyOrInverted(view_.frame)) {
    view_.frame = view_.bounds;
    view_.ownFrame = false;
  }
  view_.data = static_cast<uint8_t*>(data);
  view_.rowBytes = rowBytes;
  const long long width = static_cast<long long>(view_.bounds.x2) - view_.bounds.x1;
  const long long rowMin = width * edition::PixelBytes(view_.format);
  if (IsEmptyOrInverted(view_.bounds) || (data == nullptr && width > 0) ||
      std::llabs(static_cast<long long>(rowBytes)) < rowMin) {
    return kOfxStatErrImageFormat;
  }
  return kOfxStatOK;
}

}  // namespace kelvrix::ofx
