#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "tests/text/FontBytes.h"
#include "text/GlyphOutline.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

// A simple glyph with one contour of the given (x, y, on-curve) points, all coordinates as words.
Bytes SimpleGlyph(const std::vector<std::tuple<int, int, bool>>& points) {
  Bytes g;
  // numberOfContours, bounding box (not read), endPtsOfContours[0], instructionLength
  Put16(g, 1, 0, 0, 0, 0, points.size() - 1, 0);
  for (const auto& [x, y, on] : points) g.push_back(on ? 0x01 : 0x00);
  int px = 0, py = 0;
  for (const auto& [x, y, on] : points) Put16(g, x - std::exchange(px, x));
  for (const auto& [x, y, on] : points) Put16(g, y - std::exchange(py, y));
  return g;
}

using XY = std::pair<float, float>;
XY Of(Point2D p) { return {p.x, p.y}; }

class GlyphOutlineTest : public ::testing::Test {
 protected:
  bool Load(const Bytes& bytes) {
    return font_.SetFont(bytes.data(), static_cast<int>(bytes.size()), 1000.0f);
  }
  bool Decode(int glyph, const Transform2D& placement = {}) {
    return outline_.Decode(font_, glyph, placement);
  }
  // A glyph of one contour of `points`, decoded and flattened: one closed subpath, if any.
  std::vector<Point2D> Flatten(const std::vector<std::tuple<int, int, bool>>& points) {
    EXPECT_TRUE(Load(MinimalFont({Bytes{}, SimpleGlyph(points)})));
    EXPECT_TRUE(Decode(1));
    polygons_.Clear();
    outline_.AppendTo(polygons_);
    EXPECT_EQ(polygons_.subpaths.size(), polygons_.points.empty() ? 0u : 1u);
    return polygons_.points;
  }

  TrueTypeFont font_;
  GlyphOutline outline_;
  PolygonSet polygons_;
};

TEST_F(GlyphOutlineTest, SquareLandsOnItsSideBearingAndClosesWhenFlattened) {
  std::vector<Table> tables = MinimalTables();
  Set(tables[kGlyf].bytes, 2, 3);      // xMin of glyph 1: 3, though its points start at x 0
  Set(tables[kHmtx].bytes, 4 + 2, 7);  // lsb of glyph 1: 7, so every x moves by 7 - 3
  ASSERT_TRUE(Load(AssembleFont(tables)));
  ASSERT_TRUE(Decode(1));
  EXPECT_EQ(outline_.contourEnds, std::vector<uint32_t>{4});
  outline_.AppendTo(polygons_);
  ASSERT_EQ(polygons_.subpaths.size(), 1u);
  EXPECT_TRUE(polygons_.subpaths[0].closed);
  std::vector<XY> corners;
  for (const Point2D& p : polygons_.points) corners.push_back(Of(p));
  EXPECT_EQ(corners, (std::vector<XY>{{4, 0}, {14, 0}, {14, 10}, {4, 10}, {4, 0}}));
}

