#include "text/GlyphOutline.h"

#include <algorithm>

#include "text/FontReader.h"

namespace kelvrix::text {
namespace {

// Simple-glyph point flags.
constexpr uint8_t kOnCurve = 0x01;
constexpr uint8_t kXShortVector = 0x02;
constexpr uint8_t kYShortVector = 0x04;
constexpr uint8_t kRepeat = 0x08;
constexpr uint8_t kXSameOrPositive = 0x10;
constexpr uint8_t kYSameOrPositive = 0x20;

// Component flags (low byte only; the rest select grid rounding, metrics and overlap, ignored).
constexpr uint8_t kArgsAreWords = 0x01;
constexpr uint8_t kArgsAreXYValues = 0x02;
constexpr uint8_t kHaveScale = 0x08;
constexpr uint8_t kMoreComponents = 0x20;
constexpr uint8_t kHaveXYScale = 0x40;
constexpr uint8_t kHaveTwoByTwo = 0x80;

constexpr float kF2Dot14 = 6.1035156e-5f;  // 1 / 16384

Point2D Midpoint(Point2D u, Point2D v) { return {(u.x + v.x) * 0.5f, (u.y + v.y) * 0.5f}; }

}  // namespace

bool GlyphOutline::Decode(const TrueTypeFont& font, int glyph, const Transform2D& placement) {
  points.clear();
  contourEnds.clear();
  componentsUsed_ = 0;
  if (DecodeGlyph(font, glyph, placement, 0)) return true;
  points.clear();
  contourEnds.clear();
  return false;
}

// Glyph header: 0 i16 numberOfContours (negative = composite); 2 i16 xMin; 4..9 yMin, xMax, yMax.
bool GlyphOutline::DecodeGlyph(const TrueTypeFont& font, int glyph, const Transform2D& placement,
                               int depth) {
  const GlyphLocation location = font.GlyphRange(glyph);
  if (location.start == location.end) return true;
  FontReader reader(font.data().data(), font.data().size());
  const int contours = reader.I16(location.start);
  if (!reader.ok()) return false;
  if (contours >= 0) return DecodeSimple(font, glyph, location, contours, placement);
  return DecodeComposite(font, location, placement, depth);
}

// Simple glyph:
//  10              u16 endPtsOfContours[n]
//  10 + 2n         u16 instructionLength, then the instructions (not executed)
//  12 + 2n + len   flags, run-length coded (kRepeat: the next byte repeats the flag)
//  then            x deltas, then y deltas, sized by each point's flags
bool GlyphOutline::DecodeSimple(const TrueTypeFont& font, int glyph, GlyphLocation location,
                                int contours, const Transform2D& placement) {
  if (contours == 0) return true;
  FontReader reader(font.data().data(), font.data().size());
  const int64_t start = location.start;
  const int32_t xMin = reader.I16(start + 2);
  const int64_t pointCount = int64_t{reader.U16(start + 10 + 2 * int64_t{contours - 1})} + 1;
  const int64_t instructionLength = reader.U16(start + 10 + 2 * int64_t{contours});
  if (!reader.ok() || points.size() + pointCount > kMaxPoints) return false;

  // Pass 1: expand the flags and find where the x and y arrays begin. A repeat count is bounded
  // by the points left, so a hostile count cannot run past the glyph's points.
  int64_t position = start + 12 + 2 * int64_t{contours} + instructionLength;
  flags_.clear();
  int64_t xBytes = 0;
  while (static_cast<int64_t>(flags_.size()) < pointCount) {
    const uint8_t flag = reader.U8(position++);
    int64_t repeat = 0;
    if (flag & kRepeat) repeat = reader.U8(position++);
    if (!reader.ok()) return false;
    repeat = std::min<int64_t>(repeat, pointCount - static_cast<int64_t>(flags_.size()) - 1);
    const int64_t size = (flag & kXShortVector) ? 1 : (flag & kXSameOrPositive) ? 0 : 2;
    xBytes += size * (repeat + 1);
    flags_.insert(flags_.end(), static_cast<size_t>(repeat + 1), flag);
  }
  int64_t xPosition = position;
  int64_t yPosition = position + xBytes;

  // Pass 2: accumulate the deltas. x starts at leftSideBearing - xMin so that the outline's xMin
  // lands on the side bearing; 64-bit sums cannot overflow for any count of 16-bit deltas.
  const size_t firstPoint = points.size();
  int64_t x = int64_t{font.LeftSideBearing(glyph)} - xMin;
  int64_t y = 0;
  for (const uint8_t flag : flags_) {
    if (flag & kXShortVector) {
      const int64_t dx = reader.U8(xPosition++);
      x += (flag & kXSameOrPositive) ? dx : -dx;
    } else if (!(flag & kXSameOrPositive)) {
      x += reader.I16(xPosition);
      xPosition += 2;
    }
    if (flag & kYShortVector) {
      const int64_t dy = reader.U8(yPosition++);
      y += (flag & kYSameOrPositive) ? dy : -dy;
    } else if (!(flag & kYSameOrPositive)) {
      y += reader.I16(yPosition);
      yPosition += 2;
    }
    points.push_back(
        {placement.Apply(static_cast<float>(x), static_cast<float>(y)), (flag & kOnCurve) != 0});
  }
  if (!reader.ok()) return false;

  // Contour ends must not go backwards; an end equal to the previous one is an empty contour.
  int64_t previousEnd = 0;
  for (int c = 0; c < contours; ++c) {
    const int64_t end = int64_t{reader.U16(start + 10 + 2 * int64_t{c})} + 1;
    if (end < previousEnd || end > pointCount) return false;
    if (end > previousEnd) contourEnds.push_back(static_cast<uint32_t>(firstPoint + end));
    previousEnd = end;
  }
  return reader.ok();
}

// Composite glyph, records from offset 10:
//   u16 flags, u16 glyphIndex, then dx, dy (i16 each with kArgsAreWords, else i8 each),
//   then F2Dot14 scale data: 2 bytes (kHaveScale), 4 (kHaveXYScale) or 8 (kHaveTwoByTwo).
// Point-matched components (kArgsAreXYValues clear) end the glyph: neither they nor any later
// component is drawn.
bool GlyphOutline::DecodeComposite(const TrueTypeFont& font, GlyphLocation location,
                                   const Transform2D& placement, int depth) {
  if (depth >= kMaxComponentDepth) return false;
  FontReader reader(font.data().data(), font.data().size());
  int64_t position = location.start + 10;
  for (;;) {
    const auto flags = static_cast<uint8_t>(reader.U16(position) & 0xFF);
    const int component = reader.U16(position + 2);
    position += 4;
    if (!reader.ok()) return false;
    if (!(flags & kArgsAreXYValues)) return true;
    if (++componentsUsed_ > kMaxComponents) return false;
    float dx = 0.0f;
    float dy = 0.0f;
    if (flags & kArgsAreWords) {
      dx = reader.I16(position);
      dy = reader.I16(position + 2);
      position += 4;
    } else {
      dx = reader.I8(position);
      dy = reader.I8(position + 1);
      position += 2;
    }
    // The 2x2 form wins over the other scale flags; it fixes how many bytes the record has.
    Transform2D local{1.0f, 0.0f, 0.0f, 1.0f, dx, dy};
    if (flags & kHaveTwoByTwo) {
      local.a = reader.I16(position) * kF2Dot14;
      local.b = reader.I16(position + 2) * kF2Dot14;
      local.c = reader.I16(position + 4) * kF2Dot14;
      local.d = reader.I16(position + 6) * kF2Dot14;
      position += 8;
    } else if (flags & kHaveScale) {
      local.a = local.d = reader.I16(position) * kF2Dot14;
      position += 2;
    } else if (flags & kHaveXYScale) {
      local.a = reader.I16(position) * kF2Dot14;
      local.d = reader.I16(position + 2) * kF2Dot14;
      position += 4;
    }
    if (!reader.ok()) return false;
    if (!DecodeGlyph(font, component, placement.Compose(local), depth + 1)) return false;
    if (!(flags & kMoreComponents)) return true;
  }
}

void GlyphOutline::AppendTo(PolygonSet& polygons) const {
  uint32_t first = 0;
  for (const uint32_t end : contourEnds) {
    if (polygons.overflowed()) return;
    AppendContour(polygons, first, end - 1);
    first = end;
  }
}

// Walks one contour's points, turning each run of on- and off-curve points into lines and
// quadratics; consecutive off-curve points meet at their implied midpoint.
void GlyphOutline::AppendContour(PolygonSet& polygons, uint32_t first, uint32_t last) const {
  const size_t s = polygons.points.size();
  const OutlinePoint& firstPoint = points[first];
  if (firstPoint.onCurve) polygons.AppendPoint(firstPoint.position);
  for (uint32_t i = first + 1; i <= last; ++i) {
    const OutlinePoint& p = points[i];
    const OutlinePoint& previous = points[i - 1];
    const Point2D q = p.onCurve ? p.position : Midpoint(previous.position, p.position);
    if (polygons.points.size() == s) {
      polygons.AppendPoint(q);
    } else if (previous.onCurve) {
      if (p.onCurve) polygons.AppendPoint(p.position);
    } else {
      polygons.AppendQuadratic(polygons.points.back(), previous.position, q);
    }
  }
  // A contour of one off-curve point has no point to start from or close to: it draws nothing.
  if (polygons.points.size() == s) return;
  const OutlinePoint& lastPoint = points[last];
  const Point2D start = polygons.points[s];
  if (!lastPoint.onCurve && firstPoint.onCurve) {
    polygons.AppendQuadratic(polygons.points.back(), lastPoint.position, start);
  } else if (lastPoint.onCurve && !firstPoint.onCurve) {
    polygons.AppendQuadratic(polygons.points.back(), firstPoint.position, start);
  } else if (!lastPoint.onCurve && !firstPoint.onCurve) {
    const Point2D middle = Midpoint(lastPoint.position, firstPoint.position);
    polygons.AppendQuadratic(polygons.points.back(), lastPoint.position, middle);
    polygons.AppendQuadratic(middle, firstPoint.position, start);
  }
  polygons.AppendPoint(start);
  polygons.subpaths.push_back({polygons.points.size() - s, true});
}

}  // namespace kelvrix::text
