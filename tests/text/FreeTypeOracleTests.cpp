// The rasterizer against FreeType's anti-aliased rasterizer (no hinting, linear coverage, nonzero
// winding), after white text on a cleared canvas. Three comparisons per case:
//
//  - Polygons: FreeType fills the canvas's own flattened polygons (straight segments only), so the
//    shape is the same and only the rasterizers differ. Against the canvas's alpha the vertices
//    differ by FreeType's rounding to 1/64 pixel; fed to both rasterizers on that grid
//    ("same grid") nothing but the coverage arithmetic differs. What remains there is FreeType's
//    8-bit output, truncated from 256 levels: about a third of a step per partly covered pixel.
//  - Curves: FreeType fills the font's own quadratics. The canvas flattens a curve until its cubic
//    controls lie within 1/8 pixel of the chord; FreeType flattens by its own rule, about as
//    coarsely, so the two differ by up to a few steps along curved edges.
//
// A whole line is one outline on both sides, so glyphs that share a pixel are united by the
// nonzero rule as FillText unites them. A failure reports the figures of its comparison: the mean
// over the pixels either side touched, the mean over all compared pixels, and the largest.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/TextCanvas.h"

namespace kelvrix::text {
namespace {

// In 8-bit steps. The goal holds for the rasterizer alone (same polygons on the same grid); the
// other bounds guard the figures measured against regressions.
constexpr double kGoalMeanDifference = 0.25;  // over all compared pixels
constexpr double kGoalMaxDifference = 4.0;
constexpr double kSameGridMaxTouchedMean = 0.5;
constexpr double kPolygonsMaxTouchedMean = 1.0;
constexpr double kPolygonsMaxDifference = 6.0;
constexpr double kCurvesMaxTouchedMean = 2.5;
constexpr double kCurvesMaxDifference = 32.0;

constexpr int kSizes[] = {15, 18, 23, 35, 54, 80, 120};
constexpr double kSqueezes[] = {1.0, 0.7};

const char* const kCardLines[] = {
    "Couldn't find a large enough block of memory, try reducing the Size parameter.",
    "Purging your cache to re-render this frame may help.",
    "Restarting AE can also also help - every AE session brings different data in memory."};

// Differences in 8-bit steps: the sum, the count of pixels either side touched, the count of all
// pixels compared, and the largest.
struct Difference {
  double sum = 0.0;
  long touched = 0;
  long pixels = 0;
  double max = 0.0;
  double Mean() const { return pixels ? sum / static_cast<double>(pixels) : 0.0; }
  double TouchedMean() const { return touched ? sum / static_cast<double>(touched) : 0.0; }
  void Add(const Difference& d) {
    sum += d.sum;
    touched += d.touched;
    pixels += d.pixels;
    max = std::max(max, d.max);
  }
};

std::ostream& operator<<(std::ostream& out, const Difference& d) {
  return out << "mean " << d.TouchedMean() << "/255 over " << d.touched << " touched pixels ("
             << d.Mean() << "/255 over all " << d.pixels << "), max " << d.max << "/255";
}

struct Differences {
  Difference polygons;  // canvas alpha vs FreeType filling the canvas's polygons
  Difference sameGrid;  // both rasterizers filling those polygons on FreeType's grid
  Difference curves;    // canvas alpha vs FreeType filling the font's curves
  void Add(const Differences& d) {
    polygons.Add(d.polygons);
    sameGrid.Add(d.sameGrid);
    curves.Add(d.curves);
  }
};

// One closed contour in FreeType's space: 26.6 units, y upward. minX and maxX bound every point,
// controls included, so they bound the drawn contour.
struct Contour {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  FT_Pos minX = LONG_MAX;
  FT_Pos maxX = LONG_MIN;
  void Add(FT_Pos x, FT_Pos y, char tag) {
    points.push_back({x, y});
    tags.push_back(tag);
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
  }
};

// A float alpha image, row 0 at the top like the canvas.
struct Coverage {
  int width = 0;
  int height = 0;
  std::vector<float> alpha;
  Coverage(int w, int h) : width(w), height(h), alpha(static_cast<size_t>(w) * h, 0.0f) {}
  float& At(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
  float At(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

FT_Pos To26Dot6(double pixels) { return std::lround(pixels * 64.0); }

Coverage AlphaOf(const TextCanvas& canvas) {
  Coverage alpha(canvas.Width(), canvas.Height());
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) alpha.At(x, y) = canvas.PixelAt(x, y)[3];
  }
  return alpha;
}

// The canvas's rasterizer alone on a given PolygonSet.
Coverage FillWithCells(const PolygonSet& polygons, int width, int height) {
  CoverageCells cells;
  std::vector<float> pixels(static_cast<size_t>(width) * height * 4, 0.0f);
  Coverage alpha(width, height);
  if (!cells.BuildCoverageCells(polygons, width, height)) return alpha;
  cells.FillCells(Paint{1.0f, 1.0f, 1.0f, 1.0f}, pixels.data(), width, height);
  for (size_t i = 0; i < alpha.alpha.size(); ++i) alpha.alpha[i] = pixels[i * 4 + 3];
  return alpha;
}

// The polygons with every vertex moved to FreeType's 1/64-pixel grid (y measured upward from the
// bottom edge, as FreeType sees it).
PolygonSet OnFreeTypeGrid(PolygonSet polygons, int height) {
  const double h = height;
  for (Point2D& p : polygons.points) {
    p.x = static_cast<float>(static_cast<double>(To26Dot6(p.x)) / 64.0);
    p.y = static_cast<float>(h - static_cast<double>(To26Dot6(h - p.y)) / 64.0);
  }
  return polygons;
}

// The canvas's flattened polygons as straight-edged contours; the repeated closing point is left
// out because FreeType closes every contour itself.
std::vector<Contour> PolygonContours(const PolygonSet& polygons, int height) {
  std::vector<Contour> contours;
  size_t first = 0;
  for (const SubpathRecord& subpath : polygons.subpaths) {
    Contour contour;
    for (size_t i = first; i + 1 < first + subpath.count; ++i) {
      const Point2D p = polygons.points[i];
      contour.Add(To26Dot6(p.x), To26Dot6(height - static_cast<double>(p.y)), FT_CURVE_TAG_ON);
    }
    first += subpath.count;
    if (!contour.points.empty()) contours.push_back(std::move(contour));
  }
  return contours;
}

Difference Compare(const Coverage& ours, const Coverage& theirs) {
  Difference d;
  for (size_t i = 0; i < ours.alpha.size(); ++i) {
    ++d.pixels;
    const double a = ours.alpha[i] * 255.0;
    const double b = theirs.alpha[i] * 255.0;
    if (a == 0.0 && b == 0.0) continue;
    const double diff = std::fabs(a - b);
    d.sum += diff;
    d.max = std::max(d.max, diff);
    ++d.touched;
  }
  return d;
}

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

