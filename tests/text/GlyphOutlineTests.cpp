#include <gtest/gtest.h>

#include "tests/text/FontBytes.h"
#include "text/GlyphOutline.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

// A simple glyph with one contour of the given points, all coordinates as words.
Bytes SimpleGlyph(const std::vector<std::tuple<int, int, bool>>& points) {
  Bytes g;
  Put16(g, 1);                                                             // numberOfContours
  Put16(g, 0);                                                             // xMin
  Put16(g, 0);                                                             // yMin
  Put16(g, 0);                                                             // xMax (not read)
  Put16(g, 0);                                                             // yMax (not read)
  Put16(g, static_cast<uint32_t>(points.size() - 1));                      // endPtsOfContours[0]
  Put16(g, 0);                                                             // instructionLength
  for (const auto& p : points) g.push_back(std::get<2>(p) ? 0x01 : 0x00);  // flags: words
  int x = 0, y = 0;
  for (const auto& p : points)
    Put16(g, static_cast<uint16_t>(std::get<0>(p) - x)), x = std::get<0>(p);
  for (const auto& p : points)
    Put16(g, static_cast<uint16_t>(std::get<1>(p) - y)), y = std::get<1>(p);
  return g;
}

class GlyphOutlineTest : public ::testing::Test {
 protected:
  void Load(const std::vector<Bytes>& glyphs) {
    bytes_ = MinimalFont(glyphs);
    ASSERT_TRUE(font_.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), 1000.0f));
  }
  bool Decode(int glyph) { return outline_.Decode(font_, glyph, Transform2D{}); }

  Bytes bytes_;
  TrueTypeFont font_;
  GlyphOutline outline_;
  PolygonSet polygons_;
};

TEST_F(GlyphOutlineTest, SquareDecodesToItsFourOnCurvePoints) {
  Load({});
  ASSERT_TRUE(Decode(1));
  ASSERT_EQ(outline_.points.size(), 4u);
  EXPECT_EQ(outline_.contourEnds, std::vector<uint32_t>{4});
  EXPECT_EQ(outline_.points[2].position.x, 10.0f);
  EXPECT_EQ(outline_.points[2].position.y, 10.0f);
  outline_.AppendTo(polygons_);
  ASSERT_EQ(polygons_.subpaths.size(), 1u);
  EXPECT_EQ(polygons_.subpaths[0].count, 5u);
  EXPECT_TRUE(polygons_.subpaths[0].closed);
  EXPECT_EQ(polygons_.points[4].x, polygons_.points[0].x);
}

TEST_F(GlyphOutlineTest, PointsAreShiftedSoThatXMinLandsOnTheSideBearing) {
  std::vector<Table> tables = MinimalTables();
  Set16(tables[5].bytes, 4 + 2, 7);  // hmtx: lsb of glyph 1 = 7, its xMin stays 0
  bytes_ = AssembleFont(tables);
  ASSERT_TRUE(font_.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), 1000.0f));
  ASSERT_TRUE(Decode(1));
  EXPECT_EQ(outline_.points[0].position.x, 7.0f);
  EXPECT_EQ(outline_.points[1].position.x, 17.0f);
}

TEST_F(GlyphOutlineTest, CompositeResolvesItsComponentAtTheOffsetThroughThePlacement) {
  Load({});
  ASSERT_TRUE(outline_.Decode(font_, 2, Transform2D{2.0f, 0.0f, 0.0f, -1.0f, 100.0f, 50.0f}));
  ASSERT_EQ(outline_.points.size(), 4u);
  EXPECT_EQ(outline_.points[0].position.x, 140.0f);  // 2 * (0 + 20) + 100
  EXPECT_EQ(outline_.points[0].position.y, 45.0f);   // -(0 + 5) + 50
  EXPECT_EQ(outline_.points[2].position.x, 160.0f);
  EXPECT_EQ(outline_.points[2].position.y, 35.0f);
}

