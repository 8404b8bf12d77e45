#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/Transform2D.h"

namespace kelvrix::text {

struct SubpathRecord {
  uint64_t count = 0;  // points of this subpath, the repeated first point included
  bool closed = false;
};

// Flattened outlines in canvas pixels (y downward): subpaths stored back to back. Curves are
// split at their extrema and inflection before flattening, so every flattened piece is monotone
// in x and y. The point count is capped: a hostile font (or a pixel size far beyond any card)
// could otherwise ask for millions of points per curve; past the cap the set is marked overflowed
// and the caller draws nothing.
class PolygonSet {
 public:
  static constexpr size_t kMaxPoints = size_t{1} << 22;  // 32 MiB of points
  static constexpr int kMaxSubdivisionDepth = 20;

  std::vector<Point2D> points;
  std::vector<SubpathRecord> subpaths;

  void Clear();
  bool overflowed() const { return overflowed_; }

  // Appends one point; false (and overflowed) once the cap is reached. May throw std::bad_alloc.
  bool AppendPoint(Point2D p);

  // Appends the flattened cubic p0 c1 c2 p3; p0 must already be the last point.
  void AppendCubic(Point2D p0, Point2D c1, Point2D c2, Point2D p3);
  // The quadratic a, control k, b as the equivalent cubic.
  void AppendQuadratic(Point2D a, Point2D k, Point2D b);
  // Flattens one monotone piece until both controls lie within 1/8 pixel of the chord.
  void SubdivideCubic(Point2D p0, Point2D c1, Point2D c2, Point2D p3, int depth);

 private:
  // Flattens a piece of finite points whose flatness test gave `flat`.
  void SubdivideFinite(Point2D p0, Point2D c1, Point2D c2, Point2D p3, bool flat, int depth);

  bool overflowed_ = false;
};

}  // namespace kelvrix::text
