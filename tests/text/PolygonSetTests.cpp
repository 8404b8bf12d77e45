#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/PolygonSet.h"

namespace kelvrix::text {
namespace {

Point2D CubicAt(Point2D p0, Point2D c1, Point2D c2, Point2D p3, double t) {
  const double u = 1.0 - t;
  const auto f = [&](float a, float b, float c, float d) {
    return static_cast<float>(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c +
                              t * t * t * d);
  };
  return {f(p0.x, c1.x, c2.x, p3.x), f(p0.y, c1.y, c2.y, p3.y)};
}

// Distance from p to the polyline.
double DistanceToPolyline(const std::vector<Point2D>& line, Point2D p) {
  double best = 1e30;
  for (size_t i = 1; i < line.size(); ++i) {
    const double ax = line[i - 1].x, ay = line[i - 1].y, bx = line[i].x, by = line[i].y;
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - ax) * dx + (p.y - ay) * dy) / len2 : 0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    best = std::fmin(best, std::hypot(ax + t * dx - p.x, ay + t * dy - p.y));
  }
  return best;
}

TEST(PolygonSet, StraightCubicAddsOnlyItsEndPoint) {
  PolygonSet set;
  set.AppendPoint({1.0f, 2.0f});
  set.AppendCubic({1.0f, 2.0f}, {1.0f, 2.0f}, {7.0f, 9.0f}, {7.0f, 9.0f});
  ASSERT_EQ(set.points.size(), 2u);
  EXPECT_EQ(set.points[1].x, 7.0f);
  EXPECT_EQ(set.points[1].y, 9.0f);
}

TEST(PolygonSet, ArchIsSplitAtItsTopAndFlattenedWithinAnEighthPixel) {
  const Point2D p0{0, 0}, c1{10, 40}, c2{30, 40}, p3{40, 0};
  PolygonSet set;
  set.AppendPoint(p0);
  set.AppendCubic(p0, c1, c2, p3);
  const auto& pts = set.points;
  EXPECT_EQ(pts.back().x, 40.0f);
  EXPECT_EQ(pts.back().y, 0.0f);
  // Monotone pieces: y rises to the top (30 at t = 0.5) and falls after it, x always rises.
  size_t top = 0;
  for (size_t i = 1; i < pts.size(); ++i) {
    EXPECT_GT(pts[i].x, pts[i - 1].x);
    if (pts[i].y > pts[top].y) top = i;
  }
  EXPECT_FLOAT_EQ(pts[top].x, 20.0f);
  EXPECT_FLOAT_EQ(pts[top].y, 30.0f);
  for (size_t i = 1; i <= top; ++i) EXPECT_GE(pts[i].y, pts[i - 1].y);
  for (size_t i = top + 1; i < pts.size(); ++i) EXPECT_LE(pts[i].y, pts[i - 1].y);
  for (int i = 0; i <= 200; ++i) {
    EXPECT_LT(DistanceToPolyline(pts, CubicAt(p0, c1, c2, p3, i / 200.0)), 0.125) << i;
  }
  EXPECT_LT(pts.size(), 40u);
}

TEST(PolygonSet, SCurveIsSplitAtItsInflectionAndExtrema) {
  const Point2D p0{0, 0}, c1{30, 10}, c2{-10, 20}, p3{20, 30};
  PolygonSet set;
  set.AppendPoint(p0);
  set.AppendCubic(p0, c1, c2, p3);
  for (int i = 0; i <= 200; ++i) {
    EXPECT_LT(DistanceToPolyline(set.points, CubicAt(p0, c1, c2, p3, i / 200.0)), 0.125) << i;
  }
  for (size_t i = 1; i < set.points.size(); ++i) EXPECT_GE(set.points[i].y, set.points[i - 1].y);
}

TEST(PolygonSet, QuadraticIsTheCubicWithControlsTwoThirdsOfTheWayToItsControl) {
  PolygonSet quadratic, cubic;
  quadratic.AppendPoint({0, 0});
  quadratic.AppendQuadratic({0, 0}, {6, 9}, {12, 0});
  cubic.AppendPoint({0, 0});
  cubic.AppendCubic({0, 0}, {6 * 0.6666667f, 9 * 0.6666667f},
                    {12 + (6 - 12) * 0.6666667f, 9 * 0.6666667f}, {12, 0});
  ASSERT_EQ(quadratic.points.size(), cubic.points.size());
  for (size_t i = 0; i < cubic.points.size(); ++i) {
    EXPECT_EQ(quadratic.points[i].x, cubic.points[i].x);
    EXPECT_EQ(quadratic.points[i].y, cubic.points[i].y);
  }
}

TEST(PolygonSet, NonFiniteCurveAddsItsEndPointWithoutSubdividing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PolygonSet set;
  set.AppendPoint({0, 0});
  set.AppendCubic({0, 0}, {nan, 1}, {2, 3}, {4, 5});
  EXPECT_EQ(set.points.size(), 2u);
}

TEST(PolygonSet, SubdivisionStopsAfterTwentyHalvings) {
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
