#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "text/CoverageCells.h"

namespace kelvrix::text {
namespace {

// A W x H float canvas filled through PolygonSet -> CoverageCells, as the text canvas does.
class Raster {
 public:
  Raster(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4) {}

  // Adds one closed ring; points given in drawing order.
  Raster& Ring(std::vector<Point2D> ring) {
    ring.push_back(ring.front());
    polygons_.points.insert(polygons_.points.end(), ring.begin(), ring.end());
    polygons_.subpaths.push_back({ring.size(), true});
    return *this;
  }
  Raster& Rect(float x0, float y0, float x1, float y1) {
    return Ring({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
  }
  Raster& ReversedRect(float x0, float y0, float x1, float y1) {
    return Ring({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
  }
  void Fill(Paint paint = {1.0f, 1.0f, 1.0f, 1.0f}) {
    ASSERT_TRUE(cells_.BuildCoverageCells(polygons_, width_, height_));
    cells_.FillCells(paint, pixels_.data(), width_, height_);
    polygons_.Clear();
  }
  float Channel(int x, int y, int c) const { return pixels_[(size_t(y) * width_ + x) * 4 + c]; }
  float Alpha(int x, int y) const { return Channel(x, y, 3); }
  int CountAlpha(float value) const {
    int count = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) count += Alpha(x, y) == value;
    return count;
  }
  const CoverageCells& cells() const { return cells_; }

 private:
  int width_, height_;
  std::vector<float> pixels_;
  PolygonSet polygons_;
  CoverageCells cells_;
};

TEST(CoverageCells, HalfPixelDownwardEdgeGivesHalfCoverageThenFullStrip) {
  CoverageCells cells;
  cells.AppendEdgeCells({0.5f, 0.0f}, {0.5f, 1.0f});
  ASSERT_EQ(cells.cells.size(), 2u);
  EXPECT_EQ(cells.cells[0].x, 0);
  EXPECT_EQ(cells.cells[0].y, 0);
  EXPECT_EQ(cells.cells[0].delta, 0.5f);
  EXPECT_EQ(cells.cells[1].x, 1);
  EXPECT_EQ(cells.cells[1].y, 0);
  EXPECT_EQ(cells.cells[1].delta, 0.5f);

  // Upward, the walk starts on the row line y = 1 and leaves zero cells there, which the merge
  // drops; row 0 gets the same cells negated.
  cells.cells.clear();
  cells.AppendEdgeCells({0.5f, 1.0f}, {0.5f, 0.0f});
  std::vector<CoverageCell> nonzero;
  for (const CoverageCell& cell : cells.cells) {
    if (cell.delta != 0.0f) nonzero.push_back(cell);
  }
  ASSERT_EQ(nonzero.size(), 2u);
  EXPECT_EQ(nonzero[0].x, 0);
  EXPECT_EQ(nonzero[0].y, 0);
  EXPECT_EQ(nonzero[0].delta, -0.5f);
  EXPECT_EQ(nonzero[1].x, 1);
  EXPECT_EQ(nonzero[1].delta, -0.5f);
}

TEST(CoverageCells, HorizontalEdgesWithinTheToleranceAddNoCells) {
  CoverageCells cells;
  cells.AppendEdgeCells({0.0f, 3.0f}, {9.0f, 3.00001f});
  EXPECT_TRUE(cells.cells.empty());
}

TEST(CoverageCells, DiagonalEdgeCellsSumToItsHeightInEveryRow) {
  CoverageCells cells;
  cells.AppendEdgeCells({0.25f, 0.5f}, {7.75f, 3.25f});
  float rowSum[4] = {};
  for (const CoverageCell& cell : cells.cells) rowSum[cell.y] += cell.delta;
  EXPECT_NEAR(rowSum[0], 0.5f, 1e-6f);
  EXPECT_NEAR(rowSum[1], 1.0f, 1e-6f);
  EXPECT_NEAR(rowSum[2], 1.0f, 1e-6f);
  EXPECT_NEAR(rowSum[3], 0.25f, 1e-6f);
}

TEST(CoverageCells, AlignedTenPixelSquareCoversExactlyOneHundredPixels) {
  Raster raster(20, 20);
  raster.Rect(3.0f, 4.0f, 13.0f, 14.0f);
  raster.Fill();
  EXPECT_EQ(raster.CountAlpha(1.0f), 100);
  EXPECT_EQ(raster.CountAlpha(0.0f), 300);
  EXPECT_EQ(raster.Alpha(3, 4), 1.0f);
  EXPECT_EQ(raster.Alpha(12, 13), 1.0f);
  EXPECT_EQ(raster.Alpha(13, 13), 0.0f);
}

TEST(CoverageCells, SquareShiftedByHalfAPixelHalfCoversItsFirstAndLastColumn) {
  Raster raster(20, 20);
  raster.Rect(3.5f, 4.0f, 13.5f, 14.0f);
  raster.Fill();
  for (int y = 4; y < 14; ++y) {
    EXPECT_EQ(raster.Alpha(3, y), 0.5f) << y;
    EXPECT_EQ(raster.Alpha(13, y), 0.5f) << y;
    for (int x = 4; x < 13; ++x) EXPECT_EQ(raster.Alpha(x, y), 1.0f) << x << "," << y;
  }
  EXPECT_EQ(raster.CountAlpha(0.0f), 400 - 110);
}

TEST(CoverageCells, WindingDirectionDoesNotChangeCoverage) {
  Raster forward(20, 20), reversed(20, 20);
  forward.Rect(2.3f, 1.7f, 11.6f, 9.2f);
  forward.Fill();
  reversed.ReversedRect(2.3f, 1.7f, 11.6f, 9.2f);
  reversed.Fill();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(forward.Alpha(x, y), reversed.Alpha(x, y));
}

TEST(CoverageCells, OverlapOfSameWindingIsCoveredOnceAndOfOppositeWindingIsEmpty) {
  Raster same(20, 10);
  same.Rect(0.0f, 0.0f, 10.0f, 10.0f).Rect(5.0f, 0.0f, 15.0f, 10.0f);
  same.Fill();
  EXPECT_EQ(same.Alpha(7, 5), 1.0f);
  EXPECT_EQ(same.CountAlpha(1.0f), 150);

  Raster opposite(20, 10);
  opposite.Rect(0.0f, 0.0f, 10.0f, 10.0f).ReversedRect(5.0f, 0.0f, 15.0f, 10.0f);
  opposite.Fill();
  EXPECT_EQ(opposite.Alpha(7, 5), 0.0f);
  EXPECT_EQ(opposite.Alpha(2, 5), 1.0f);
  EXPECT_EQ(opposite.Alpha(12, 5), 1.0f);
  EXPECT_EQ(opposite.CountAlpha(1.0f), 100);
}

TEST(CoverageCells, OutlineCutAtTheCanvasEdgesKeepsTheCoverageInside) {
  Raster clipped(10, 10);
  clipped.Rect(-5.5f, -3.25f, 4.5f, 6.75f).Rect(7.5f, 7.5f, 30.0f, 40.0f);
  clipped.Fill();
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(clipped.Alpha(x, y), 1.0f) << x << "," << y;
    EXPECT_EQ(clipped.Alpha(4, y), 0.5f);
    EXPECT_EQ(clipped.Alpha(5, y), 0.0f);
  }
  EXPECT_EQ(clipped.Alpha(0, 6), 0.75f);
  EXPECT_EQ(clipped.Alpha(4, 6), 0.375f);
  EXPECT_EQ(clipped.Alpha(7, 7), 0.25f);
  EXPECT_EQ(clipped.Alpha(9, 9), 1.0f);
  EXPECT_EQ(clipped.Alpha(7, 9), 0.5f);
}

TEST(CoverageCells, OutlineEntirelyOutsideTheCanvasPaintsNothing) {
  Raster raster(10, 10);
  raster.Rect(-20.0f, 2.0f, -10.0f, 8.0f).Rect(12.0f, 2.0f, 18.0f, 8.0f);
  raster.Rect(2.0f, 11.0f, 8.0f, 18.0f);
  raster.Fill();
  EXPECT_EQ(raster.CountAlpha(0.0f), 100);
}

TEST(CoverageCells, NonFiniteAndHugeCoordinatesAreClippedWithoutFault) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Raster raster(10, 10);
  raster.Ring({{1.0f, 1.0f}, {inf, 2.0f}, {5.0f, nan}, {1e30f, -1e30f}, {-inf, 9.0f}});
  raster.Rect(2.0f, 2.0f, 4.0f, 4.0f);
  raster.Fill();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_TRUE(raster.Alpha(x, y) >= 0.0f && raster.Alpha(x, y) <= 1.0f);
}

TEST(CoverageCells, SortedCellsAreMergedIntoOnePerPixel) {
  Raster raster(20, 20);
  raster.Rect(1.2f, 1.3f, 8.7f, 9.9f).Rect(3.1f, 2.2f, 15.5f, 6.6f);
  raster.Fill();
  const auto& cells = raster.cells().cells;
  for (size_t i = 1; i < cells.size(); ++i) {
    const bool ordered = cells[i - 1].y < cells[i].y ||
                         (cells[i - 1].y == cells[i].y && cells[i - 1].x < cells[i].x);
    EXPECT_TRUE(ordered) << i;
  }
}

TEST(CoverageCells, PaintingComposesSourceOverAndKeepsAlphaAtMostOne) {
  Raster raster(4, 1);
  raster.Rect(0.0f, 0.0f, 1.0f, 1.0f).Rect(1.0f, 0.0f, 1.25f, 1.0f).Rect(2.0f, 0.0f, 2.5f, 1.0f);
  raster.Fill();
  raster.Rect(2.0f, 0.0f, 2.5f, 1.0f).Rect(0.0f, 0.0f, 1.0f, 1.0f);
  raster.Fill();
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(raster.Channel(0, 0, c), 1.0f);
    EXPECT_EQ(raster.Channel(1, 0, c), 0.25f);
    EXPECT_EQ(raster.Channel(2, 0, c), 0.75f);
    EXPECT_EQ(raster.Channel(3, 0, c), 0.0f);
  }
}

TEST(CoverageCells, CoverageBelowHalfAnEightBitStepLeavesThePixelUntouched) {
  Raster raster(3, 1);
  raster.Rect(0.0f, 0.0f, 1.0e-4f, 1.0f).Rect(1.0f, 0.0f, 1.0f + 1.3e-4f, 1.0f);
  raster.Fill();
  EXPECT_EQ(raster.Alpha(0, 0), 0.0f);
  EXPECT_GT(raster.Alpha(1, 0), 0.0f);
}

// The exact area of a simple polygon inside pixel (px, py), in double precision: the polygon is
// clipped to the pixel's square and the shoelace area taken. An independent oracle for the
// cell arithmetic, which reaches the same figure by strips and trapezoids in float.
double ExactPixelCoverage(const std::vector<Point2D>& polygon, int px, int py) {
  struct P {
    double x, y;
  };
  std::vector<P> ring;
  for (const Point2D p : polygon) ring.push_back({p.x, p.y});
  const double bounds[4] = {double(px), double(py), px + 1.0, py + 1.0};
  for (int plane = 0; plane < 4; ++plane) {
    const auto distance = [&](P p) {
      const double v = plane % 2 == 0 ? p.x : p.y;
      return plane < 2 ? v - bounds[plane] : bounds[plane] - v;
    };
    std::vector<P> out;
    for (size_t i = 0; i < ring.size(); ++i) {
      const P a = ring[i == 0 ? ring.size() - 1 : i - 1];
      const P b = ring[i];
      const double da = distance(a);
      const double db = distance(b);
      if (da * db < 0.0) {
        const double t = da / (da - db);
        out.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
      }
      if (db >= 0.0) out.push_back(b);
    }
    ring.swap(out);
  }
  double area = 0.0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const P a = ring[i == 0 ? ring.size() - 1 : i - 1];
    const P b = ring[i];
    area += a.x * b.y - b.x * a.y;
  }
  return std::fabs(area) * 0.5;
}

TEST(CoverageCells, EveryPixelGetsTheExactAreaOfRandomStarPolygons) {
  std::mt19937 random(6);
  std::uniform_real_distribution<float> centre(8.0f, 16.0f);
  std::uniform_real_distribution<float> radius(0.5f, 7.5f);
  std::uniform_real_distribution<float> jitter(0.0f, 1.0f);
  double worst = 0.0;
  for (int shape = 0; shape < 200; ++shape) {
    // Star-shaped around its centre, so simple whatever the radii: its nonzero fill is its area.
    const Point2D c{centre(random), centre(random)};
    const int corners = 3 + shape % 40;
    std::vector<Point2D> polygon;
    for (int i = 0; i < corners; ++i) {
      const float angle = (static_cast<float>(i) + jitter(random) * 0.9f) * 6.2831853f /
                          static_cast<float>(corners);
      const float r = radius(random);
      polygon.push_back({c.x + r * std::cos(angle), c.y + r * std::sin(angle)});
    }
    if (shape % 2 == 1) std::reverse(polygon.begin(), polygon.end());
    Raster raster(24, 24);
    raster.Ring(polygon);
    raster.Fill();
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        const double exact = ExactPixelCoverage(polygon, x, y);
        const double expected = exact >= 1.2254903e-4 ? exact : 0.0;  // the painting threshold
        worst = std::max(worst, std::fabs(raster.Alpha(x, y) - expected));
      }
    }
  }
  // Float rounding of coordinates around 16 and of the row sums (measured 2.6e-6); one 8-bit step
  // is 3.9e-3.
  EXPECT_LT(worst, 1e-5) << "largest difference from the exact area";
}

}  // namespace
}  // namespace kelvrix::text
