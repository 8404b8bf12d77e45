#pragma once

// Hand-built TrueType fonts for the reader and outline tests: every field the engine reads is
// written out, the rest is zero, so that each malformation test changes exactly one field of a
// font known to be good.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelvrix::text::testing {

using Bytes = std::vector<uint8_t>;

// Big-endian fields, negative values in two's complement.
template <typename... V>
void Put16(Bytes& out, V... values) {
  for (const int64_t v : {static_cast<int64_t>(values)...})
    out.insert(out.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
}
template <typename... V>
void Put32(Bytes& out, V... values) {
  for (const int64_t v : {static_cast<int64_t>(values)...}) Put16(out, v >> 16, v & 0xFFFF);
}
// Overwrites the `size`-byte field at `at`.
inline void Set(Bytes& out, size_t at, int64_t v, int size = 2) {
  for (int i = 0; i < size; ++i) out[at + i] = static_cast<uint8_t>(v >> 8 * (size - 1 - i));
}

struct Table {
  std::string tag;
  Bytes bytes;
};

// Positions of the tables in MinimalTables(), which is also their directory order.
enum : size_t { kOs2, kCmap, kGlyf, kHead, kHhea, kHmtx, kLoca, kMaxp };

// Offset table, directory (records in the given order), then the tables, each 4-byte aligned.
inline Bytes AssembleFont(const std::vector<Table>& tables, uint32_t version = 0x00010000) {
  Bytes font;
  Put32(font, version);
  Put16(font, tables.size(), 0, 0, 0);  // numTables; the search fields are not read
  size_t offset = 12 + 16 * tables.size();
  for (const Table& table : tables) {
    // tag, checksum (not verified), offset from the start of the file, length
    font.insert(font.end(), table.tag.begin(), table.tag.end());
    Put32(font, 0, offset, table.bytes.size());
    offset += (table.bytes.size() + 3) & ~size_t{3};
  }
  for (const Table& table : tables) {
    font.insert(font.end(), table.bytes.begin(), table.bytes.end());
    font.resize((font.size() + 3) & ~size_t{3}, 0);
  }
  return font;
}

// "cmap" with one (3,1) format-4 subtable: 'A' (0x41) -> glyph 1 by idDelta, 'B' -> glyph 2 by
// idRangeOffset, and the final 0xFFFF segment.
inline Bytes CmapTable() {
  Bytes t;
  // version, numTables, platformID 3 (Windows), encodingID 1 (Unicode BMP), subtable offset
  Put16(t, 0, 1, 3, 1, 0, 12);
  // format 4 at 12: format, length, language, segCountX2 (3 segments), 3 unused search fields
  Put16(t, 4, 42, 0, 6, 0, 0, 0);
  // +14 endCode[3], reservedPad, +22 startCode[3]
  Put16(t, 0x41, 0x42, 0xFFFF, 0, 0x41, 0x42, 0xFFFF);
  // +28 idDelta[3]: -64 takes 0x41 to 1; +34 idRangeOffset[3]: 'B' reads 4 bytes on, at +40,
  // the glyphIdArray holding glyph 2
  Put16(t, -64, 0, 1, 0, 4, 0, 2);
  return t;
}

// Glyph 1: a 10 x 10 unit square, one contour, all on-curve, counter-clockwise in font units.
inline Bytes SquareGlyph() {
  Bytes g;
  // numberOfContours, xMin, yMin, xMax, yMax, endPtsOfContours[0] (4 points), instructionLength
  Put16(g, 1, 0, 0, 10, 10, 3, 0);
  // flags, all on-curve: x and y same (0, 0); x word (10, 0); y word (10, 10); x word (0, 10)
  g.insert(g.end(), {0x31, 0x21, 0x11, 0x21});
  Put16(g, 10, -10, 10);  // x deltas of points 1 and 3, y delta of point 2
  return g;
}

// Glyph 2: one component, glyph 1 shifted by (20, 5) with byte offsets (flags: ARGS_ARE_XY_VALUES).
inline Bytes CompositeGlyph(uint16_t component = 1, uint16_t flags = 0x0002) {
  Bytes g;
  // numberOfContours -1 (composite), bounding box, flags, glyphIndex, then dx and dy as bytes
  Put16(g, -1, 20, 5, 30, 15, flags, component);
  g.insert(g.end(), {20, 5});
  return g;
}

// The eight tables in directory order, for glyph 0 (empty), the square and the composite unless
// other glyphs are given: "head" with unitsPerEm 1000 at 18 and indexToLocFormat 0 (short "loca"
// offsets) at 50, "hhea" with numberOfHMetrics at 34, every glyph 500 units wide with side
// bearing 0.
inline std::vector<Table> MinimalTables(std::vector<Bytes> glyphs = {}) {
  if (glyphs.empty()) glyphs = {Bytes{}, SquareGlyph(), CompositeGlyph()};
  Bytes glyf, loca, hmtx, head(54, 0), hhea(36, 0);
  for (const Bytes& glyph : glyphs) {
    Put16(loca, glyf.size() / 2);
    glyf.insert(glyf.end(), glyph.begin(), glyph.end());
    glyf.resize((glyf.size() + 1) & ~size_t{1}, 0);  // short offsets count 2-byte units
    Put16(hmtx, 500, 0);
  }
  Put16(loca, glyf.size() / 2);
  Set(head, 18, 1000);
  Set(hhea, 34, static_cast<int64_t>(glyphs.size()));
  return {{"OS/2", Bytes(2, 0)}, {"cmap", CmapTable()}, {"glyf", glyf}, {"head", head},
          {"hhea", hhea},        {"hmtx", hmtx},        {"loca", loca}, {"maxp", Bytes(6, 0)}};
}

inline Bytes MinimalFont(std::vector<Bytes> glyphs = {}) {
  return AssembleFont(MinimalTables(std::move(glyphs)));
}

}  // namespace kelvrix::text::testing