  // One glyph's font outline placed as the canvas places it: font units scaled by (scaleX,
  // -scale) from the pen (x, y) in canvas pixels.
  void AppendGlyphCurves(FT_UInt glyph, double scaleX, double scale, double x, double y, int height,
                         std::vector<Contour>& contours) {
    ASSERT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    const FT_Outline& outline = face_->glyph->outline;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
      Contour contour;
      for (int i = first; i <= outline.contours[c]; ++i) {
        const double px = x + scaleX * static_cast<double>(outline.points[i].x);
        const double py = y - scale * static_cast<double>(outline.points[i].y);
        contour.Add(To26Dot6(px), To26Dot6(height - py), outline.tags[i]);
      }
      first = outline.contours[c] + 1;
      contours.push_back(std::move(contour));
    }
  }

  static void StoreSpans(int y, int count, const FT_Span* spans, void* user) {
    auto* coverage = static_cast<Coverage*>(user);
    const int row = coverage->height - 1 - y;
    if (row < 0 || row >= coverage->height) return;
    for (int i = 0; i < count; ++i) {
      for (int x = spans[i].x; x < spans[i].x + spans[i].len; ++x) {
        if (x >= 0 && x < coverage->width) coverage->At(x, row) = spans[i].coverage / 255.0f;
      }
    }
  }

  // Fills all contours as one outline. FreeType's fixed cell pool overflows on a row crossing a
  // whole line of large text, so the outline is rendered through vertical windows, each with only
  // the contours that reach into it: a closed contour wholly left of a window adds nothing to the
  // window's rows, so leaving it out changes no pixel.
  Coverage Render(const std::vector<Contour>& contours, int width, int height) {
    constexpr int kWindow = 64;  // pixels
    Coverage coverage(width, height);
    for (int left = 0; left < width; left += kWindow) {
      const int right = std::min(left + kWindow, width);
      std::vector<FT_Vector> points;
      std::vector<char> tags;
      std::vector<short> ends;
      for (const Contour& contour : contours) {
        if (contour.maxX < left * 64 || contour.minX > right * 64) continue;
        points.insert(points.end(), contour.points.begin(), contour.points.end());
        tags.insert(tags.end(), contour.tags.begin(), contour.tags.end());
        ends.push_back(static_cast<short>(points.size() - 1));
      }
      if (points.empty()) continue;
      EXPECT_LE(points.size(), size_t{SHRT_MAX});
      FT_Outline outline{};
      outline.n_points = static_cast<short>(points.size());
      outline.n_contours = static_cast<short>(ends.size());
      outline.points = points.data();
      outline.tags = tags.data();
      outline.contours = ends.data();
      outline.flags = FT_OUTLINE_NONE;
      FT_Raster_Params params{};
      params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
      params.gray_spans = &StoreSpans;
      params.user = &coverage;
      params.clip_box = {left, 0, right, height};
      EXPECT_EQ(FT_Outline_Render(library_, &outline, &params), 0);
    }
    return coverage;
  }

