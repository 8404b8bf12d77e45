#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/PolygonSet.h"

namespace kelvrix::text {
namespace {

// The cubic p0 c1 c2 p3 appended after its start point.
PolygonSet Flattened(Point2D p0, Point2D c1, Point2D c2, Point2D p3) {
  PolygonSet set;
  set.AppendPoint(p0);
  set.AppendCubic(p0, c1, c2, p3);
  return set;
}

// Distance from the cubic's point at t to the polyline.
double DistanceToPolyline(const std::vector<Point2D>& line, const Point2D (&q)[4], double t) {
  const double u = 1.0 - t;
  const double w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
  const double px = w[0] * q[0].x + w[1] * q[1].x + w[2] * q[2].x + w[3] * q[3].x;
  const double py = w[0] * q[0].y + w[1] * q[1].y + w[2] * q[2].y + w[3] * q[3].y;
  double best = 1e30;
  for (size_t i = 1; i < line.size(); ++i) {
    const double ax = line[i - 1].x, ay = line[i - 1].y, dx = line[i].x - ax, dy = line[i].y - ay;
    const double len2 = dx * dx + dy * dy;
    const double s =
        len2 > 0 ? std::fmax(0.0, std::fmin(1.0, ((px - ax) * dx + (py - ay) * dy) / len2)) : 0;
    best = std::fmin(best, std::hypot(ax + s * dx - px, ay + s * dy - py));
  }
  return best;
}

TEST(PolygonSet, StraightCubicAddsOnlyItsEndPoint) {
  const PolygonSet set = Flattened({1, 2}, {1, 2}, {7, 9}, {7, 9});
  ASSERT_EQ(set.points.size(), 2u);
  EXPECT_EQ(set.points[1].x, 7.0f);
  EXPECT_EQ(set.points[1].y, 9.0f);
}

// An arch with its top at t = 0.5 and an S-curve with two x extrema and an inflection: few
// points, all within 1/8 pixel of the curve, in the order of the curve, ending on its end point.
TEST(PolygonSet, CurvesAreFlattenedInOrderWithinAnEighthPixel) {
  const struct {
    Point2D q[4];
    float Point2D::*rising;  // the coordinate that only rises along the curve
  } curves[] = {{{{0, 0}, {10, 40}, {30, 40}, {40, 0}}, &Point2D::x},
                {{{0, 0}, {30, 10}, {-10, 20}, {20, 30}}, &Point2D::y}};
  for (const auto& [q, rising] : curves) {
    SCOPED_TRACE(q[1].x);
    const PolygonSet set = Flattened(q[0], q[1], q[2], q[3]);
    const std::vector<Point2D>& p = set.points;
    EXPECT_LT(p.size(), 40u);
    EXPECT_TRUE(p.back().x == q[3].x && p.back().y == q[3].y);
    for (size_t i = 1; i < p.size(); ++i) EXPECT_GT(p[i].*rising, p[i - 1].*rising) << i;
    for (int i = 0; i <= 200; ++i)
      EXPECT_LT(DistanceToPolyline(set.points, q, i / 200.0), 0.125) << i;
  }
}

// Split at its top, the arch's polyline has that point, rises to it and falls after it.
TEST(PolygonSet, ArchIsSplitAtItsTop) {
  const PolygonSet set = Flattened({0, 0}, {10, 40}, {30, 40}, {40, 0});
  const std::vector<Point2D>& p = set.points;
  size_t top = 0;
  for (size_t i = 1; i < p.size(); ++i) top = p[i].y > p[top].y ? i : top;
  EXPECT_FLOAT_EQ(p[top].x, 20.0f);
  EXPECT_FLOAT_EQ(p[top].y, 30.0f);
  for (size_t i = 1; i < p.size(); ++i) {
    EXPECT_TRUE(i <= top ? p[i].y >= p[i - 1].y : p[i].y <= p[i - 1].y) << i;
  }
}

TEST(PolygonSet, NonFiniteCurveAddsItsEndPointWithoutSubdividing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Flattened({0, 0}, {nan, 1}, {2, 3}, {4, 5}).points.size(), 2u);
}

TEST(PolygonSet, SubdivisionStopsWhenItsDepthRunsOut) {
  PolygonSet set;
  set.AppendPoint({0, 0});
  set.SubdivideCubic({0, 0}, {0, 1e35f}, {1, 1e35f}, {1, 0}, 3);
  EXPECT_EQ(set.points.size(), 1u + 8u);
}

TEST(PolygonSet, PointCapStopsAHugeCurveAndMarksTheSetOverflowed) {
  PolygonSet set;
  set.AppendPoint({0, 0});
  for (int i = 0; i < 5 && !set.overflowed(); ++i) {
    set.SubdivideCubic({0, 0}, {0, 1e35f}, {1, 1e35f}, {1, 0}, PolygonSet::kMaxSubdivisionDepth);
  }
  EXPECT_TRUE(set.overflowed());
  EXPECT_EQ(set.points.size(), PolygonSet::kMaxPoints);
  set.Clear();
  EXPECT_FALSE(set.overflowed());
  EXPECT_TRUE(set.points.empty());
}

}  // namespace
}  // namespace kelvrix::text