// The square's corner (10, 10) as a component shifted by (20, 5), through each scale form
// (uniform, x/y, 2x2; with the other scale flags beside it the 2x2 matrix still decides,
// off-diagonal terms included) and through the placement.
TEST_F(GlyphOutlineTest, ComponentIsPlacedByItsOffsetItsScaleAndThePlacement) {
  const Transform2D identity, placement{2.0f, 0.0f, 0.0f, -1.0f, 100.0f, 50.0f};
  const struct {
    int flags;
    std::vector<int64_t> scale;  // F2Dot14: 0x2000 0.5, 0x4000 1.0, 0xC000 -1.0
    const Transform2D& placement;
    XY corner;
  } cases[] = {{0x00, {}, placement, {2 * 30 + 100, -15 + 50}},
               {0x08, {0x2000}, identity, {25, 10}},
               {0x40, {0x2000, 0xC000}, identity, {25, -5}},
               {0x80, {0x2000, 0, 0x4000, 0xC000}, identity, {35, -5}},
               {0x88, {0x2000, 0, 0x4000, 0xC000}, identity, {35, -5}},
               {0xC0, {0x2000, 0, 0x4000, 0xC000}, identity, {35, -5}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    Bytes g = CompositeGlyph(1, static_cast<uint16_t>(0x0002 | c.flags));
    for (const int64_t s : c.scale) Put16(g, s);
    ASSERT_TRUE(Load(MinimalFont({Bytes{}, SquareGlyph(), g})));
    ASSERT_TRUE(Decode(2, c.placement));
    ASSERT_EQ(outline_.points.size(), 4u);
    EXPECT_EQ(Of(outline_.points[2].position), c.corner);
  }
}

// A contour starting off-curve starts where it turns on; all off-curve, between its first two
// points; it runs through the implied midpoints and closes through them. One off-curve point has
// nothing to start from.
TEST_F(GlyphOutlineTest, OffCurvePointsMeetAtImpliedMidpointsAndContoursCloseThroughThem) {
  const struct {
    std::vector<std::tuple<int, int, bool>> contour;
    XY start, through;
  } cases[] = {
      {{{0, 0, false}, {10, 0, true}, {10, 10, true}}, {10, 0}, {5, 2.5f}},
      {{{0, 0, false}, {20, 0, false}, {20, 20, false}, {0, 20, false}}, {10, 0}, {20, 10}}};
  for (const auto& c : cases) {
    const std::vector<Point2D> p = Flatten(c.contour);
    ASSERT_FALSE(p.empty());
    EXPECT_TRUE(Of(p.front()) == c.start && Of(p.back()) == c.start);
    EXPECT_TRUE(std::any_of(p.begin(), p.end(), [&](Point2D q) {
      return std::hypot(q.x - c.through.first, q.y - c.through.second) < 1e-4f;
    }));
  }
  EXPECT_TRUE(Flatten({{5, 5, false}}).empty());
}

// Hand-built glyphs with one fault each, and what decoding them gives: false with no points, or
// the points that stay within the bounds.
TEST_F(GlyphOutlineTest, MalformedGlyphsDecodeToNothingOrWithinTheirBounds) {
  constexpr int kDepth = GlyphOutline::kMaxComponentDepth;
  std::vector<Bytes> nested = {Bytes{}, SquareGlyph()};  // glyph i + 1 is glyph i shifted
  while (nested.size() < 3 + kDepth)
    nested.push_back(CompositeGlyph(static_cast<uint16_t>(nested.size() - 1)));
  std::vector<Bytes> fanned = {Bytes{}, SquareGlyph()};  // glyph i + 1 is 16 copies of glyph i
  while (fanned.size() < 6) {
    Bytes g;
    Put16(g, -1, 0, 0, 0, 0);
    // flags: XY values, MORE_COMPONENTS but on the last; glyphIndex; dx 1, dy 0 as bytes
    for (int i = 0; i < 16; ++i) Put16(g, i < 15 ? 0x22 : 0x02, fanned.size() - 1, 256);
    fanned.push_back(g);
  }
  Bytes repeated;  // one flag, on-curve and x, y same, repeated 200 times for the 2 points left,
  Put16(repeated, 1, 0, 0, 0, 0, 2, 0);  // then a byte that is x data, not a flag
  repeated.insert(repeated.end(), {0x39, 200, 0x01});
  Bytes backwards;  // contours ending at points 3, 1, 5, their one flag repeated for 6 points
  Put16(backwards, 3, 0, 0, 0, 0, 3, 1, 5, 0);
  backwards.insert(backwards.end(), {0x39, 5});
  Bytes cutSquare = SquareGlyph();
  cutSquare.resize(cutSquare.size() - 2);  // the last y delta is missing
  std::vector<Table> cut = MinimalTables({Bytes{}, cutSquare});
  std::swap(cut[kGlyf], cut.back());  // "glyf" last in the file and in the copy
  const struct {
    const char* name;
    Bytes font;
    int glyph;
    bool decodes;
    size_t points;
  } cases[] = {
      {"first component point-matched", MinimalFont({{}, SquareGlyph(), CompositeGlyph(1, 0)}), 2,
       true, 0},
      {"composite referring to itself", MinimalFont({{}, SquareGlyph(), CompositeGlyph(2)}), 2,
       false, 0},
      {"composites nested to the depth bound", MinimalFont(nested), 1 + kDepth, true, 4},
      {"composites nested past the depth bound", MinimalFont(nested), 2 + kDepth, false, 0},
      {"256 squares in 272 components", MinimalFont(fanned), 3, true, 4 * 16 * 16},
      {"65536 squares past the component bound", MinimalFont(fanned), 5, false, 0},
      {"flag repeat count past the points left", MinimalFont({{}, repeated}), 1, true, 3},
      {"contour ends going backwards", MinimalFont({{}, backwards}), 1, false, 0},
      {"coordinates running past the data", AssembleFont(cut), 1, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Load(c.font));
    EXPECT_EQ(Decode(c.glyph), c.decodes);
    EXPECT_EQ(outline_.points.size(), c.points);
  }
}

}  // namespace
}  // namespace kelvrix::text
