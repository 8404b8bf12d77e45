#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "text/CoverageCells.h"

namespace kelvrix::text {
namespace {

using Ring = std::vector<Point2D>;

Ring Rect(float x0, float y0, float x1, float y1) {
  return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}
Ring Reversed(Ring ring) {
  std::reverse(ring.begin(), ring.end());
  return ring;
}

// The rings filled on a W x H canvas through PolygonSet -> CoverageCells, as the text canvas
// does, over `pixels` (four floats each; none: transparent black).
std::vector<float> Fill(int width, int height, const std::vector<Ring>& rings,
                        std::vector<float> pixels = {}) {
  PolygonSet polygons;
  for (Ring ring : rings) {
    ring.push_back(ring.front());
    polygons.points.insert(polygons.points.end(), ring.begin(), ring.end());
    polygons.subpaths.push_back({ring.size(), true});
  }
  CoverageCells cells;
  pixels.resize(static_cast<size_t>(width) * height * 4);
  EXPECT_TRUE(cells.BuildCoverageCells(polygons, width, height));
  cells.FillCells({1.0f, 1.0f, 1.0f, 1.0f}, pixels.data(), width, height);
  return pixels;
}

// The exact area of a simple polygon inside pixel (px, py), in double precision: the polygon is
// clipped to the pixel's square and the shoelace area taken. An independent oracle for the
// cell arithmetic, which reaches the same figure by strips and trapezoids in float.
double ExactPixelCoverage(const Ring& polygon, int px, int py) {
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
    area += a.x * ring[i].y - ring[i].x * a.y;
  }
  return std::fabs(area) * 0.5;
}

// Rings that do not overlap, so a pixel's coverage is the sum of their areas in it: squares on
// and off the pixel grid, of either winding, cut at or beyond the canvas edges, slivers either
// side of the painting threshold, and random star-shaped polygons (simple whatever the radii)
// that often cross the edges.
TEST(CoverageCells, EveryPixelGetsTheExactAreaOfItsPolygons) {
  std::vector<std::vector<Ring>> shapes = {
      {Rect(3.0f, 4.0f, 13.0f, 14.0f)},
      {Rect(3.5f, 4.0f, 13.5f, 14.0f)},
      {Reversed(Rect(2.3f, 1.7f, 11.6f, 9.2f))},
      {Rect(-5.5f, -3.25f, 4.5f, 6.75f), Rect(17.5f, 17.5f, 30.0f, 40.0f)},
      {Rect(-20.0f, 2.0f, -10.0f, 8.0f), Rect(25.0f, 2.0f, 28.0f, 8.0f), Rect(2, 26, 8, 30)},
      {Rect(0.0f, 0.0f, 1.0e-4f, 1.0f), Rect(1.0f, 0.0f, 1.0f + 1.3e-4f, 1.0f)}};
  std::mt19937 random(6);
  std::uniform_real_distribution<float> centre(4.0f, 20.0f), radius(0.5f, 9.0f), jitter(0, 0.9f);
  for (int shape = 0; shape < 200; ++shape) {
    const Point2D c{centre(random), centre(random)};
    const int corners = 3 + shape % 40;
    Ring polygon;
    for (int i = 0; i < corners; ++i) {
      const float angle =
          (static_cast<float>(i) + jitter(random)) * 6.2831853f / static_cast<float>(corners);
      const float r = radius(random);
      polygon.push_back({c.x + r * std::cos(angle), c.y + r * std::sin(angle)});
    }
    shapes.push_back({shape % 2 == 1 ? Reversed(polygon) : polygon});
  }
  double worst = 0.0;
  for (const std::vector<Ring>& rings : shapes) {
    const std::vector<float> pixels = Fill(24, 24, rings);
    for (int i = 0; i < 24 * 24; ++i) {
      double exact = 0.0;
      for (const Ring& ring : rings) exact += ExactPixelCoverage(ring, i % 24, i / 24);
      const double expected = exact >= 1.2254903e-4 ? exact : 0.0;  // half an 8-bit step
      worst = std::max(worst, std::fabs(pixels[i * 4 + 3] - expected));
    }
  }
  // Float rounding of coordinates around 16 and of the row sums (measured 2.8e-6); one 8-bit step
  // is 3.9e-3.
  EXPECT_LT(worst, 1e-5) << "largest difference from the exact area";
}

// So many rings that the most cells their edges could make passes the cap part way through: the
// rings queued so far are walked, and the rest with per-edge checks. Every ring keeps its area.
TEST(CoverageCells, RingsPastTheUncheckedBoundKeepTheirExactCoverage) {
  constexpr int kWidth = 1920;
  constexpr int kHeight = 1080;
  constexpr int kColumns = 90;
  // A closed rectangle is 5 points; by the bound each may make 2 (1080 + 2) + 1920 + 10 cells, so
  // about 1,640 rings reach the 2^25 cells of the cap.
  std::vector<Ring> rings;
  for (int i = 0; i < 2000; ++i) {
    const float x =
        4.0f + static_cast<float>(i % kColumns) * 21.0f + 0.25f * static_cast<float>(i % 4);
    const float y =
        4.0f + static_cast<float>(i / kColumns) * 21.0f + 0.3f * static_cast<float>(i % 3);
    const Ring ring = Rect(x, y, x + 2.5f, y + 3.5f);
    rings.push_back(i % 2 == 0 ? ring : Reversed(ring));
  }
  const std::vector<float> pixels = Fill(kWidth, kHeight, rings);
  double worst = 0.0;
  for (const Ring& ring : rings) {
    const int left = static_cast<int>(ring[0].x) - 1;
    const int top = static_cast<int>(std::min(ring[0].y, ring[1].y)) - 1;
    for (int y = top; y < top + 7; ++y) {
      for (int x = left; x < left + 6; ++x) {
        const double exact = ExactPixelCoverage(ring, x, y);
        const float alpha =
            pixels[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4 + 3];
        worst = std::max(worst, std::fabs(alpha - exact));
      }
    }
  }
  EXPECT_LT(worst, 1e-5) << "largest difference from the exact area";
}

// Steep edges far from the origin, where a row crossing rounded onto or just before a column
// line once made the next row count a slice twice: the row then no longer summed to zero and the
// rest of it, out to the canvas's right edge, was painted. Nothing right of a ring may be.
TEST(CoverageCells, SteepClosedRingsPaintNothingRightOfThemselves) {
  constexpr int kWidth = 4200;
  constexpr int kHeight = 48;
  std::vector<Ring> rings = {{{1020.99078f, 37.9232178f},
                              {1021.00037f, 19.3764744f},
                              {1024.00037f, 19.3764744f},
                              {1023.99078f, 37.9232178f}}};
  // Steep sides that pass a column line within a rounding error of a row line and end in the
  // row beyond it: the case where a rounded row crossing lands on or just before the column.
  std::mt19937 random(22);
  std::uniform_int_distribution<int> column(100, 4100), line(16, 32), width(1, 6);
  std::uniform_real_distribution<float> near(-0.15f, 0.15f), lean(2e-4f, 1e-3f), into(0.05f, 0.95f),
      reach(3.0f, 14.0f);
  for (int i = 0; i < 400; ++i) {
    const float crossX = static_cast<float>(column(random));
    const float crossY = static_cast<float>(line(random)) + near(random);
    const float up = i % 2 == 0 ? 1.0f : -1.0f;  // the side ends above the line, or below it
    const float k = (i % 4 < 2 ? 1.0f : -1.0f) * lean(random);  // its x per row towards the end
    const float endY = std::round(crossY) - up * into(random);
    const float startY = crossY + up * reach(random);
    const auto at = [&](float y) { return Point2D{crossX + (crossY - y) * up * k, y}; };
    // The other side stands upright half a pixel off the grid, where it cannot cancel an error.
    const float w = static_cast<float>(width(random)) + 0.5f;
    const Ring ring = {at(startY), at(endY), {crossX + w, endY}, {crossX + w, startY}};
    rings.push_back(i % 8 < 4 ? ring : Reversed(ring));
  }
  int leaking = 0;
  for (const Ring& ring : rings) {
    float right = 0.0f;
    for (const Point2D p : ring) right = std::max(right, p.x);
    const std::vector<float> pixels = Fill(kWidth, kHeight, {ring});
    const int first = static_cast<int>(std::floor(right)) + 1;  // wholly right of the ring
    bool leaked = false;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = first; x < kWidth; ++x) {
        leaked |= pixels[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4 + 3] != 0;
      }
    }
    leaking += leaked;
  }
  EXPECT_EQ(leaking, 0) << "of " << rings.size() << " rings";
}