  // All comparisons of one canvas, whose polygons are still in it, with the font's curves.
  Differences CompareAll(const TextCanvas& canvas, const std::vector<Contour>& curves) {
    const int width = canvas.Width();
    const int height = canvas.Height();
    const Coverage ours = AlphaOf(canvas);
    const PolygonSet onGrid = OnFreeTypeGrid(canvas.Polygons(), height);
    const Coverage freeTypePolygons = Render(PolygonContours(onGrid, height), width, height);
    Differences d;
    d.polygons = Compare(ours, freeTypePolygons);
    d.sameGrid = Compare(FillWithCells(onGrid, width, height), freeTypePolygons);
    d.curves = Compare(ours, Render(curves, width, height));
    return d;
  }

  // One card line at `size` pixels, squeezed to `squeeze` of its natural width when below 1.
  Differences Line(const char* text, int size, double squeeze) {
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

    std::vector<Contour> curves;
    long pen = 0;
    for (const FT_UInt glyph : glyphs) {
      AppendGlyphCurves(glyph, scale * k, scale, x + scale * k * static_cast<float>(pen), y, height,
                        curves);
      pen += face_->glyph->advance.x;
    }
    return CompareAll(canvas, curves);
  }

  // Every glyph of the font alone at `size` pixels.
  Differences EveryGlyph(int size) {
    Differences all;
    const float scale = static_cast<float>(size) / static_cast<float>(face_->units_per_EM);
    const int side = size * 2;
    const float x = static_cast<float>(size) * 0.5f;
    const float y = static_cast<float>(size) * 1.3f;
    for (FT_UInt glyph = 0; glyph < static_cast<FT_UInt>(face_->num_glyphs); ++glyph) {
      TextCanvas canvas(side, side);
      EXPECT_TRUE(
          canvas.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), static_cast<float>(size)));
      canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
      canvas.AppendGlyphOutline(static_cast<int>(glyph),
                                Transform2D{scale, 0.0f, 0.0f, -scale, x, y});
      canvas.FillPolygons();
      std::vector<Contour> curves;
      AppendGlyphCurves(glyph, scale, scale, x, y, side, curves);
      all.Add(CompareAll(canvas, curves));
    }
    return all;
  }

  std::vector<uint8_t> bytes_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

void ExpectWithinBounds(const Differences& d) {
  constexpr double kAny = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    const Difference& difference;
    double mean, touchedMean, max;
  } bounds[] = {{"same polygons, same grid", d.sameGrid, kGoalMeanDifference,
                 kSameGridMaxTouchedMean, kGoalMaxDifference},
                {"same polygons", d.polygons, kGoalMeanDifference, kPolygonsMaxTouchedMean,
                 kPolygonsMaxDifference},
                {"font curves", d.curves, kAny, kCurvesMaxTouchedMean, kCurvesMaxDifference}};
  for (const auto& b : bounds) {
    EXPECT_LT(b.difference.Mean(), b.mean) << b.what << ": " << b.difference;
    EXPECT_LT(b.difference.TouchedMean(), b.touchedMean) << b.what << ": " << b.difference;
    EXPECT_LT(b.difference.max, b.max) << b.what << ": " << b.difference;
  }
}

TEST_F(FreeTypeOracle, CardLinesMatchFreeTypeAtSizesFromFifteenToOneHundredTwenty) {
  Differences all;
  for (const int size : kSizes) {
    for (const double squeeze : kSqueezes) {
      for (const char* line : kCardLines) all.Add(Line(line, size, squeeze));
    }
  }
  ExpectWithinBounds(all);
}

TEST_F(FreeTypeOracle, EveryGlyphMatchesFreeTypeAtTwoSizes) {
  for (const int size : {24, 64}) {
    SCOPED_TRACE(std::to_string(size) + " px");
    ExpectWithinBounds(EveryGlyph(size));
  }
}

}  // namespace
}  // namespace kelvrix::text
