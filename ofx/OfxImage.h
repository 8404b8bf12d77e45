// An image fetched from a clip, held for the action that fetched it and released on every way
// out, and the layout it was given in: RGBA samples of one depth, the data pointer at the
// bottom-left pixel of Bounds, rows RowBytes apart upwards (negative for top-down hosts).
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostapi/HostApi.h"
#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

struct ImageView {
  uint8_t* data = nullptr;  // pixel (bounds.x1, bounds.y1)
  OfxRectI bounds{};        // the pixels present, pixel coordinates
  OfxRectI frame{};         // the whole frame (the image's region of definition)
  bool ownFrame = false;    // the image gave its region of definition; else frame = bounds
  ptrdiff_t rowBytes = 0;   // signed step to the row above
  PF_PixelFormat format = PF_PixelFormat_INVALID;  // the world format of the same depth

  uint8_t* Row(int y) const { return data + static_cast<ptrdiff_t>(y - bounds.y1) * rowBytes; }
};

// The world format of an OFX depth string: Byte ARGB32, Short ARGB64, Float ARGB128;
// PF_PixelFormat_INVALID for any other.
PF_PixelFormat FormatOfDepth(const char* depth);

class FetchedImage {
 public:
  FetchedImage() = default;
  ~FetchedImage();
  FetchedImage(const FetchedImage&) = delete;
  FetchedImage& operator=(const FetchedImage&) = delete;

  // kOfxStatOK with the view; kOfxStatFailed when the clip has no image there (nothing held);
  // kOfxStatErrImageFormat for a depth or components we did not declare or a layout that
  // does not add up; other host codes as the host gave them.
  OfxStatus Fetch(OfxImageClipHandle clip, OfxTime time);
  const ImageView& view() const { return view_; }
  // For an image without its own region of definition: the frame it belongs to.
  void SetFrame(const OfxRectI& frame) { view_.frame = frame; }

 private:
  OfxStatus ReadLayout();
  OfxPropertySetHandle image_ = nullptr;
  ImageView view_;
};

}  // namespace kelvrix::ofx
