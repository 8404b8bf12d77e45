#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/PolygonSet.h"

namespace kelvrix::text {
namespace {

// Distance from the cubic q's point at t to the polyline.
double DistanceToPolyline(const std::vector<Point2D>& line, const Point2D (&q)[4], double t) {
  const double u = 1.0 - t, w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
  const double px = w[0] * q[0].x + w[1] * q[1].x + w[2] * q[2].x + w[3] * q[3].x;
  const double py = w[0] * q[0].y + w[1] * q[1].y + w[2] * q[2].y + w[3] * q[3].y;
  double best = 1e30;
  for (size_t i = 1; i < line.size(); ++i) {
    const double ax = line[i - 1].x, ay = line[i - 1].y, dx = line[i].x - ax, dy = line[i].y - ay;
    const double s = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::fmin(best, std::hypot(ax + s * dx - px, ay + s * dy - py));
  }
  return best;
}

// A straight cubic, an arch with its top at (20, 30) and an S-curve with two x extrema and an
// inflection: few points, all within 1/8 pixel of the curve, in the curve's order, ending on its
// end point, the arch split at its top.
TEST(PolygonSet, CurvesAreFlattenedInOrderWithinAnEighthPixel) {
  const struct {
    Point2D q[4];
    float Point2D::*rising;  // the coordinate that only rises along the curve
    size_t maxPoints;
    Point2D vertex;  // one point the polyline must have
  } curves[] = {{{{1, 2}, {1, 2}, {7, 9}, {7, 9}}, &Point2D::x, 2, {7, 9}},
                {{{0, 0}, {10, 40}, {30, 40}, {40, 0}}, &Point2D::x, 40, {20, 30}},
                {{{0, 0}, {30, 10}, {-10, 20}, {20, 30}}, &Point2D::y, 40, {20, 30}}};
  for (const auto& [q, rising, maxPoints, wanted] : curves) {
    const Point2D vertex = wanted;  // C++17 lambdas cannot capture a structured binding
    SCOPED_TRACE(q[1].x);
    PolygonSet set;
    set.AppendPoint(q[0]);
    set.AppendCubic(q[0], q[1], q[2], q[3]);
    const std::vector<Point2D>& p = set.points;
    EXPECT_LE(p.size(), maxPoints);
    EXPECT_TRUE(p.back().x == q[3].x && p.back().y == q[3].y);
    EXPECT_TRUE(std::any_of(p.begin(), p.end(),
                            [&](Point2D v) { return v.x == vertex.x && v.y == vertex.y; }));
    for (size_t i = 1; i < p.size(); ++i) EXPECT_GT(p[i].*rising, p[i - 1].*rising) << i;
    for (int i = 0; i <= 200; ++i) EXPECT_LT(DistanceToPolyline(p, q, i / 200.0), 0.125) << i;
  }
}

// A non-finite curve adds only its end point; subdivision stops when its depth runs out; the
// point cap stops a huge curve and marks the set overflowed until it is cleared.
TEST(PolygonSet, DegenerateCurvesStop) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PolygonSet set;
  set.AppendPoint({0, 0});
  set.AppendCubic({0, 0}, {nan, 1}, {2, 3}, {4, 5});
  EXPECT_EQ(set.points.size(), 2u);
  set.SubdivideCubic({0, 0}, {0, 1e35f}, {1, 1e35f}, {1, 0}, 3);
  EXPECT_EQ(set.points.size(), 2u + 8u);
  for (int i = 0; i < 5 && !set.overflowed(); ++i)
    set.SubdivideCubic({0, 0}, {0, 1e35f}, {1, 1e35f}, {1, 0}, PolygonSet::kMaxSubdivisionDepth);
  EXPECT_TRUE(set.overflowed());
  EXPECT_EQ(set.points.size(), PolygonSet::kMaxPoints);
  set.Clear();
  EXPECT_TRUE(!set.overflowed() && set.points.empty());
}

}  // namespace
}  // namespace kelvrix::text
