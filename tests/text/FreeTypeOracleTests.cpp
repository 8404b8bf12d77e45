// The rasterizer against FreeType: the same glyphs at the same size, position and squeeze,
// rendered by FreeType's anti-aliased rasterizer (no hinting, linear coverage) and compared with
// the canvas's alpha after white text on a cleared canvas.
//
// Straight edges agree to about 2/255 (vertex positions rounded to FreeType's 1/64 pixel). Curves
// differ by up to about 0.1 pixel: the canvas flattens until controls lie within 1/8 pixel of
// the chord and FreeType flattens by its own rule; flattening the canvas's curves 64 times finer
// made the agreement worse (mean 1.19/255), so most of the remainder is FreeType's. The bounds
// below guard against regressions at the figures measured; the printed figures are the report.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/TextCanvas.h"

namespace kelvrix::text {
namespace {

constexpr double kMaxMeanDifference = 2.5;  // in 8-bit steps, over pixels either side touched
constexpr double kMaxDifference = 32.0;

const char* const kCardLines[] = {
    "Couldn't find a large enough block of memory, try reducing the Size parameter.",
    "Purging your cache to re-render this frame may help.",
    "Restarting AE can also also help - every AE session brings different data in memory."};

// Differences in 8-bit steps: sum over the pixels either side touched, and the largest.
struct Difference {
  double sum = 0.0;
  long pixels = 0;
  double max = 0.0;
  double Mean() const { return pixels ? sum / static_cast<double>(pixels) : 0.0; }
  void Add(const Difference& d) {
    sum += d.sum;
    pixels += d.pixels;
    max = std::max(max, d.max);
  }
};

class FreeTypeOracle : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = DecodeBase64(EmbeddedFontBase64);
    ASSERT_EQ(FT_Init_FreeType(&library_), 0);
    ASSERT_EQ(
        FT_New_Memory_Face(library_, bytes_.data(), static_cast<FT_Long>(bytes_.size()), 0, &face_),
        0);
  }
  void TearDown() override {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  // One glyph placed as the canvas places it: font units scaled by (scaleX, -scale) from the pen
  // (x, y) in canvas pixels, appended to a FreeType outline in 26.6 units with y upward.
  void AppendGlyph(FT_UInt glyph, double scaleX, double scale, double x, double y, int height,
                   std::vector<FT_Vector>& points, std::vector<char>& tags,
                   std::vector<short>& contours) {
    ASSERT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    const FT_Outline& outline = face_->glyph->outline;
    const auto base = static_cast<short>(points.size());
    for (int i = 0; i < outline.n_points; ++i) {
      const double px = x + scaleX * static_cast<double>(outline.points[i].x);
      const double py = y - scale * static_cast<double>(outline.points[i].y);
      points.push_back({std::lround(px * 64.0), std::lround((height - py) * 64.0)});
      tags.push_back(outline.tags[i]);
    }
    for (int c = 0; c < outline.n_contours; ++c) {
      contours.push_back(static_cast<short>(base + outline.contours[c]));
    }
  }

  // FreeType's gray spans, composited glyph by glyph (source-over) into float coverage: its
  // rasterizer refuses whole lines of large text in one outline (raster overflow).
  struct SpanTarget {
    std::vector<float>* coverage;
    int width;
    int height;
  };
  static void AddSpans(int y, int count, const FT_Span* spans, void* user) {
    auto* target = static_cast<SpanTarget*>(user);
    const int row = target->height - 1 - y;
    if (row < 0 || row >= target->height) return;
    for (int i = 0; i < count; ++i) {
      const float a = static_cast<float>(spans[i].coverage) / 255.0f;
      for (int x = spans[i].x; x < spans[i].x + spans[i].len && x < target->width; ++x) {
        if (x < 0) continue;
        float& dst = (*target->coverage)[static_cast<size_t>(row) * target->width + x];
        dst = a + dst * (1.0f - a);
      }
    }
  }

  // Renders one glyph's outline (as built by AppendGlyph) onto `coverage`.
  void Render(int width, int height, std::vector<FT_Vector>& points, std::vector<char>& tags,
              std::vector<short>& contours, std::vector<float>& coverage) {
    coverage.resize(static_cast<size_t>(width) * height, 0.0f);
    if (points.empty()) return;
    FT_Outline outline{};
    outline.n_points = static_cast<short>(points.size());
    outline.n_contours = static_cast<short>(contours.size());
    outline.points = points.data();
    outline.tags = tags.data();
    outline.contours = contours.data();
    outline.flags = FT_OUTLINE_NONE;
    SpanTarget target{&coverage, width, height};
    FT_Raster_Params params{};
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = &AddSpans;
    params.user = &target;
    params.clip_box = {0, 0, width, height};
    EXPECT_EQ(FT_Outline_Render(library_, &outline, &params), 0);
    points.clear();
    tags.clear();
    contours.clear();
  }

  static Difference Compare(const TextCanvas& canvas, const std::vector<float>& expected) {
    Difference d;
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) {
        const double ours = canvas.PixelAt(x, y)[3] * 255.0;
        const double theirs = expected[static_cast<size_t>(y) * canvas.Width() + x] * 255.0;
        if (ours == 0.0 && theirs == 0.0) continue;
        const double diff = std::fabs(ours - theirs);
        d.sum += diff;
        d.max = std::max(d.max, diff);
        ++d.pixels;
      }
    }
    return d;
  }

  // One card line at `size` pixels, squeezed to `squeeze` of its natural width when below 1.
  Difference Line(const char* text, int size, double squeeze) {
    std::vector<FT_UInt> glyphs;
    long advanceSum = 0;
    for (const char* c = text; *c; ++c) {
      glyphs.push_back(FT_Get_Char_Index(face_, static_cast<FT_ULong>(*c)));
      EXPECT_EQ(FT_Load_Glyph(face_, glyphs.back(), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
      advanceSum += face_->glyph->advance.x;
    }
    const float scale = static_cast<float>(size) / static_cast<float>(face_->units_per_EM);
    const float natural = static_cast<float>(advanceSum) * scale;
    const float maxWidth =
        squeeze < 1.0 ? std::floor(natural * static_cast<float>(squeeze)) : TextCanvas::kNoMaxWidth;
    const float k = squeeze < 1.0 ? maxWidth / std::max(natural, maxWidth) : 1.0f;
    const int width = static_cast<int>(std::ceil(std::min(natural, maxWidth))) + 24 + 8;
    const int height = size * 2 + 24;
    const float x = 12.0f;
    const float y = static_cast<float>(size) + 12.0f;

    TextCanvas canvas(width, height);
    EXPECT_TRUE(
        canvas.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), static_cast<float>(size)));
    canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
    canvas.FillText(text, x, y, maxWidth);

    std::vector<FT_Vector> points;
    std::vector<char> tags;
    std::vector<short> contours;
    std::vector<float> coverage;
    long pen = 0;
    for (const FT_UInt glyph : glyphs) {
      AppendGlyph(glyph, scale * k, scale, x + scale * k * static_cast<float>(pen), y, height,
                  points, tags, contours);
      pen += face_->glyph->advance.x;
      Render(width, height, points, tags, contours, coverage);
    }
    return Compare(canvas, coverage);
  }

  std::vector<uint8_t> bytes_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