// Every cell of an edge lies where its ends put it; an end that is not a number makes none.
TEST(CoverageCells, AnEdgeWithANaNEndMakesNoCells) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  CoverageCells cells;
  const Point2D ends[][2] = {{{nan, 1}, {3, 5}}, {{1, 1}, {3, nan}}, {{nan, nan}, {2, 2}}};
  for (const auto& edge : ends) {
    cells.AppendEdgeCells(edge[0], edge[1]);
    EXPECT_TRUE(cells.cells.empty());
  }
  cells.AppendEdgeCells({1, 1}, {3, 5});
  EXPECT_FALSE(cells.cells.empty());
}

TEST(CoverageCells, OverlapOfOneWindingIsCoveredOnceAndOfOppositeWindingsIsEmpty) {
  const std::vector<float> same = Fill(20, 10, {Rect(0, 0, 10, 10), Rect(5, 0, 15, 10)});
  const std::vector<float> opposite =
      Fill(20, 10, {Rect(0, 0, 10, 10), Reversed(Rect(5, 0, 15, 10))});
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(same[(100 + x) * 4 + 3], x < 15 ? 1.0f : 0.0f) << x;
    EXPECT_EQ(opposite[(100 + x) * 4 + 3], x < 5 || (x >= 10 && x < 15) ? 1.0f : 0.0f) << x;
  }
}

TEST(CoverageCells, NonFiniteAndHugeCoordinatesAreClippedWithoutFault) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float v :
       Fill(10, 10, {{{1, 1}, {inf, 2}, {5, nan}, {1e30f, -1e30f}, {-inf, 9}}, Rect(2, 2, 4, 4)})) {
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f);
  }
}

// Full, a quarter and a half coverage, then the half and the full painted again.
TEST(CoverageCells, PaintingComposesSourceOverAndKeepsAlphaAtMostOne) {
  const std::vector<float> first =
      Fill(4, 1, {Rect(0, 0, 1, 1), Rect(1, 0, 1.25f, 1), Rect(2, 0, 2.5f, 1)});
  const std::vector<float> both = Fill(4, 1, {Rect(2, 0, 2.5f, 1), Rect(0, 0, 1, 1)}, first);
  EXPECT_EQ(both, (std::vector<float>{1, 1, 1, 1, 0.25f, 0.25f, 0.25f, 0.25f, 0.75f, 0.75f, 0.75f,
                                      0.75f, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace kelvrix::text
