// An image as a host holds it: RGBA samples of one OFX depth over `bounds`, rows stored
// bottom-up with positive row bytes, or top-down with the data pointer at the bottom row and
// negative row bytes (as Baselight and MLT hand them over), each row optionally padded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofxhost {

// Bytes of one RGBA pixel at an OFX depth (Byte, Short, Half, Float); 0 for any other.
int RgbaPixelBytes(const std::string& depth);

class HostImage {
 public:
  HostImage() = default;
  HostImage(const std::string& depth, const OfxRectI& bounds, bool topDown, int rowPadding,
            uint8_t fill);

  const std::string& depth() const { return depth_; }
  const OfxRectI& bounds() const { return bounds_; }
  int width() const { return bounds_.x2 - bounds_.x1; }
  int height() const { return bounds_.y2 - bounds_.y1; }
  int pixelBytes() const { return pixelBytes_; }
  bool empty() const { return storage_.empty(); }

  // The storage of row y (pixel coordinates), its first pixel at bounds.x1.
  uint8_t* Row(int y);
  const uint8_t* Row(int y) const;
  uint8_t* Pixel(int x, int y) { return Row(y) + (x - bounds_.x1) * pixelBytes_; }
  // What the image's data property holds: the bottom-left pixel; and the signed row step.
  void* Data() { return empty() ? nullptr : Row(bounds_.y1); }
  int RowBytes() const { return topDown_ ? -rowStride_ : rowStride_; }

  // The pixels of `area` (within bounds), rows bottom-up, packed.
  std::vector<uint8_t> Packed(const OfxRectI& area) const;
  std::vector<uint8_t> Packed() const { return Packed(bounds_); }

 private:
  std::string depth_;
  OfxRectI bounds_{};
  bool topDown_ = false;
  int pixelBytes_ = 0;
  int rowStride_ = 0;  // bytes, positive
  std::vector<uint8_t> storage_;
};

}  // namespace kelvrix::ofxhost
