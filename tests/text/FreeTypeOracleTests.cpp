// The rasterizer against FreeType's anti-aliased rasterizer (no hinting, linear coverage, nonzero
// winding), after white text on a cleared canvas. Three comparisons per case:
//  - same polygons: FreeType fills the canvas's own flattened polygons, moved to its 1/64-pixel
//    grid; only the rasterizers and that rounding differ.
//  - same grid: both rasterizers fill those rounded polygons; only the coverage arithmetic and
//    FreeType's 8-bit output differ (about a third of a step per partly covered pixel).
//  - font curves: FreeType fills the font's own quadratics, flattened by its own rule, so the two
//    differ by a few steps along curved edges.
// A whole line is one outline on both sides, so glyphs sharing a pixel unite by the nonzero rule
// as FillText unites them. A failure prints each comparison's figures.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <tuple>
#include <utility>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/TextCanvas.h"

namespace kelvrix::text {
namespace {

const char* const kCardLines[] = {
    "Couldn't find a large enough block of memory, try reducing the Size parameter.",
    "Purging your cache to re-render this frame may help.",
    "Restarting AE can also also help - every AE session brings different data in memory."};

using Alpha = std::vector<float>;  // row 0 at the top, like the canvas

// Sum, count of pixels either side touched, count of all compared pixels, and the largest.
struct Difference {
  double sum = 0.0, max = 0.0;
  long touched = 0, pixels = 0;
  double Mean() const { return sum / static_cast<double>(std::max(pixels, 1L)); }
  double TouchedMean() const { return sum / static_cast<double>(std::max(touched, 1L)); }
  bool Within(double mean, double touchedMean, double largest) const {
    return Mean() < mean && TouchedMean() < touchedMean && max < largest;
  }
  void Add(const Alpha& ours, const Alpha& theirs) {
    for (size_t i = 0; i < ours.size(); ++i) {
      ++pixels;
      if (ours[i] == 0.0f && theirs[i] == 0.0f) continue;
      const double diff = std::fabs(ours[i] * 255.0 - theirs[i] * 255.0);
      sum += diff;
      max = std::max(max, diff);
      ++touched;
    }
  }
};

std::ostream& operator<<(std::ostream& out, const Difference& d) {
  return out << "mean " << d.TouchedMean() << "/255 over " << d.touched << " touched pixels ("
             << d.Mean() << "/255 over all " << d.pixels << "), max " << d.max << "/255";
}

FT_Pos To26Dot6(double pixels) { return std::lround(pixels * 64.0); }

// An outline in FreeType's space: 26.6 units, y upward.
struct Outline {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  void Add(double x, double y, char tag) {
    points.push_back({To26Dot6(x), To26Dot6(y)});
    tags.push_back(tag);
  }
  void Close() {
    if (points.size() > (ends.empty() ? 0u : ends.back() + 1u))
      ends.push_back(static_cast<short>(points.size() - 1));
  }
};

struct Case {
  int size;
  int line;  // into kCardLines, or -1: every glyph of the font alone
  double squeeze;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << c.size << " px, line " << c.line << ", squeeze " << c.squeeze;
}

std::vector<Case> Cases() {
  std::vector<Case> cases = {{24, -1, 1.0}, {64, -1, 1.0}};
  for (const int size : {15, 18, 23, 35, 54, 80, 120})
    for (const double squeeze : {1.0, 0.7})
      for (int line = 0; line < 3; ++line) cases.push_back({size, line, squeeze});
  return cases;
}

class FreeTypeOracle : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ASSERT_EQ(FT_Init_FreeType(&library_), 0);
    ASSERT_EQ(
        FT_New_Memory_Face(library_, font_.data(), static_cast<FT_Long>(font_.size()), 0, &face_),
        0);
  }
  void TearDown() override {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  FT_UInt Glyph(char c) { return FT_Get_Char_Index(face_, static_cast<FT_ULong>(c)); }
  FT_Pos Advance(FT_UInt glyph) {
    EXPECT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    return face_->glyph->advance.x;
  }

  // The glyph's font outline scaled by (scaleX, -scale) from the pen (x, y) in canvas pixels.
  FT_Pos AppendCurves(FT_UInt glyph, double scaleX, double scale, double x, double y, int height) {
    const FT_Pos advance = Advance(glyph);
    const FT_Outline& outline = face_->glyph->outline;
    for (int c = 0, i = 0; c < outline.n_contours; ++c, curves_.Close()) {
      for (; i <= outline.contours[c]; ++i) {
        curves_.Add(x + scaleX * static_cast<double>(outline.points[i].x),
                    height - y + scale * static_cast<double>(outline.points[i].y), outline.tags[i]);
      }
    }
    return advance;
  }

  static void StoreSpans(int y, int count, const FT_Span* spans, void* user) {
    auto& [alpha, width, height] = *static_cast<std::tuple<Alpha*, int, int>*>(user);
    if (y < 0 || y >= height) return;
    for (const FT_Span* s = spans; s < spans + count; ++s) {
      for (int x = std::max(0, int{s->x}); x < std::min(s->x + s->len, width); ++x)
        (*alpha)[static_cast<size_t>(height - 1 - y) * width + x] = s->coverage / 255.0f;
    }
  }

  // FreeType's fixed cell pool overflows on a row crossing a whole line of large text, so the
  // outline is rendered through clip windows 64 pixels wide.
  Alpha Render(Outline& o, int width, int height) {
    Alpha alpha(static_cast<size_t>(width) * height, 0.0f);
    std::tuple<Alpha*, int, int> target{&alpha, width, height};
    FT_Outline outline{static_cast<short>(o.ends.size()),
                       static_cast<short>(o.points.size()),
                       o.points.data(),
                       o.tags.data(),
                       o.ends.data(),
                       FT_OUTLINE_NONE};
    for (int left = 0; left < width; left += 64) {
      FT_Raster_Params params{};
      params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
      params.gray_spans = &StoreSpans;
      params.user = &target;
      params.clip_box = {left, 0, std::min(left + 64, width), height};
      EXPECT_EQ(FT_Outline_Render(library_, &outline, &params), 0);
    }
    return alpha;
  }

  // Adds the comparisons of a canvas, whose polygons are still in it, with curves_.
  void CompareAll(const TextCanvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    Alpha ours, cells(static_cast<size_t>(width) * height), pixels(cells.size() * 4, 0.0f);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) ours.push_back(canvas.PixelAt(x, y)[3]);
    PolygonSet onGrid = canvas.Polygons();
    Outline polygons;  // FreeType closes every contour, so the closing point is left out
    for (size_t s = 0, first = 0; s < onGrid.subpaths.size(); first += onGrid.subpaths[s++].count) {
      for (size_t i = first; i + 1 < first + onGrid.subpaths[s].count; ++i) {
        Point2D& p = onGrid.points[i];
        polygons.Add(p.x, height - static_cast<double>(p.y), FT_CURVE_TAG_ON);
        const FT_Vector v = polygons.points.back();
        p = {static_cast<float>(v.x) / 64.0f,
             static_cast<float>(height - static_cast<double>(v.y) / 64.0)};
      }
      polygons.Close();
    }
    const Alpha freeTypePolygons = Render(polygons, width, height);
    CoverageCells coverage;
    if (coverage.BuildCoverageCells(onGrid, width, height))
      coverage.FillCells(Paint{1.0f, 1.0f, 1.0f, 1.0f}, pixels.data(), width, height);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = pixels[i * 4 + 3];
    dPolygons_.Add(ours, freeTypePolygons);
    dSameGrid_.Add(cells, freeTypePolygons);
    dCurves_.Add(ours, Render(curves_, width, height));
    curves_ = {};
  }

