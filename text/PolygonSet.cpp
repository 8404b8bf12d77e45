#include "text/PolygonSet.h"

#include <algorithm>
#include <cmath>

#include "text/Clamp.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KELVRIX_SSE2 1
#endif

namespace kelvrix::text {
namespace {

constexpr float kTwoThirds = 0.6666667f;
constexpr float kRootEpsilon = 0.0001f;
constexpr float kMinChordSquared = 0.0001f;
constexpr float kFlatnessSquared = 0.015625f;  // controls within 0.125 pixel of the chord

Point2D operator+(Point2D u, Point2D v) { return {u.x + v.x, u.y + v.y}; }
Point2D operator-(Point2D u, Point2D v) { return {u.x - v.x, u.y - v.y}; }
Point2D operator*(Point2D u, float s) { return {u.x * s, u.y * s}; }
float Dot(Point2D u, Point2D v) { return u.x * v.x + u.y * v.y; }
float Cross(Point2D u, Point2D v) { return u.x * v.y - u.y * v.x; }
// The weighted form is exact at t = 0 and t = 1, so a split at an end reproduces the end point.
Point2D Lerp(Point2D u, Point2D v, float t) { return u * (1.0f - t) + v * t; }
bool Finite(Point2D p) { return std::isfinite(p.x) && std::isfinite(p.y); }

struct Cubic {
  Point2D p0, c1, c2, p3;
};

// de Casteljau at t: the part before t and the part after it.
inline void Split(const Cubic& q, float t, Cubic& before, Cubic& after) {
  const Point2D ab = Lerp(q.p0, q.c1, t);
  const Point2D bc = Lerp(q.c1, q.c2, t);
  const Point2D cd = Lerp(q.c2, q.p3, t);
  const Point2D abc = Lerp(ab, bc, t);
  const Point2D bcd = Lerp(bc, cd, t);
  const Point2D mid = Lerp(abc, bcd, t);
  before = {q.p0, ab, abc, mid};
  after = {mid, bcd, cd, q.p3};
}

// Whether both controls lie within 1/8 pixel of the chord (of its nearest point).
bool Flat(const Cubic& q) {
  const Point2D chord = q.p3 - q.p0;
  const float chordSquared = std::max(Dot(chord, chord), kMinChordSquared);
  const float t1 = ClampFloat(Dot(q.c1 - q.p0, chord) / chordSquared, 0.0f, 1.0f);
  const Point2D d1 = q.p0 + chord * t1 - q.c1;
  const float t2 = ClampFloat(Dot(q.p3 - q.c2, chord) / chordSquared, 0.0f, 1.0f);
  const Point2D d2 = q.p3 - chord * t2 - q.c2;
  return Dot(d1, d1) <= kFlatnessSquared && Dot(d2, d2) <= kFlatnessSquared;
}

// Flat(a), and Flat(b) in bFlat. With SSE2 both in one pass, a in lane 0 and b in lane 1, by the
// same operations in the same order (max(k, v) and min(k, v) pick v unless it lies beyond k, as
// std::max(v, k) and the clamps do).
bool FlatPair(const Cubic& a, const Cubic& b, bool& bFlat) {
#if KELVRIX_SSE2
  const auto x = [&](Point2D Cubic::*p) { return _mm_setr_ps((a.*p).x, (b.*p).x, 0.0f, 0.0f); };
  const auto y = [&](Point2D Cubic::*p) { return _mm_setr_ps((a.*p).y, (b.*p).y, 0.0f, 0.0f); };
  const __m128 p0x = x(&Cubic::p0), p0y = y(&Cubic::p0), c1x = x(&Cubic::c1), c1y = y(&Cubic::c1);
  const __m128 c2x = x(&Cubic::c2), c2y = y(&Cubic::c2), p3x = x(&Cubic::p3), p3y = y(&Cubic::p3);
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 chordX = _mm_sub_ps(p3x, p0x);
  const __m128 chordY = _mm_sub_ps(p3y, p0y);
  const __m128 chordSquared =
      _mm_max_ps(_mm_set1_ps(kMinChordSquared),
                 _mm_add_ps(_mm_mul_ps(chordX, chordX), _mm_mul_ps(chordY, chordY)));
  const auto clampedRatio = [&](__m128 ux, __m128 uy) {
    const __m128 dot = _mm_add_ps(_mm_mul_ps(ux, chordX), _mm_mul_ps(uy, chordY));
    return _mm_min_ps(one, _mm_max_ps(zero, _mm_div_ps(dot, chordSquared)));
  };
  const __m128 t1 = clampedRatio(_mm_sub_ps(c1x, p0x), _mm_sub_ps(c1y, p0y));
  const __m128 d1x = _mm_sub_ps(_mm_add_ps(p0x, _mm_mul_ps(chordX, t1)), c1x);
  const __m128 d1y = _mm_sub_ps(_mm_add_ps(p0y, _mm_mul_ps(chordY, t1)), c1y);
  const __m128 t2 = clampedRatio(_mm_sub_ps(p3x, c2x), _mm_sub_ps(p3y, c2y));
  const __m128 d2x = _mm_sub_ps(_mm_sub_ps(p3x, _mm_mul_ps(chordX, t2)), c2x);
  const __m128 d2y = _mm_sub_ps(_mm_sub_ps(p3y, _mm_mul_ps(chordY, t2)), c2y);
  const __m128 flatness = _mm_set1_ps(kFlatnessSquared);
  const __m128 flat =
      _mm_and_ps(_mm_cmple_ps(_mm_add_ps(_mm_mul_ps(d1x, d1x), _mm_mul_ps(d1y, d1y)), flatness),
                 _mm_cmple_ps(_mm_add_ps(_mm_mul_ps(d2x, d2x), _mm_mul_ps(d2y, d2y)), flatness));
  const int lanes = _mm_movemask_ps(flat);
  bFlat = (lanes & 2) != 0;
  return (lanes & 1) != 0;
#else
  bFlat = Flat(b);
  return Flat(a);
#endif
}

// The parameters where a curve is cut: at most 2 + 2 + 2 + 1, the ends, two roots per coordinate
// and the inflection. Only those in [0, 1] are kept (so no infinity or NaN either): the curve is
// cut between neighbours in [0, 1] alone, and 0 and 1 are always there, so one outside could only
// bound a piece beyond an end. Kept by adding 0 or 1 to the count: whether a root lies inside
// follows the glyph's shape.
struct ParameterList {
  float values[8];
  int count = 0;
  void push_back(float t) {
    values[count] = t;
    count += static_cast<int>(t >= 0.0f) & static_cast<int>(t <= 1.0f);
  }
  // Ascending, equal values in the order they came (as std::sort leaves so few).
  void Sort() {
    for (int i = 1; i < count; ++i) {
      const float t = values[i];
      int j = i;
      for (; j > 0 && t < values[j - 1]; --j) values[j] = values[j - 1];
      values[j] = t;
    }
  }
};

// The parameters where one coordinate's derivative vanishes: the roots of q2 t^2 + q1 t + q0, the
// quadratic taken in the cancellation-free form.
void AddExtrema(float p0, float c1, float c2, float p3, ParameterList& ts) {
  const float q2 = 3.0f * (p3 - p0) - 9.0f * (c2 - c1);
  const float q1 = 6.0f * (p0 + c2) - 12.0f * c1;
  const float q0 = 3.0f * (c1 - p0);
  if (std::fabs(q2) > kRootEpsilon) {
    const float disc = q1 * q1 - 4.0f * q2 * q0;
    if (disc >= 0.0f) {
      const float s = q1 > 0.0f ? 1.0f : -1.0f;
      const float t1 = (-q1 - s * std::sqrt(disc)) / (2.0f * q2);
      const float t2 = q0 / (q2 * t1);
      ts.push_back(t1);
      ts.push_back(t2);
    }
  } else if (std::fabs(q1) > kRootEpsilon) {
    const float t = -q0 / q1;
    ts.push_back(t);
  }
}

}  // namespace

void PolygonSet::Clear() {
  points.clear();
  subpaths.clear();
  overflowed_ = false;
}

bool PolygonSet::AppendPoint(Point2D p) {
  if (points.size() >= kMaxPoints) {
    overflowed_ = true;
    return false;
  }
  points.push_back(p);
  return true;
}

void PolygonSet::AppendQuadratic(Point2D a, Point2D k, Point2D b) {
  AppendCubic(a, a + (k - a) * kTwoThirds, b + (k - b) * kTwoThirds, b);
}

void PolygonSet::AppendCubic(Point2D p0, Point2D c1, Point2D c2, Point2D p3) {
  // 1. A straight cubic adds only its end point.
  const Point2D d0 = c1 - p0;
  const Point2D d3 = p3 - c2;
  if (Dot(d0, d0) == 0.0f && Dot(d3, d3) == 0.0f) {
    AppendPoint(p3);
    return;
  }
  // 2. Extrema in x, then in y.
  ParameterList ts;
  ts.push_back(0.0f);
  ts.push_back(1.0f);
  AddExtrema(p0.x, c1.x, c2.x, p3.x, ts);
  AddExtrema(p0.y, c1.y, c2.y, p3.y, ts);
  // 3. The inflection-like parameter where the curvature's sign may change.
  const float k1 = Cross(c1 - p0, c2 - c1);
  const float k2 = Cross(c1 - p0, p3 - c2);
  const float k3 = Cross(c2 - c1, p3 - c2);
  if (std::fabs(k3 + k1 - k2) > kRootEpsilon && std::fabs(k2 - 2.0f * k1) > kRootEpsilon) {
    const float t = -0.5f * (k2 - 2.0f * k1) / (k3 + k1 - k2);
    ts.push_back(t);
  }
  // 4. Flatten each piece inside [0, 1]; each starts where the previous one ended so the polyline
  // stays continuous whatever the rounding of the splits.
  ts.Sort();
  const Cubic whole{p0, c1, c2, p3};
  Point2D previousEnd = p0;
  for (int i = 0; i + 1 < ts.count; ++i) {
    const float t0 = ts.values[i];
    const float t1 = ts.values[i + 1];
    if (t0 == t1) continue;
    Cubic head, tail, piece, unused;
    Split(whole, t1, head, tail);
    Split(head, t0 / t1, unused, piece);
    SubdivideCubic(previousEnd, piece.c1, piece.c2, piece.p3, kMaxSubdivisionDepth);
    previousEnd = piece.p3;
  }
}

void PolygonSet::SubdivideCubic(Point2D p0, Point2D c1, Point2D c2, Point2D p3, int depth) {
  // A non-finite point never flattens; halving it would only emit 2^depth copies of nothing.
  // Checked once here: halves of finite points are finite (u / 2 + v / 2 cannot overflow).
  if (!(Finite(p0) && Finite(c1) && Finite(c2) && Finite(p3))) {
    AppendPoint(p3);
    return;
  }
  SubdivideFinite(p0, c1, c2, p3, Flat({p0, c1, c2, p3}), depth);
}

// Both halves of a split are tested at once, before either is flattened, so that neither test
// waits behind the other's hard-to-predict outcome.
void PolygonSet::SubdivideFinite(Point2D p0, Point2D c1, Point2D c2, Point2D p3, bool flat,
                                 int depth) {
  while (!overflowed_ && !flat && depth != 0) {
    --depth;
    Cubic first, second;
    Split({p0, c1, c2, p3}, 0.5f, first, second);
    bool secondFlat = false;
    const bool firstFlat = FlatPair(first, second, secondFlat);
    SubdivideFinite(first.p0, first.c1, first.c2, first.p3, firstFlat, depth);
    p0 = second.p0;
    c1 = second.c1;
    c2 = second.c2;
    p3 = second.p3;
    flat = secondFlat;
  }
  AppendPoint(p3);
}

}  // namespace kelvrix::text
