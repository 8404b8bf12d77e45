#pragma once

// Hand-built TrueType fonts for the reader and outline tests: every table written field by field,
// so that each malformation test changes exactly one field of a font known to be good.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelvrix::text::testing {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint64_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
inline void Put32(Bytes& out, uint64_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}
inline void Set16(Bytes& out, size_t at, uint64_t v) {
  out[at] = static_cast<uint8_t>(v >> 8);
  out[at + 1] = static_cast<uint8_t>(v);
}
inline void Set32(Bytes& out, size_t at, uint64_t v) {
  Set16(out, at, v >> 16);
  Set16(out, at + 2, v & 0xFFFF);
}
inline uint32_t Tag(const char* t) {
  return (uint32_t(uint8_t(t[0])) << 24) | (uint32_t(uint8_t(t[1])) << 16) |
         (uint32_t(uint8_t(t[2])) << 8) | uint32_t(uint8_t(t[3]));
}

struct Table {
  std::string tag;
  Bytes bytes;
};

// Offset table, directory (records in the given order), then the tables, each 4-byte aligned.
inline Bytes AssembleFont(const std::vector<Table>& tables, uint32_t version = 0x00010000) {
  Bytes font;
  Put32(font, version);        // sfnt version
  Put16(font, tables.size());  // numTables
  Put16(font, 0);              // searchRange (unused)
  Put16(font, 0);              // entrySelector (unused)
  Put16(font, 0);              // rangeShift (unused)
  size_t offset = 12 + 16 * tables.size();
  for (const Table& table : tables) {
    Put32(font, Tag(table.tag.c_str()));  // tag
    Put32(font, 0);                       // checksum (not verified)
    Put32(font, offset);                  // offset from the start of the file
    Put32(font, table.bytes.size());      // length
    offset += (table.bytes.size() + 3) & ~size_t{3};
  }
  for (const Table& table : tables) {
    font.insert(font.end(), table.bytes.begin(), table.bytes.end());
    font.resize((font.size() + 3) & ~size_t{3}, 0);
  }
  return font;
}

// "head": unitsPerEm 1000, indexToLocFormat as given.
inline Bytes HeadTable(int16_t indexToLocFormat = 0, uint16_t unitsPerEm = 1000) {
  Bytes t;
  Put32(t, 0x00010000);        // 0  version
  Put32(t, 0);                 // 4  fontRevision
  Put32(t, 0);                 // 8  checksumAdjustment
  Put32(t, 0x5F0F3CF5);        // 12 magicNumber
  Put16(t, 0);                 // 16 flags
  Put16(t, unitsPerEm);        // 18 unitsPerEm
  t.resize(50, 0);             // 20 created, modified, bounding box, macStyle, lowestRecPPEM...
  Put16(t, indexToLocFormat);  // 50 indexToLocFormat
  Put16(t, 0);                 // 52 glyphDataFormat
  return t;
}

inline Bytes HheaTable(uint16_t numberOfHMetrics) {
  Bytes t;
  Put32(t, 0x00010000);        // 0 version
  Put16(t, 800);               // 4 ascender
  Put16(t, 0xFF38);            // 6 descender (-200)
  t.resize(34, 0);             // 8 lineGap ... metricDataFormat
  Put16(t, numberOfHMetrics);  // 34 numberOfHMetrics
  return t;
}

inline Bytes MaxpTable(uint16_t numGlyphs) {
  Bytes t;
  Put32(t, 0x00005000);  // 0 version 0.5
  Put16(t, numGlyphs);   // 4 numGlyphs
  return t;
}

inline Bytes Os2Table() {
  Bytes t;
  Put16(t, 0);  // 0 version; nothing in OS/2 is read, it only has to be there
  return t;
}

