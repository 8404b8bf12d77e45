#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix::text {

// Where one glyph's outline record lies in TrueTypeFont::data(); start == end is an empty glyph.
struct GlyphLocation {
  int64_t start = 0;
  int64_t end = 0;
};

// A TrueType font reduced to the eight tables the text engine reads. Loading copies the offset
// table, the directory and the kept tables into `data`; every later lookup reads through the
// bounds-checked FontReader, so a malformed font yields glyph 0, zero metrics or empty glyphs
// instead of reads outside `data`.
class TrueTypeFont {
 public:
  // Loads (or, with no bytes, only re-scales) the font; false leaves no font loaded, except that a
  // re-scale without a loaded font returns false and changes nothing. A copy that cannot be
  // allocated throws std::bad_alloc, with no font loaded: malformed data and missing memory are
  // different faults to the caller.
  bool SetFont(const uint8_t* bytes, int length, float pixelSize);

  bool Loaded() const { return !data_.empty(); }
  const std::vector<uint8_t>& data() const { return data_; }

  int GlyphIndex(uint32_t codePoint) const;
  uint16_t AdvanceWidth(int glyph) const;
  int16_t LeftSideBearing(int glyph) const;
  GlyphLocation GlyphRange(int glyph) const;
  uint16_t UnitsPerEm() const;
  float Scale() const { return scale_; }

 private:
  // The kept tables, in the order of their offsets below.
  enum Table { kCmap, kGlyf, kHead, kHhea, kHmtx, kLoca, kMaxp, kOs2, kTableCount };

  int GlyphIndexFormat12(int64_t subtable, uint32_t codePoint) const;
  int GlyphIndexFormat4(int64_t subtable, uint32_t codePoint) const;
  int GlyphIndexFormat0(int64_t subtable, uint32_t codePoint) const;
  void Clear();

  std::vector<uint8_t> data_;
  int32_t offsets_[kTableCount] = {};  // position of each kept table in data_; 0 = absent
  float scale_ = 0.0f;                 // pixels per font unit
};

}  // namespace kelvrix::text
