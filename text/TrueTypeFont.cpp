#include "text/TrueTypeFont.h"

#include <algorithm>
#include <new>

#include "text/FontReader.h"

namespace kelvrix::text {
namespace {

constexpr uint32_t kVersionTrueType = 0x00010000;
constexpr uint32_t kVersionTrue = 0x74727565;  // the tag "true" (old Apple fonts)
constexpr int64_t kOffsetTableSize = 12;
constexpr int64_t kDirectoryRecordSize = 16;

// Tags of the kept tables, in TrueTypeFont::Table order.
constexpr uint32_t kKeptTags[] = {
    0x636D6170 /* cmap */, 0x676C7966 /* glyf */, 0x68656164 /* head */, 0x68686561 /* hhea */,
    0x686D7478 /* hmtx */, 0x6C6F6361 /* loca */, 0x6D617870 /* maxp */, 0x4F532F32 /* OS/2 */};

// Smallest table lengths that hold every field read below; shorter tables would make those reads
// fall outside the table, so the font is refused at load instead.
constexpr uint32_t kMinHeadLength = 54;  // indexToLocFormat at 50
constexpr uint32_t kMinHheaLength = 36;  // numberOfHMetrics at 34

int KeptTableIndex(uint32_t tag) {
  for (int i = 0; i < 8; ++i) {
    if (kKeptTags[i] == tag) return i;
  }
  return -1;
}

}  // namespace

void TrueTypeFont::Clear() {
  data_.clear();
  std::fill(std::begin(offsets_), std::end(offsets_), 0);
}

// Offset table and directory:
//   0  u32 sfnt version  0x00010000 or "true"
//   4  u16 numTables
//  12  records of 16 bytes: tag u32, checksum u32 (ignored), offset u32, length u32
bool TrueTypeFont::SetFont(const uint8_t* bytes, int length, float pixelSize) {
  if (bytes == nullptr || length == 0) {
    if (!Loaded()) return false;
    scale_ = pixelSize / static_cast<float>(UnitsPerEm());
    return true;
  }
  Clear();
  if (length < 6) return false;
  FontReader source(bytes, static_cast<size_t>(length));
  const uint32_t version = source.U32(0);
  const int64_t numTables = source.U16(4);
  if (version != kVersionTrueType && version != kVersionTrue) return false;
  const int64_t directoryEnd = kOffsetTableSize + kDirectoryRecordSize * numTables;
  if (length < directoryEnd) return false;

  // A kept tag that occurs twice is used from its last record only; copying the earlier ones too
  // would let a small file with a long directory grow `data` without bound.
  int64_t lastRecord[kTableCount];
  std::fill(std::begin(lastRecord), std::end(lastRecord), -1);
  for (int64_t i = 0; i < numTables; ++i) {
    const int64_t record = kOffsetTableSize + kDirectoryRecordSize * i;
    const int64_t offset = source.U32(record + 8);
    const int64_t tableLength = source.U32(record + 12);
    // 64-bit sum: a 32-bit one wraps for offsets near 4 GiB and would pass the check.
    if (offset + tableLength > length) return false;
    const int kept = KeptTableIndex(source.U32(record));
    if (kept >= 0) lastRecord[kept] = i;
  }
  for (int64_t record : lastRecord) {
    if (record < 0) return false;
  }
  try {
    data_.assign(bytes, bytes + directoryEnd);
    for (int64_t i = 0; i < numTables; ++i) {
      const int64_t record = kOffsetTableSize + kDirectoryRecordSize * i;
      const int kept = KeptTableIndex(source.U32(record));
      if (kept < 0 || lastRecord[kept] != i) continue;
      const int64_t offset = source.U32(record + 8);
      const int64_t tableLength = source.U32(record + 12);
      if (static_cast<int64_t>(data_.size()) + tableLength > INT32_MAX) {
        Clear();
        return false;
      }
      offsets_[kept] = static_cast<int32_t>(data_.size());
      data_.insert(data_.end(), bytes + offset, bytes + offset + tableLength);
    }
  } catch (const std::bad_alloc&) {
    Clear();
    throw;
  }
  // Scale divides by unitsPerEm and every metric lookup needs these fields; a font without them
  // has nothing sound to draw.
  if (source.U32(kOffsetTableSize + kDirectoryRecordSize * lastRecord[kHead] + 12) <
          kMinHeadLength ||
      source.U32(kOffsetTableSize + kDirectoryRecordSize * lastRecord[kHhea] + 12) <
          kMinHheaLength ||
      UnitsPerEm() == 0) {
    Clear();
    return false;
  }
  scale_ = pixelSize / static_cast<float>(UnitsPerEm());
  return true;
}

// "head": 18 u16 unitsPerEm; 50 i16 indexToLocFormat (0 = short "loca").
uint16_t TrueTypeFont::UnitsPerEm() const {
  FontReader reader(data_.data(), data_.size());
  return reader.U16(int64_t{offsets_[kHead]} + 18);
}

// "cmap":
//   0  u16 version
//   2  u16 numTables
//   4  records of 8 bytes: platformID u16, encodingID u16, subtable offset u32 (from "cmap")
// The subtable chosen is the last (3,10) format 12, else the last (3,1) format 4, else the last
// format 0 of any encoding; a code point it lacks is glyph 0, with no fallback to another one.
int TrueTypeFont::GlyphIndex(uint32_t codePoint) const {
  if (!Loaded()) return 0;
  FontReader reader(data_.data(), data_.size());
  const int64_t cmap = offsets_[kCmap];
  const int64_t numRecords = reader.U16(cmap + 2);
  int64_t format12 = -1;
  int64_t format4 = -1;
  int64_t format0 = -1;
  for (int64_t i = 0; i < numRecords; ++i) {
    FontReader record = reader;
    const int64_t at = cmap + 4 + 8 * i;
    const uint16_t platform = record.U16(at);
    const uint16_t encoding = record.U16(at + 2);
    const int64_t subtable = cmap + record.U32(at + 4);
    const uint16_t format = record.U16(subtable);
    if (!record.ok()) continue;
    if (platform == 3 && encoding == 10 && format == 12) {
      format12 = subtable;
    } else if (platform == 3 && encoding == 1 && format == 4) {
      format4 = subtable;
    } else if (format == 0) {
      format0 = subtable;
    }
  }
  if (format12 >= 0) return GlyphIndexFormat12(format12, codePoint);
  if (format4 >= 0) return GlyphIndexFormat4(format4, codePoint);
  if (format0 >= 0) return GlyphIndexFormat0(format0, codePoint);
  return 0;
}

// Format 12: 12 u32 nGroups; 16 groups of 12 bytes: startCharCode, endCharCode, startGlyphID.
int TrueTypeFont::GlyphIndexFormat12(int64_t subtable, uint32_t codePoint) const {
  FontReader reader(data_.data(), data_.size());
  const int32_t nGroups = static_cast<int32_t>(reader.U32(subtable + 12));
  for (int64_t i = 0; i < nGroups; ++i) {
    const int64_t group = subtable + 16 + 12 * i;
    const uint32_t start = reader.U32(group);
    const uint32_t end = reader.U32(group + 4);
    const uint32_t startGlyph = reader.U32(group + 8);
    if (!reader.ok()) return 0;
    if (start <= codePoint && codePoint <= end) {
      const int64_t glyph = int64_t{codePoint} - start + startGlyph;
      // Glyph ids are 16-bit; anything larger names no glyph.
      return glyph <= 0xFFFF ? static_cast<int>(glyph) : 0;
    }
  }
  return 0;
}

// Format 4: 6 u16 segCountX2; 14 endCode[]; 16 + segCountX2 startCode[];
// 16 + 2 segCountX2 idDelta[] (i16); 16 + 3 segCountX2 idRangeOffset[] (bytes from the entry).
// Segments are searched in order, not by halving, so unsorted segments still resolve.
int TrueTypeFont::GlyphIndexFormat4(int64_t subtable, uint32_t codePoint) const {
  FontReader reader(data_.data(), data_.size());
  const int64_t segCountX2 = reader.U16(subtable + 6);
  for (int64_t i = 0; 2 * i < segCountX2; ++i) {
    const uint32_t end = reader.U16(subtable + 14 + 2 * i);
    const uint32_t start = reader.U16(subtable + 16 + segCountX2 + 2 * i);
    if (!reader.ok()) return 0;
    if (codePoint < start || codePoint > end) continue;
    const int64_t idDelta = reader.I16(subtable + 16 + 2 * segCountX2 + 2 * i);
    const int64_t rangeEntry = subtable + 16 + 3 * segCountX2 + 2 * i;
    const int64_t idRangeOffset = reader.U16(rangeEntry);
    if (!reader.ok()) return 0;
    if (idRangeOffset == 0) return static_cast<int>((idDelta + codePoint) & 0xFFFF);
    const int64_t value = reader.U16(rangeEntry + idRangeOffset + 2 * (codePoint - start));
    if (!reader.ok() || value == 0) return 0;
    return static_cast<int>((value + idDelta) & 0xFFFF);
  }
  return 0;
}

// Format 0: 6 u8 glyphIdArray[256].
int TrueTypeFont::GlyphIndexFormat0(int64_t subtable, uint32_t codePoint) const {
  if (codePoint > 255) return 0;
  FontReader reader(data_.data(), data_.size());
  return reader.U8(subtable + 6 + codePoint);
}

// "hhea": 34 u16 numberOfHMetrics. "hmtx": longHorMetric[numberOfHMetrics] of {u16 advanceWidth,
// i16 lsb}, then i16 leftSideBearing[] for the remaining glyphs, which share the last advance.
uint16_t TrueTypeFont::AdvanceWidth(int glyph) const {
  if (!Loaded() || glyph < 0) return 0;
  FontReader reader(data_.data(), data_.size());
  const int64_t numberOfHMetrics = reader.U16(int64_t{offsets_[kHhea]} + 34);
  if (numberOfHMetrics == 0) return 0;
  return reader.U16(offsets_[kHmtx] + 4 * std::min<int64_t>(glyph, numberOfHMetrics - 1));
}

int16_t TrueTypeFont::LeftSideBearing(int glyph) const {
  if (!Loaded() || glyph < 0) return 0;
  FontReader reader(data_.data(), data_.size());
  const int64_t numberOfHMetrics = reader.U16(int64_t{offsets_[kHhea]} + 34);
  const int64_t hmtx = offsets_[kHmtx];
  if (glyph < numberOfHMetrics) return reader.I16(hmtx + 4 * int64_t{glyph} + 2);
  return reader.I16(hmtx + 2 * (numberOfHMetrics + glyph));
}

// "loca": numGlyphs + 1 offsets from the start of "glyf", u16 halved (format 0) or u32.
// A record that starts after it ends, or whose entries lie outside the data, is empty.
GlyphLocation TrueTypeFont::GlyphRange(int glyph) const {
  if (!Loaded() || glyph < 0) return {};
  FontReader reader(data_.data(), data_.size());
  const int64_t glyf = offsets_[kGlyf];
  const int64_t loca = offsets_[kLoca];
  const bool shortOffsets = reader.I16(int64_t{offsets_[kHead]} + 50) == 0;
  GlyphLocation location;
  if (shortOffsets) {
    location.start = glyf + 2 * int64_t{reader.U16(loca + 2 * int64_t{glyph})};
    location.end = glyf + 2 * int64_t{reader.U16(loca + 2 * int64_t{glyph} + 2)};
  } else {
    location.start = glyf + reader.U32(loca + 4 * int64_t{glyph});
    location.end = glyf + reader.U32(loca + 4 * int64_t{glyph} + 4);
  }
  if (!reader.ok() || location.start >= location.end) return {};
  return location;
}

}  // namespace kelvrix::text
