#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "text/CoverageCells.h"
#include "text/GlyphOutline.h"
#include "text/Paint.h"
#include "text/PolygonSet.h"
#include "text/Transform2D.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {

enum class PaintSlot { Fill = 0, Stroke = 1 };

// Why a canvas shows less than it was asked to draw.
enum class CanvasStatus {
  kReady,
  kUnaddressable,  // a size of zero or one the 16-bit cells cannot address: empty, by design
  kOutOfMemory,    // the pixels, a font copy or a line's buffers could not be allocated
};

// A float RGBA surface (linear light, premultiplied) on which single lines of UTF-8 text are
// drawn with a TrueType font. No operation throws: a canvas that cannot be allocated, or whose
// size the 16-bit cells cannot address, is empty (0 x 0) and draws nothing; a font or a line
// whose memory cannot be had is not loaded or drawn. Status() tells these apart, and an
// allocation failure stays recorded, so that a caller learns of a line that went missing.
class TextCanvas {
 public:
  // Cells hold 16-bit coordinates and reach one pixel past the right edge.
  static constexpr int kMaxDimension = 65534;
  // The maxWidth that means "no limit": the line is neither measured nor squeezed.
  static constexpr float kNoMaxWidth = 1e30f;

  TextCanvas(int width, int height);
  TextCanvas(const TextCanvas&) = delete;
  TextCanvas& operator=(const TextCanvas&) = delete;

  // Loads the font from a copy of `bytes`, or with no bytes only re-scales the loaded font.
  bool SetFont(const uint8_t* bytes, int length, float pixelSize);
  // Clamps to [0, 1] (NaN to 0), converts red, green and blue from sRGB to linear, premultiplies.
  void SetColor(PaintSlot slot, float red, float green, float blue, float alpha);
  // Draws one line with the fill paint: pen starts at x, y is the baseline, and a line wider than
  // maxWidth is squeezed horizontally to it. Successive lines accumulate source-over.
  void FillText(const char* text, float x, float y, float maxWidth);

  CanvasStatus Status() const { return status_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Whether paint has reached row y at or around column x: false for every pixel of a row
  // outside the columns painted in it, which are transparent black and are never read.
  bool Inked(int x, int y) const {
    return y >= 0 && y < height_ && rowInk_[static_cast<size_t>(y)].Contains(x);
  }
  // Red, green, blue, alpha of pixel (x, y); transparent black outside the canvas.
  std::array<float, 4> PixelAt(int x, int y) const {
    if (!Inked(x, y)) return {0.0f, 0.0f, 0.0f, 0.0f};
    const float* p = pixels_.get() + (static_cast<size_t>(y) * static_cast<size_t>(width_) + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }

  const Paint& PaintOf(PaintSlot slot) const {
    return slot == PaintSlot::Fill ? fillPaint_ : strokePaint_;
  }
  const TrueTypeFont& Font() const { return font_; }
  const PolygonSet& Polygons() const { return polygons_; }

  // The stages of FillText. May throw std::bad_alloc; FillText catches it.
  void AppendTextOutline(const char* text, float x, float y, float maxWidth);
  void AppendGlyphOutline(int glyph, const Transform2D& placement);
  void FillPolygons();

 private:
  int width_ = 0;
  int height_ = 0;
  CanvasStatus status_ = CanvasStatus::kReady;
  struct Free {
    void operator()(void* p) const { std::free(p); }
  };
  // width x height x {red, green, blue, alpha}, from calloc: a large block comes from the system
  // already zero and is not written, so pages no text reaches are never touched.
  std::unique_ptr<float[], Free> pixels_;
  std::unique_ptr<InkSpan[], Free> rowInk_;  // one per row: the columns painted so far
  TrueTypeFont font_;
  Paint fillPaint_;
  Paint strokePaint_;
  Transform2D transform_;
  PolygonSet polygons_;
  GlyphOutline outline_;
  CoverageCells cells_;
};

}  // namespace kelvrix::text
