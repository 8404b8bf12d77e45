#include "text/CoverageCells.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "text/Clamp.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KELVRIX_SSE2 1
#endif

namespace kelvrix::text {
namespace {

constexpr float kMinEdgeExtent = 2e-5f;         // the float 0x37A7C5AC
constexpr float kMinCoverage = 1.2254903e-4f;   // 0.5 / 4080: below half an 8-bit step
constexpr float kMaxCellCoordinate = 65535.0f;  // cells store 16-bit pixel coordinates
constexpr int kMaxEdgeRows = 65537;             // a clamped edge spans at most this many rows

// Signed distance to clip plane `plane`: x >= 0, y >= 0, x <= width, y <= height in that order.
float PlaneDistance(Point2D p, int plane, float width, float height) {
  switch (plane) {
    case 0:
      return p.x;
    case 1:
      return p.y;
    case 2:
      return width - p.x;
    default:
      return height - p.y;
  }
}

// One Sutherland-Hodgman pass. Points with a NaN distance fail both tests and are dropped.
void ClipAgainstPlane(const std::vector<Point2D>& in, std::vector<Point2D>& out, int plane,
                      float width, float height) {
  out.clear();
  if (in.empty()) return;
  Point2D previous = in.back();
  float previousDistance = PlaneDistance(previous, plane, width, height);
  for (const Point2D p : in) {
    const float distance = PlaneDistance(p, plane, width, height);
    if (previousDistance * distance < 0.0f) {
      const float t = previousDistance / (previousDistance - distance);
      out.push_back({previous.x + t * (p.x - previous.x), previous.y + t * (p.y - previous.y)});
    }
    if (distance >= 0.0f) out.push_back(p);
    previous = p;
    previousDistance = distance;
  }
}

// True when every point lies in [0, width] x [0, height]: the four clipping passes would then
// return the ring unchanged, so they are skipped (text lies inside the canvas almost always).
bool Inside(const Point2D* ring, size_t count, float width, float height) {
  bool inside = true;
  for (size_t i = 0; i < count; ++i) {
    inside &= ring[i].x >= 0.0f && ring[i].x <= width && ring[i].y >= 0.0f && ring[i].y <= height;
  }
  return inside;
}

// Order of the cells of one pixel: |delta|, then sign, so that the merge sums in one fixed order.
uint32_t MagnitudeThenSign(const CoverageCell& cell) {
  uint32_t bits = 0;
  std::memcpy(&bits, &cell.delta, sizeof bits);
  return ((bits & 0x7FFFFFFFu) << 1) | (bits >> 31);
}

// A cell's pixel as one integer, for comparing two cells in one step.
uint32_t PixelOf(const CoverageCell& cell) { return uint32_t{cell.y} << 16 | cell.x; }

// Insertion sort of one pixel's few cells by MagnitudeThenSign.
void SortByMagnitude(CoverageCell* first, CoverageCell* last) {
  for (CoverageCell* i = first + 1; i < last; ++i) {
    const CoverageCell cell = *i;
    const uint32_t key = MagnitudeThenSign(cell);
    CoverageCell* j = i;
    for (; j > first && MagnitudeThenSign(j[-1]) > key; --j) *j = j[-1];
    *j = cell;
  }
}

// Turns per-key counts into the first position of every key.
void CountsToStarts(std::vector<uint32_t>& counts) {
  uint32_t total = 0;
  for (uint32_t& count : counts) {
    const uint32_t c = count;
    count = total;
    total += c;
  }
}

// Composites the premultiplied colour `src` with opacity srcA = src[3] source-over across the
// `count` pixels at `p`, keeping alpha at most one. Where the source is opaque (keep is 0) the old
// pixels are not read: a finite p times 0 is a zero, so src + p * keep is src exactly, and that
// spares the one load per pixel that misses the cache.
void PaintSpan(float* p, int count, const float src[4], float keep) {
#if KELVRIX_SSE2
  // One pixel per register; the same operations in the same order as the scalar form below, and
  // min(limit, v) picks v unless v > limit, as std::min(v, limit) does.
  const __m128 source = _mm_loadu_ps(src);
  if (keep == 0.0f) {
    for (int i = 0; i < count; ++i, p += 4) _mm_storeu_ps(p, source);
    return;
  }
  const __m128 keep4 = _mm_set1_ps(keep);
  const __m128 limit = _mm_setr_ps(HUGE_VALF, HUGE_VALF, HUGE_VALF, 1.0f);
  for (int i = 0; i < count; ++i, p += 4) {
    const __m128 v = _mm_add_ps(source, _mm_mul_ps(_mm_loadu_ps(p), keep4));
    _mm_storeu_ps(p, _mm_min_ps(limit, v));
  }
#else
  for (int i = 0; i < count; ++i, p += 4) {
    p[0] = src[0] + p[0] * keep;
    p[1] = src[1] + p[1] * keep;
    p[2] = src[2] + p[2] * keep;
    p[3] = std::min(src[3] + p[3] * keep, 1.0f);
  }
#endif
}

// An edge's shape, one of kShapes: the rows and the columns it crosses (0 to 6, and 7 for seven
// or more) and which way it runs. Both ends lie in [0, 65534]^2, where truncation is floor.
constexpr int kShapeSpan = 8;
constexpr size_t kShapes = kShapeSpan * kShapeSpan * 4;
uint32_t ShapeOf(Point2D from, Point2D to) {
  const int rows = std::abs(static_cast<int>(to.y) - static_cast<int>(from.y));
  const int columns = std::abs(static_cast<int>(to.x) - static_cast<int>(from.x));
  const int direction = (to.y > from.y ? 2 : 0) + (from.x > to.x ? 1 : 0);
  return static_cast<uint32_t>(
      (std::min(rows, kShapeSpan - 1) * kShapeSpan + std::min(columns, kShapeSpan - 1)) * 4 +
      direction);
}

}  // namespace

bool CoverageCells::BuildCoverageCells(const PolygonSet& polygons, int width, int height) {
  cells.clear();
  overflowed_ = false;
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const bool canvasInRange = w <= kMaxCellCoordinate - 1.0f && h <= kMaxCellCoordinate - 1.0f;
  const uint64_t edgeCells = 2 * (uint64_t{static_cast<uint32_t>(height)} + 2) +
                             uint64_t{static_cast<uint32_t>(width)} + 10;
  bool walkedChecked = false;
  uint64_t deferredCells = 0;  // at most, from the edges waiting in edges_
  edges_.clear();
  size_t first = 0;
  for (const SubpathRecord& subpath : polygons.subpaths) {
    const size_t count = std::min<uint64_t>(subpath.count, polygons.points.size() - first);
    // Every subpath is a closed ring, whatever its flag says.
    const Point2D* ring = polygons.points.data() + first;
    size_t ringSize = count;
    first += count;
    if (!Inside(ring, count, w, h)) {
      scratch_.assign(ring, ring + count);
      for (int plane = 0; plane < 4; ++plane) {
        ClipAgainstPlane(scratch_, clipped_, plane, w, h);
        scratch_.swap(clipped_);
      }
      ring = scratch_.data();
      ringSize = scratch_.size();
    }
    // Each clamped edge makes at most edgeCells cells (see AppendEdgeCells); a ring that cannot
    // reach the cap on a canvas inside the unchecked range is walked without per-edge checks.
    if (canvasInRange &&
        cells.size() + deferredCells + uint64_t{ringSize} * edgeCells <= kMaxCells) {
      AppendRing<false>(ring, ringSize, w, h);
      deferredCells += uint64_t{ringSize} * edgeCells;
    } else {
      WalkByShape();  // so that the checks below count every cell
      deferredCells = 0;
      AppendRing<true>(ring, ringSize, w, h);
      walkedChecked = true;
    }
    if (overflowed_) {
      cells.clear();
      return false;
    }
  }
  WalkByShape();
  SortByPixel(width, height, !walkedChecked && width >= 0 && height >= 0);
  return true;
}

// Walks the edges waiting in edges_, those of one shape together: how many rows and columns an
// edge crosses and which way it runs decide every branch of its walk, and a text line's edges,
// a few pixels long each, come in no order a branch predictor could learn. A pixel's sum does not
// depend on the order its cells were made in (see PixelDelta), so neither does the fill.
void CoverageCells::WalkByShape() {
  uint32_t starts[kShapes + 1] = {};
  for (const CoverageEdge& e : edges_) ++starts[e.shape + 1];
  for (size_t i = 1; i <= kShapes; ++i) starts[i] += starts[i - 1];
  byShape_.resize(edges_.size());
  for (const CoverageEdge& e : edges_) byShape_[starts[e.shape]++] = e;
  for (const CoverageEdge& e : byShape_) WalkEdge<false>(e.from, e.to);
  edges_.clear();
}

// Unchecked, Emit only stores: AppendEdgeCells has shown that every cell of the edge is in range
// and fits under the cap.
template <bool kChecked>
inline void CoverageCells::Emit(float pixelX, float pixelY, float delta) {
  if (kChecked) {
    // Cells right of or below the canvas never paint; those past the 16-bit range are dropped.
    if (pixelX < 0.0f || pixelX > kMaxCellCoordinate || pixelY < 0.0f ||
        pixelY > kMaxCellCoordinate) {
      return;
    }
    if (cells.size() >= kMaxCells) {
      overflowed_ = true;
      return;
    }
  }
  assert(pixelX >= 0.0f && pixelX <= kMaxCellCoordinate && pixelY >= 0.0f &&
         pixelY <= kMaxCellCoordinate && cells.size() < kMaxCells);
  // Filled in place: a cell built aside from two 16-bit stores and read back as one 8-byte copy
  // stalls on store forwarding, which cost a fifth of the fill.
  CoverageCell& cell = cells.emplace_back();
  cell.x = static_cast<uint16_t>(pixelX);
  cell.y = static_cast<uint16_t>(pixelY);
  cell.delta = delta;
}

// The edges of one closed ring, clamped into [0, w] x [0, h].
template <bool kChecked>
void CoverageCells::AppendRing(const Point2D* ring, size_t count, float w, float h) {
  if (count == 0) return;
  const auto clamp = [w, h](Point2D p) {
    return Point2D{ClampZeroTo(p.x, w), ClampZeroTo(p.y, h)};
  };
  Point2D to = clamp(ring[count - 1]);
  for (size_t i = 0; i < count; ++i) {
    const Point2D from = to;
    to = clamp(ring[i]);
    if (kChecked) {
      AppendEdgeCells(from, to);
    } else {
      // A level edge makes no cells (see WalkEdge).
      if (!(std::fabs(to.y - from.y) < kMinEdgeExtent))
        edges_.push_back({from, to, ShapeOf(from, to)});
    }
  }
}

// An edge with both ends in [0, 65534]^2 makes cells only in [0, 65535]^2: its rows run from the
// row of one end to the row of the other, its columns likewise plus the one right of them. It
// makes at most two cells per row and one per column step.
void CoverageCells::AppendEdgeCells(Point2D from, Point2D to) {
  // An end that is not a number has no cells; an end off the 16-bit range is brought onto it,
  // which keeps the walk's columns and rows bounded (an end at 1e30 would never be reached).
  if (std::isnan(from.x) || std::isnan(from.y) || std::isnan(to.x) || std::isnan(to.y)) return;
  const auto onRange = [](Point2D p) {
    return Point2D{ClampFloat(p.x, 0.0f, kMaxCellCoordinate),
                   ClampFloat(p.y, 0.0f, kMaxCellCoordinate)};
  };
  from = onRange(from);
  to = onRange(to);
  const auto inRange = [](Point2D p) {
    return p.x >= 0.0f && p.x <= kMaxCellCoordinate - 1.0f && p.y >= 0.0f &&
           p.y <= kMaxCellCoordinate - 1.0f;
  };
  if (inRange(from) && inRange(to)) {
    // |floor(a) - floor(b)| <= |a - b| + 1
    const float rows = std::fabs(to.y - from.y) + 2.0f;
    const float columns = std::fabs(to.x - from.x) + 2.0f;
    const auto bound = static_cast<size_t>(2.0f * rows + columns) + 8;
    if (cells.size() + bound <= kMaxCells) {
      WalkEdge<false>(from, to);
      return;
    }
  }
  WalkEdge<true>(from, to);
}

// Walks the edge row by row and, inside a row, pixel by pixel from left to right. Each pixel the
// edge crosses gets the covered strip height minus the area left of the edge, and the pixel to
// the right of the row's last one gets that area back: the running sum of a row then equals each
// pixel's covered fraction, and the full strip for every pixel further right.
template <bool kChecked>
void CoverageCells::WalkEdge(Point2D from, Point2D to) {
  // 1. Orientation: downward edges add coverage; walk from the left end.
  if (std::fabs(to.y - from.y) < kMinEdgeExtent) return;
  const float sign = to.y > from.y ? 1.0f : -1.0f;
  if (from.x > to.x) std::swap(from, to);
  const bool down = from.y < to.y;
  const auto toLiesBefore = [&](float rowLine) { return down ? to.y < rowLine : to.y > rowLine; };

  // 2. Start pixel, the next pixel corner, slopes.
  Point2D now = from;
  float pixelX = std::floor(from.x);
  float pixelY = std::floor(from.y);
  const float cornerX = pixelX + 1.0f;
  const float cornerY = pixelY + (down ? 1.0f : 0.0f);
  const float ystep = down ? 1.0f : -1.0f;
  const float slopeX = (to.x - from.x) / (to.y - from.y);
  const float slopeY = (to.y - from.y) / (to.x - from.x);

  // 3. The first crossings of a column line and a row line. A crossing lies on the edge, so its x
  // is kept within the edge's ends: rounding must not push it past `to` (near-vertical edges).
  const auto rowCrossingX = [&](float rowLine) {
    return ClampFloat(from.x + (rowLine - from.y) * slopeX, from.x, to.x);
  };
  Point2D nextX = to;
  if (to.x - from.x >= kMinEdgeExtent) nextX = {cornerX, from.y + (cornerX - from.x) * slopeY};
  Point2D nextY{rowCrossingX(cornerY), cornerY};
  if (toLiesBefore(nextY.y)) nextY = to;

  // 4. One row per pass until the edge's end is reached.
  for (int row = 0; now.y != to.y && row < kMaxEdgeRows; ++row) {
    float carry = 0.0f;
    // A column crossing lies between the row's entry and exit. Taken from the slope, a steep
    // edge's can round back across the line the row was entered by (after a row crossing that
    // rounded onto or just before the column line), and the row would count a slice the row
    // before it counted: the row's cells would no longer sum to zero and the rest would paint
    // every pixel out to the right edge. Kept between them, the row's strips add up to its height.
    const float entryY = now.y;
    const float exitY = nextY.y;
    const float rowTop = entryY < exitY ? entryY : exitY;
    const float rowBottom = entryY < exitY ? exitY : entryY;
    while (nextX.x < nextY.x) {
      const Point2D cross{nextX.x, ClampFloat(nextX.y, rowTop, rowBottom)};
      const float strip = ClampFloat((cross.y - now.y) * ystep, 0.0f, 1.0f);
      const float mid = (cross.x + now.x) * 0.5f;
      const float area = (mid - pixelX) * strip;
      Emit<kChecked>(pixelX, pixelY, (carry + strip - area) * sign);
      carry = area;
      now = cross;
      nextX.x += 1.0f;
      nextX.y = from.y + (nextX.x - from.x) * slopeY;
      pixelX += 1.0f;
    }
    const float strip = ClampFloat((nextY.y - now.y) * ystep, 0.0f, 1.0f);
    const float mid = (nextY.x + now.x) * 0.5f;
    const float area = (mid - pixelX) * strip;
    Emit<kChecked>(pixelX, pixelY, (carry + strip - area) * sign);
    Emit<kChecked>(pixelX + 1.0f, pixelY, area * sign);
    now = nextY;
    nextY.y += ystep;
    nextY.x = rowCrossingX(nextY.y);
    pixelY += ystep;
    if (toLiesBefore(nextY.y)) nextY = to;
  }
}

// Orders the cells by pixel (row, then column), so that the sweep meets each pixel's cells
// together and sums them. Two stable counting passes (columns, then rows) order the pixels in
// linear time. One comparison sort of the whole list was most of the fill's time and one per row
// still a third of it; an insertion sort of each (nearly ordered) row instead of the column pass
// was slower still, and so were three passes over smaller digits and a dense per-row
// accumulation.
void CoverageCells::SortByPixel(int width, int height, bool cellsInCanvas) {
  if (cells.empty()) return;
  // 1. Both histograms in one read. Edges clamped into the canvas reach one column past it and
  // its bottom row line; any other cell lies in the 16-bit range.
  columnStarts_.assign(cellsInCanvas ? static_cast<size_t>(width) + 2 : size_t{1} << 16, 0);
  rowStarts_.assign(cellsInCanvas ? static_cast<size_t>(height) + 2 : size_t{1} << 16, 0);
  uint32_t* const columns = columnStarts_.data();
  uint32_t* const rows = rowStarts_.data();
  for (const CoverageCell& cell : cells) {
    assert(cell.x < columnStarts_.size() && cell.y < rowStarts_.size());
    ++columns[cell.x];
    ++rows[cell.y];
  }
  CountsToStarts(columnStarts_);
  CountsToStarts(rowStarts_);

  // 2. By column, then stably by row: ordered by pixel. The sweep orders the cells of a pixel
  // that has three or more (PixelDelta).
  sorted_.resize(cells.size());
  CoverageCell* const byColumn = sorted_.data();
  for (const CoverageCell& cell : cells) byColumn[columns[cell.x]++] = cell;
  CoverageCell* const byPixel = cells.data();
  for (const CoverageCell& cell : sorted_) byPixel[rows[cell.y]++] = cell;
}

namespace {

// The sum of the cells of the pixel at `cell`, which it leaves at the next pixel's first cell (the
// list ends in two cells of no pixel). Two floats sum to the same value in either order; three or
// more are summed by MagnitudeThenSign, so that the sum does not depend on the order the edges
// were walked in. One pixel in three has a second cell, in no order a branch could learn, so the
// second is added times 0 or 1: exact, and c + 0 is c but for the sign of a zero.
float PixelDelta(CoverageCell*& cell) {
  const uint32_t pixel = PixelOf(cell[0]);
  const bool two = PixelOf(cell[1]) == pixel;
  const bool three = PixelOf(cell[2]) == pixel;  // the cells are in pixel order
  if (!three) {
    const float delta = cell[0].delta + cell[1].delta * static_cast<float>(two);
    cell += 1 + static_cast<int>(two);
    return delta;
  }
  CoverageCell* const first = cell;
  cell += 3;
  while (PixelOf(*cell) == pixel) ++cell;
  SortByMagnitude(first, cell);
  float delta = first->delta;
  for (const CoverageCell* c = first + 1; c < cell; ++c) delta += c->delta;
  return delta;
}

}  // namespace

// Each pixel's delta is the sum of its cells in their sorted order. Summing from the first cell
// rather than from the first nonzero one changes at most the sign of a zero, which no coverage
// sees (it takes the magnitude); a pixel whose delta is zero only splits a span in two of the
// same coverage.
void CoverageCells::FillCells(const Paint& paint, float* pixels, int width, int height,
                              InkSpan* rowInk) {
  if (cells.empty()) return;
  // Two last cells in a row past every canvas end each scan below without a bounds check.
  constexpr uint16_t kNoRow = 0xFFFF;
  static_assert(kNoRow > kMaxCellCoordinate - 1.0f, "no canvas has the row kNoRow");
  height = std::min(height, int{kNoRow});
  cells.push_back({0, kNoRow, 0.0f});
  cells.push_back({0, kNoRow, 0.0f});
  CoverageCell* cell = cells.data();
  while (true) {
    // Rows below the canvas never paint, and the rows are in order.
    const int y = cell->y;
    if (y >= height) break;
    float* const row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    float acc = 0.0f;
    InkSpan painted;  // of this row, handed to rowInk once the row is done
    do {
      const int x0 = cell->x;
      acc += PixelDelta(cell);
      // Nonzero winding: any winding number beyond one is full coverage.
      const float coverage = std::min(std::fabs(acc), 1.0f);
      if (!(coverage >= kMinCoverage)) continue;
      const int x1 = cell->y == y ? std::min(int{cell->x}, width) : width;
      if (x0 >= x1) continue;
      painted.Include(x0, x1);
      const float src[4] = {paint.red * coverage, paint.green * coverage, paint.blue * coverage,
                            paint.alpha * coverage};
      PaintSpan(row + static_cast<size_t>(x0) * 4, x1 - x0, src, 1.0f - src[3]);
    } while (cell->y == y);
    if (rowInk != nullptr && painted.left < painted.right) {
      rowInk[y].Include(painted.left, painted.right);
    }
  }
  cells.resize(cells.size() - 2);
}

}  // namespace kelvrix::text