// "cmap" with one (3,1) format-4 subtable: 'A' (0x41) -> glyph 1 by idDelta, 'B' -> glyph 2 by
// idRangeOffset, and the final 0xFFFF segment.
inline Bytes CmapTable() {
  Bytes t;
  Put16(t, 0);   // 0  version
  Put16(t, 1);   // 2  numTables
  Put16(t, 3);   // 4  platformID (Windows)
  Put16(t, 1);   // 6  encodingID (Unicode BMP)
  Put32(t, 12);  // 8  subtable offset from the start of "cmap"
  // format 4 subtable at 12
  Put16(t, 4);       // +0  format
  Put16(t, 40);      // +2  length
  Put16(t, 0);       // +4  language
  Put16(t, 6);       // +6  segCountX2 (3 segments)
  Put16(t, 0);       // +8  searchRange (unused)
  Put16(t, 0);       // +10 entrySelector (unused)
  Put16(t, 0);       // +12 rangeShift (unused)
  Put16(t, 0x41);    // +14 endCode[0]
  Put16(t, 0x42);    // +16 endCode[1]
  Put16(t, 0xFFFF);  // +18 endCode[2]
  Put16(t, 0);       // +20 reservedPad
  Put16(t, 0x41);    // +22 startCode[0]
  Put16(t, 0x42);    // +24 startCode[1]
  Put16(t, 0xFFFF);  // +26 startCode[2]
  Put16(t, 0xFFC0);  // +28 idDelta[0] = -64: 0x41 -> 1
  Put16(t, 0);       // +30 idDelta[1]
  Put16(t, 1);       // +32 idDelta[2]
  Put16(t, 0);       // +34 idRangeOffset[0]
  Put16(t, 4);       // +36 idRangeOffset[1]: 4 bytes on, at +40
  Put16(t, 0);       // +38 idRangeOffset[2]
  Put16(t, 2);       // +40 glyphIdArray[0]: 'B' -> glyph 2
  return t;
}

// Glyph 1: a 10 x 10 unit square, one contour, all on-curve, counter-clockwise in font units.
inline Bytes SquareGlyph() {
  Bytes g;
  Put16(g, 1);                      // numberOfContours
  Put16(g, 0);                      // xMin
  Put16(g, 0);                      // yMin
  Put16(g, 10);                     // xMax
  Put16(g, 10);                     // yMax
  Put16(g, 3);                      // endPtsOfContours[0]: 4 points
  Put16(g, 0);                      // instructionLength
  g.push_back(0x01 | 0x10 | 0x20);  // point 0: on-curve, x same, y same -> (0, 0)
  g.push_back(0x01 | 0x20);         // point 1: on-curve, x word, y same
  g.push_back(0x01 | 0x10);         // point 2: on-curve, x same, y word
  g.push_back(0x01 | 0x20);         // point 3: on-curve, x word, y same
  Put16(g, 10);                     // x delta of point 1: +10
  Put16(g, 0xFFF6);                 // x delta of point 3: -10
  Put16(g, 10);                     // y delta of point 2: +10
  return g;
}

// Glyph 2: one component, glyph 1 shifted by (20, 5) with byte offsets.
inline Bytes CompositeGlyph(uint16_t component = 1, uint16_t flags = 0x0002) {
  Bytes g;
  Put16(g, 0xFFFF);     // numberOfContours -1: composite
  Put16(g, 20);         // xMin
  Put16(g, 5);          // yMin
  Put16(g, 30);         // xMax
  Put16(g, 15);         // yMax
  Put16(g, flags);      // flags: ARGS_ARE_XY_VALUES, byte arguments
  Put16(g, component);  // glyphIndex
  g.push_back(20);      // dx
  g.push_back(5);       // dy
  return g;
}

struct FontParts {
  Bytes glyf;
  Bytes loca;  // short offsets (halved)
  Bytes hmtx;
  uint16_t glyphs = 0;
};

// glyf/loca/hmtx for the given glyphs (glyph 0 first), each glyph padded to an even length.
inline FontParts GlyphTables(const std::vector<Bytes>& glyphs, uint16_t advance = 500) {
  FontParts parts;
  for (const Bytes& glyph : glyphs) {
    Put16(parts.loca, parts.glyf.size() / 2);
    parts.glyf.insert(parts.glyf.end(), glyph.begin(), glyph.end());
    if (parts.glyf.size() % 2) parts.glyf.push_back(0);
    Put16(parts.hmtx, advance);  // advanceWidth
    Put16(parts.hmtx, 0);        // lsb
  }
  Put16(parts.loca, parts.glyf.size() / 2);
  parts.glyphs = static_cast<uint16_t>(glyphs.size());
  return parts;
}

// The eight tables in directory order, for glyph 0 (empty), the square and the composite, unless
// other glyphs are given.
inline std::vector<Table> MinimalTables(std::vector<Bytes> glyphs = {}) {
  if (glyphs.empty()) glyphs = {Bytes{}, SquareGlyph(), CompositeGlyph()};
  const FontParts parts = GlyphTables(glyphs);
  return {{"OS/2", Os2Table()},
          {"cmap", CmapTable()},
          {"glyf", parts.glyf},
          {"head", HeadTable()},
          {"hhea", HheaTable(parts.glyphs)},
          {"hmtx", parts.hmtx},
          {"loca", parts.loca},
          {"maxp", MaxpTable(parts.glyphs)}};
}

inline Bytes MinimalFont(std::vector<Bytes> glyphs = {}) {
  return AssembleFont(MinimalTables(std::move(glyphs)));
}

}  // namespace kelvrix::text::testing
