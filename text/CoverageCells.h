#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/Paint.h"
#include "text/PolygonSet.h"

namespace kelvrix::text {

// A signed change of coverage at one pixel; the running sum of a row's deltas up to a pixel is
// that pixel's signed area coverage. 16-bit coordinates keep a cell at 8 bytes, which is why a
// canvas must stay below 65,535 pixels in each direction.
struct CoverageCell {
  uint16_t x = 0;
  uint16_t y = 0;
  float delta = 0.0f;
};
static_assert(sizeof(CoverageCell) == 8, "cells are sorted in bulk; keep them small");

// The columns [left, right) of one pixel row that paint reached; none when left >= right.
struct InkSpan {
  int left = 0;
  int right = 0;

  bool Contains(int x) const { return x >= left && x < right; }
  // Widens to cover the columns [x0, x1) as well.
  void Include(int x0, int x1) {
    if (left >= right) {
      left = x0;
      right = x1;
    } else {
      left = x0 < left ? x0 : left;
      right = x1 > right ? x1 : right;
    }
  }
};

struct CoverageEdge {
  Point2D from;
  Point2D to;
  uint32_t shape;  // groups the edges whose walks take the same branches
};

// Exact-area, nonzero-winding scan conversion of a whole PolygonSet in one pass: every edge
// becomes cells, the cells are sorted once and swept row by row. The buffers are reused.
class CoverageCells {
 public:
  // Far beyond any line of card text (a 1080p card line makes well under a million cells), but a
  // hostile outline with thousands of canvas-high edges would otherwise take gigabytes.
  static constexpr size_t kMaxCells = size_t{1} << 25;  // 256 MiB of cells

  std::vector<CoverageCell> cells;

  // Clips every subpath to [0, width] x [0, height], collects the cells of its edges and sorts
  // them by pixel (row, then column).
  // False when the cell cap was reached (the cells are then unusable). May throw std::bad_alloc.
  bool BuildCoverageCells(const PolygonSet& polygons, int width, int height);

  // The cells of the edge from -> to, its ends brought onto [0, 65535]^2 (an edge with a NaN end
  // makes none); downward edges count positive.
  void AppendEdgeCells(Point2D from, Point2D to);

  // Sweeps the sorted cells, summing each pixel's (three or more by magnitude, which reorders
  // them), and composites `paint` source-over into `pixels` (width x height, four finite floats
  // each) wherever the coverage reaches half of one 8-bit step. With `rowInk` (one span per row)
  // it widens rowInk[y] over the columns it paints in row y. May throw std::bad_alloc.
  void FillCells(const Paint& paint, float* pixels, int width, int height,
                 InkSpan* rowInk = nullptr);

 private:
  template <bool kChecked>
  void AppendRing(const Point2D* ring, size_t count, float w, float h);
  template <bool kChecked>
  void WalkEdge(Point2D from, Point2D to);
  template <bool kChecked>
  void Emit(float pixelX, float pixelY, float delta);
  void SortByPixel(int width, int height, bool cellsInCanvas);
  void WalkByShape();

  std::vector<CoverageCell> sorted_;
  std::vector<CoverageEdge> edges_;  // clamped into the canvas, waiting to be walked
  std::vector<CoverageEdge> byShape_;
  std::vector<uint32_t> columnStarts_;
  std::vector<uint32_t> rowStarts_;
  std::vector<Point2D> scratch_;
  std::vector<Point2D> clipped_;
  bool overflowed_ = false;
};

}  // namespace kelvrix::text
