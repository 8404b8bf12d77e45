// Ranges, points and rectangles. Rectangles are half-open: x1 <= x < x2, y1 <= y < y2.
// The int forms hold pixel coordinates, the double forms canonical ones (square, unscaled
// pixels), both with y up.
#pragma once

extern "C" {

typedef struct OfxRangeI {
  int min;
  int max;
} OfxRangeI;

typedef struct OfxRangeD {
  double min;
  double max;
} OfxRangeD;

typedef struct OfxPointI {
  int x;
  int y;
} OfxPointI;

typedef struct OfxPointD {
  double x;
  double y;
} OfxPointD;

typedef struct OfxRectI {
  int x1;
  int y1;
  int x2;
  int y2;
} OfxRectI;

typedef struct OfxRectD {
  double x1;
  double y1;
  double x2;
  double y2;
} OfxRectD;

}  // extern "C"
