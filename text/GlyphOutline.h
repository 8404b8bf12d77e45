#pragma once

#include <cstdint>
#include <vector>

#include "text/PolygonSet.h"
#include "text/Transform2D.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {

struct OutlinePoint {
  Point2D position;  // already mapped through the placement transform
  bool onCurve = false;
};

// One glyph's contours as stored in "glyf", composites resolved: the decoding half of
// AppendGlyphOutline, kept apart so that it can be checked point for point against an independent
// font reader. Its buffers are reused from glyph to glyph.
class GlyphOutline {
 public:
  // Composites deeper than this, or using more components in all, are malformed: real fonts nest
  // two or three levels and use a handful of components, while a self-referencing or fanning-out
  // composite would otherwise recurse without end or multiply its work exponentially.
  static constexpr int kMaxComponentDepth = 8;
  static constexpr int kMaxComponents = 1024;
  static constexpr size_t kMaxPoints = size_t{1} << 20;

  std::vector<OutlinePoint> points;
  std::vector<uint32_t> contourEnds;  // index one past each contour's last point

  // Replaces the contents with glyph `glyph` mapped through `placement`. Returns false, and leaves
  // the outline empty, when the glyph's data is malformed: a read outside the font data, contour
  // ends that go backwards, or composites past the bounds above. Glyphs without outline data,
  // with no contours, or whose first component is point-matched decode to no points and true.
  // May throw std::bad_alloc.
  bool Decode(const TrueTypeFont& font, int glyph, const Transform2D& placement);

  // Appends the decoded contours to `polygons`, each as one closed subpath whose curves are
  // flattened and whose last point repeats its first.
  void AppendTo(PolygonSet& polygons) const;

 private:
  bool DecodeGlyph(const TrueTypeFont& font, int glyph, const Transform2D& placement, int depth);
  bool DecodeSimple(const TrueTypeFont& font, int glyph, GlyphLocation location, int contours,
                    const Transform2D& placement);
  bool DecodeComposite(const TrueTypeFont& font, GlyphLocation location,
                       const Transform2D& placement, int depth);
  void AppendContour(PolygonSet& polygons, uint32_t first, uint32_t last) const;

  std::vector<uint8_t> flags_;
  int componentsUsed_ = 0;
};

}  // namespace kelvrix::text