TEST_F(GlyphOutlineTest, ContourStartingOffCurveStartsAtTheNextOnCurvePointAndClosesThroughIt) {
  // off (0,0), on (10,0), on (10,10): starts at (10,0), closes from (10,10) through (0,0).
  Load({Bytes{}, SimpleGlyph({{0, 0, false}, {10, 0, true}, {10, 10, true}})});
  ASSERT_TRUE(Decode(1));
  outline_.AppendTo(polygons_);
  ASSERT_GE(polygons_.points.size(), 4u);
  EXPECT_EQ(polygons_.points.front().x, 10.0f);
  EXPECT_EQ(polygons_.points.front().y, 0.0f);
  EXPECT_EQ(polygons_.points.back().x, 10.0f);
  EXPECT_EQ(polygons_.points.back().y, 0.0f);
  // The closing quadratic from (10, 10) through (0, 0) to (10, 0) turns at its middle, (5, 2.5).
  bool throughMiddle = false;
  for (const Point2D& p : polygons_.points) {
    throughMiddle |= std::abs(p.x - 5.0f) < 1e-4f && std::abs(p.y - 2.5f) < 1e-4f;
  }
  EXPECT_TRUE(throughMiddle);
}

TEST_F(GlyphOutlineTest, ContourOfOnlyOffCurvePointsRunsThroughTheImpliedMidpoints) {
  Load({Bytes{}, SimpleGlyph({{0, 0, false}, {20, 0, false}, {20, 20, false}, {0, 20, false}})});
  ASSERT_TRUE(Decode(1));
  outline_.AppendTo(polygons_);
  ASSERT_EQ(polygons_.subpaths.size(), 1u);
  EXPECT_EQ(polygons_.points.front().x, 10.0f);  // midpoint of the first two points
  EXPECT_EQ(polygons_.points.front().y, 0.0f);
  EXPECT_EQ(polygons_.points.back().x, 10.0f);
  bool throughSide = false;  // the implied midpoint of (20, 0) and (20, 20)
  for (const Point2D& p : polygons_.points) {
    EXPECT_TRUE(p.x >= 0.0f && p.x <= 20.0f && p.y >= 0.0f && p.y <= 20.0f);
    throughSide |= p.x == 20.0f && p.y == 10.0f;
  }
  EXPECT_TRUE(throughSide);
}

TEST_F(GlyphOutlineTest, ContourOfOneOffCurvePointDrawsNothing) {
  Load({Bytes{}, SimpleGlyph({{5, 5, false}})});
  ASSERT_TRUE(Decode(1));
  outline_.AppendTo(polygons_);
  EXPECT_TRUE(polygons_.points.empty());
  EXPECT_TRUE(polygons_.subpaths.empty());
}

TEST_F(GlyphOutlineTest, FirstComponentPointMatchedDrawsNothingButIsNoError) {
  Load({Bytes{}, SquareGlyph(), CompositeGlyph(1, 0x0000)});  // flags: point-matched
  EXPECT_TRUE(Decode(2));
  EXPECT_TRUE(outline_.points.empty());
}

TEST_F(GlyphOutlineTest, CompositeReferringToItselfIsBoundedAndEmpty) {
  Load({Bytes{}, SquareGlyph(), CompositeGlyph(2)});  // glyph 2 -> glyph 2 -> ...
  EXPECT_FALSE(Decode(2));
  EXPECT_TRUE(outline_.points.empty());
}

TEST_F(GlyphOutlineTest, CompositesNestedPastTheDepthBoundAreEmpty) {
  std::vector<Bytes> glyphs = {Bytes{}, SquareGlyph()};
  for (int i = 2; i < 2 + GlyphOutline::kMaxComponentDepth + 1; ++i) {
    glyphs.push_back(CompositeGlyph(static_cast<uint16_t>(i - 1)));
  }
  Load(glyphs);
  EXPECT_TRUE(Decode(1 + GlyphOutline::kMaxComponentDepth));
  EXPECT_EQ(outline_.points.size(), 4u);
  EXPECT_FALSE(Decode(2 + GlyphOutline::kMaxComponentDepth));
}