TEST_F(FreeTypeOracle, CardLinesMatchFreeTypeAtSizesFromFifteenToOneHundredTwenty) {
  Difference all;
  for (const int size : {15, 18, 23, 35, 54, 80, 120}) {
    for (const double squeeze : {1.0, 0.7}) {
      Difference sizeDifference;
      for (const char* line : kCardLines) sizeDifference.Add(Line(line, size, squeeze));
      std::printf("FreeType card lines %3d px %s: mean %.4f/255 max %.3f/255 over %ld pixels\n",
                  size, squeeze < 1.0 ? "squeezed" : "natural ", sizeDifference.Mean(),
                  sizeDifference.max, sizeDifference.pixels);
      all.Add(sizeDifference);
    }
  }
  std::printf("FreeType card lines overall: mean %.4f/255 max %.3f/255\n", all.Mean(), all.max);
  EXPECT_LT(all.Mean(), kMaxMeanDifference);
  EXPECT_LT(all.max, kMaxDifference);
}

TEST_F(FreeTypeOracle, EveryGlyphMatchesFreeTypeAtTwoSizes) {
  for (const int size : {24, 64}) {
    Difference all;
    const float scale = static_cast<float>(size) / static_cast<float>(face_->units_per_EM);
    for (FT_UInt glyph = 0; glyph < static_cast<FT_UInt>(face_->num_glyphs); ++glyph) {
      const int side = size * 2;
      const float x = static_cast<float>(size) * 0.5f;
      const float y = static_cast<float>(size) * 1.3f;
      TextCanvas canvas(side, side);
      ASSERT_TRUE(
          canvas.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), static_cast<float>(size)));
      canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
      canvas.AppendGlyphOutline(static_cast<int>(glyph),
                                Transform2D{scale, 0.0f, 0.0f, -scale, x, y});
      canvas.FillPolygons();
      std::vector<FT_Vector> points;
      std::vector<char> tags;
      std::vector<short> contours;
      AppendGlyph(glyph, scale, scale, x, y, side, points, tags, contours);
      std::vector<float> coverage;
      Render(side, side, points, tags, contours, coverage);
      const Difference d = Compare(canvas, coverage);
      all.Add(d);
    }
    std::printf("FreeType every glyph %d px: mean %.4f/255 max %.3f/255 over %ld pixels\n", size,
                all.Mean(), all.max, all.pixels);
    EXPECT_LT(all.Mean(), kMaxMeanDifference);
    EXPECT_LT(all.max, kMaxDifference);
  }
}

}  // namespace
}  // namespace kelvrix::text
