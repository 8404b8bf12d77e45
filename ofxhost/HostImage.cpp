#include "ofxhost/HostImage.h"

#include <cstring>

namespace kelvrix::ofxhost {

int RgbaPixelBytes(const std::string& depth) {
  if (depth == kOfxBitDepthByte) return 4;
  if (depth == kOfxBitDepthShort || depth == kOfxBitDepthHalf) return 8;
  if (depth == kOfxBitDepthFloat) return 16;
  return 0;
}

HostImage::HostImage(const std::string& depth, const OfxRectI& bounds, bool topDown, int rowPadding,
                     uint8_t fill)
    : depth_(depth), bounds_(bounds), topDown_(topDown), pixelBytes_(RgbaPixelBytes(depth)) {
  rowStride_ = width() * pixelBytes_ + rowPadding;
  storage_.assign(static_cast<size_t>(rowStride_) * static_cast<size_t>(height()), fill);
}

uint8_t* HostImage::Row(int y) {
  return const_cast<uint8_t*>(static_cast<const HostImage*>(this)->Row(y));
}

const uint8_t* HostImage::Row(int y) const {
  const int fromBottom = y - bounds_.y1;
  const int stored = topDown_ ? height() - 1 - fromBottom : fromBottom;
  return storage_.data() + static_cast<ptrdiff_t>(stored) * rowStride_;
}

std::vector<uint8_t> HostImage::Packed(const OfxRectI& area) const {
  std::vector<uint8_t> out;
  const size_t row = static_cast<size_t>(area.x2 - area.x1) * static_cast<size_t>(pixelBytes_);
  out.reserve(row * static_cast<size_t>(area.y2 - area.y1));
  for (int y = area.y1; y < area.y2; ++y) {
    const uint8_t* first = Row(y) + (area.x1 - bounds_.x1) * pixelBytes_;
    out.insert(out.end(), first, first + row);
  }
  return out;
}

}  // namespace kelvrix::ofxhost