  std::vector<uint8_t> font_ = DecodeBase64(EmbeddedFontBase64);
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  Outline curves_;
  Difference dPolygons_, dSameGrid_, dCurves_;
};

TEST_P(FreeTypeOracle, CoverageMatchesFreeType) {
  const auto [size, line, squeeze] = GetParam();
  const float px = static_cast<float>(size), scale = px / static_cast<float>(face_->units_per_EM);
  const auto prepare = [&](TextCanvas& canvas) {
    EXPECT_TRUE(canvas.SetFont(font_.data(), static_cast<int>(font_.size()), px));
    canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
  };
  if (line < 0) {
    const float x = px * 0.5f, y = px * 1.3f;
    for (FT_UInt glyph = 0; glyph < static_cast<FT_UInt>(face_->num_glyphs); ++glyph) {
      TextCanvas canvas(size * 2, size * 2);
      prepare(canvas);
      canvas.AppendGlyphOutline(static_cast<int>(glyph), {scale, 0, 0, -scale, x, y});
      canvas.FillPolygons();
      AppendCurves(glyph, scale, scale, x, y, size * 2);
      CompareAll(canvas);
    }
  } else {
    const char* text = kCardLines[line];
    long advanceSum = 0;
    for (const char* c = text; *c; ++c) advanceSum += Advance(Glyph(*c));
    const float natural = static_cast<float>(advanceSum) * scale;
    const float maxWidth =
        squeeze < 1.0 ? std::floor(natural * static_cast<float>(squeeze)) : TextCanvas::kNoMaxWidth;
    const float k = squeeze < 1.0 ? maxWidth / natural : 1.0f;
    const int width = static_cast<int>(std::ceil(std::min(natural, maxWidth))) + 32;
    const float x = 12.0f, y = px + 12.0f;
    TextCanvas canvas(width, size * 2 + 24);
    prepare(canvas);
    canvas.FillText(text, x, y, maxWidth);
    long pen = 0;
    for (const char* c = text; *c; ++c) {
      pen += AppendCurves(Glyph(*c), scale * k, scale, x + scale * k * static_cast<float>(pen), y,
                          canvas.Height());
    }
    CompareAll(canvas);
  }
  // In 8-bit steps. The goal (mean 0.25 over all pixels, max 4) holds for the rasterizer alone
  // (same polygons on the same grid); the other bounds guard the measured figures.
  EXPECT_TRUE(dSameGrid_.Within(0.25, 0.5, 4.0)) << "same polygons, same grid: " << dSameGrid_;
  EXPECT_TRUE(dPolygons_.Within(0.25, 1.0, 6.0)) << "same polygons: " << dPolygons_;
  EXPECT_TRUE(dCurves_.Within(1e9, 2.5, 32.0)) << "font curves: " << dCurves_;
}

INSTANTIATE_TEST_SUITE_P(LinesAndEveryGlyph, FreeTypeOracle, ::testing::ValuesIn(Cases()));

}  // namespace
}  // namespace kelvrix::text