TEST_F(GlyphOutlineTest, CompositeFanningOutPastTheComponentBoundIsEmpty) {
  // Each glyph uses the previous one 16 times: 16^4 components in all.
  std::vector<Bytes> glyphs = {Bytes{}, SquareGlyph()};
  for (int level = 0; level < 4; ++level) {
    Bytes g;
    Put16(g, 0xFFFF);  // numberOfContours: composite
    g.resize(10, 0);   // bounding box
    for (int i = 0; i < 16; ++i) {
      Put16(g, i < 15 ? 0x0022 : 0x0002);                  // flags: XY values (+ MORE_COMPONENTS)
      Put16(g, static_cast<uint32_t>(glyphs.size() - 1));  // glyphIndex
      g.push_back(1);                                      // dx
      g.push_back(0);                                      // dy
    }
    glyphs.push_back(g);
  }
  Load(glyphs);
  EXPECT_TRUE(Decode(3));
  EXPECT_EQ(outline_.points.size(), 4u * 16u * 16u);
  EXPECT_FALSE(Decode(5));
}

TEST_F(GlyphOutlineTest, RepeatCountBeyondThePointsLeftIsBoundedByThem) {
  Bytes g;
  Put16(g, 1);                             // numberOfContours
  g.resize(10, 0);                         // bounding box
  Put16(g, 2);                             // endPtsOfContours[0]: 3 points
  Put16(g, 0);                             // instructionLength
  g.push_back(0x01 | 0x08 | 0x10 | 0x20);  // flag: on-curve, repeat, x same, y same
  g.push_back(200);                        // repeat count 200, only 2 points left
  g.push_back(0x01);                       // next byte: read as x data, not as a flag
  Load({Bytes{}, g});
  ASSERT_TRUE(Decode(1));
  EXPECT_EQ(outline_.points.size(), 3u);
}

TEST_F(GlyphOutlineTest, CoordinatesRunningPastTheDataMakeTheGlyphEmpty) {
  Bytes g = SquareGlyph();
  g.resize(g.size() - 2);  // the last y delta is missing
  std::vector<Table> tables = MinimalTables({Bytes{}, g});
  std::swap(tables[2], tables.back());  // "glyf" last in the file and in the copy
  bytes_ = AssembleFont(tables);
  ASSERT_TRUE(font_.SetFont(bytes_.data(), static_cast<int>(bytes_.size()), 1000.0f));
  EXPECT_FALSE(Decode(1));
  EXPECT_TRUE(outline_.points.empty());
}

TEST_F(GlyphOutlineTest, ContourEndsGoingBackwardsMakeTheGlyphEmpty) {
  Bytes g;
  Put16(g, 2);                             // numberOfContours
  g.resize(10, 0);                         // bounding box
  Put16(g, 3);                             // endPtsOfContours[0]
  Put16(g, 1);                             // endPtsOfContours[1]: before the first end
  Put16(g, 0);                             // instructionLength
  g.push_back(0x01 | 0x08 | 0x10 | 0x20);  // flag, repeated
  g.push_back(1);                          // for 2 points
  Load({Bytes{}, g});
  EXPECT_FALSE(Decode(1));
}

// With the uniform or x/y scale flag beside it, the 2x2 matrix still decides, off-diagonal
// terms included.
TEST_F(GlyphOutlineTest, ScaledComponentAppliesItsTwoByTwoMatrix) {
  for (const int extra : {0x0000, 0x0008, 0x0040}) {
    SCOPED_TRACE(extra);
    Bytes g = CompositeGlyph(1, static_cast<uint16_t>(0x0002 | 0x0080 | extra));
    Put16(g, 0x2000);  // xscale 0.5
    Put16(g, 0x0000);  // scale01
    Put16(g, 0x4000);  // scale10 1.0
    Put16(g, 0xC000);  // yscale -1.0
    Load({Bytes{}, SquareGlyph(), g});
    ASSERT_TRUE(Decode(2));
    ASSERT_EQ(outline_.points.size(), 4u);
    EXPECT_EQ(outline_.points[2].position.x, 0.5f * 10 + 1.0f * 10 + 20);
    EXPECT_EQ(outline_.points[2].position.y, -10.0f + 5);
  }
}

}  // namespace
}  // namespace kelvrix::text
