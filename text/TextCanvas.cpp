#include "text/TextCanvas.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "text/Clamp.h"
#include "text/Utf8.h"

namespace kelvrix::text {
namespace {

// sRGB transfer function inverted: ((c + 0.055) / 1.055)^2.4 above the linear toe, c / 12.92 in it.
float SrgbToLinear(float c) {
  if (c >= 0.04045f) return std::pow(c * 0.94786733f + 0.052132703f, 2.4f);
  return c * 0.07739938f;
}

}  // namespace

TextCanvas::TextCanvas(int width, int height) {
  const int64_t pixelCount = int64_t{width} * height;
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension ||
      pixelCount >= (int64_t{1} << 31)) {
    status_ = CanvasStatus::kUnaddressable;
    return;
  }
  // All bits zero is 0.0f in every channel (transparent black) and an empty span in every row.
  pixels_.reset(
      static_cast<float*>(std::calloc(static_cast<size_t>(pixelCount), 4 * sizeof(float))));
  rowInk_.reset(static_cast<InkSpan*>(std::calloc(static_cast<size_t>(height), sizeof(InkSpan))));
  if (!pixels_ || !rowInk_) {
    pixels_.reset();
    rowInk_.reset();
    status_ = CanvasStatus::kOutOfMemory;
    return;
  }
  width_ = width;
  height_ = height;
}

bool TextCanvas::SetFont(const uint8_t* bytes, int length, float pixelSize) {
  try {
    return font_.SetFont(bytes, length, pixelSize);
  } catch (const std::bad_alloc&) {
    status_ = CanvasStatus::kOutOfMemory;
    return false;
  }
}

void TextCanvas::SetColor(PaintSlot slot, float red, float green, float blue, float alpha) {
  const float a = ClampZeroTo(alpha, 1.0f);
  const Paint paint{SrgbToLinear(ClampZeroTo(red, 1.0f)) * a,
                    SrgbToLinear(ClampZeroTo(green, 1.0f)) * a,
                    SrgbToLinear(ClampZeroTo(blue, 1.0f)) * a, a};
  (slot == PaintSlot::Fill ? fillPaint_ : strokePaint_) = paint;
}

void TextCanvas::FillText(const char* text, float x, float y, float maxWidth) {
  try {
    AppendTextOutline(text, x, y, maxWidth);
    FillPolygons();
  } catch (const std::bad_alloc&) {
    // Painting happens only after every buffer has grown, so the pixels are untouched.
    polygons_.Clear();
    status_ = CanvasStatus::kOutOfMemory;
  }
}

void TextCanvas::AppendTextOutline(const char* text, float x, float y, float maxWidth) {
  polygons_.Clear();
  if (!font_.Loaded() || text == nullptr || !(maxWidth > 0.0f)) return;
  const float scale = font_.Scale();

  // Squeeze: only a line wider than maxWidth is measured narrower; heights never change. The sum
  // is 64-bit so that no length of text can overflow it.
  float k = 1.0f;
  if (maxWidth != kNoMaxWidth) {
    int64_t advanceSum = 0;
    for (size_t index = 0; text[index] != '\0';) {
      advanceSum += font_.AdvanceWidth(font_.GlyphIndex(DecodeUtf8Step(text, index)));
    }
    const float w = static_cast<float>(advanceSum) * scale;
    k = maxWidth / std::max(w, maxWidth);
  }

  // Font y grows upward and canvas rows downward, hence -scale.
  const Transform2D saved = transform_;
  int64_t pen = 0;  // font units
  for (size_t index = 0; text[index] != '\0' && !polygons_.overflowed();) {
    const int glyph = font_.GlyphIndex(DecodeUtf8Step(text, index));
    const Transform2D placement{
        scale * k, 0.0f, 0.0f, -scale, x + scale * k * static_cast<float>(pen), y};
    AppendGlyphOutline(glyph, transform_.Compose(placement));
    transform_ = saved;
    pen += font_.AdvanceWidth(glyph);
  }
  transform_ = saved;
}

// A malformed glyph decodes to nothing and draws nothing; the pen still advances past it.
void TextCanvas::AppendGlyphOutline(int glyph, const Transform2D& placement) {
  if (outline_.Decode(font_, glyph, placement)) outline_.AppendTo(polygons_);
}

void TextCanvas::FillPolygons() {
  if (polygons_.overflowed() || !pixels_) return;
  if (!cells_.BuildCoverageCells(polygons_, width_, height_)) return;
  cells_.FillCells(fillPaint_, pixels_.get(), width_, height_, rowInk_.get());
}

}  // namespace kelvrix::text
