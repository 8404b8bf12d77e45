#include <gtest/gtest.h>

#include <algorithm>

#include "tests/text/FontBytes.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

bool Load(TrueTypeFont& font, const Bytes& bytes, float size = 20.0f) {
  return font.SetFont(bytes.data(), static_cast<int>(bytes.size()), size);
}

int64_t Size(GlyphLocation location) { return location.end - location.start; }

// Position of directory record `i`'s field at `field` (tag 0, checksum 4, offset 8, length 12).
size_t Record(size_t i, size_t field) { return 12 + 16 * i + field; }

// The minimal font with its tables, or its assembled bytes, changed by `edit`.
template <typename Edit>
Bytes EditTables(Edit edit) {
  std::vector<Table> tables = MinimalTables();
  edit(tables);
  return AssembleFont(tables);
}
template <typename Edit>
Bytes EditBytes(Edit edit) {
  Bytes bytes = MinimalFont();
  edit(bytes);
  return bytes;
}

// The minimal font with a "kern" table, which is left out of the copy, under either sfnt version.
TEST(TrueTypeFont, MinimalFontKeepsOnlyTheEightTablesAndAnswersEveryQuery) {
  std::vector<Table> tables = MinimalTables();
  tables.insert(tables.begin() + 2, {"kern", Bytes(1000, 0xAB)});
  const size_t directoryEnd = 12 + 16 * tables.size();
  size_t kept = directoryEnd;
  for (const Table& table : tables) kept += table.tag == "kern" ? 0 : table.bytes.size();
  for (const uint32_t version : {0x00010000u, 0x74727565u /* "true" */}) {
    SCOPED_TRACE(version);
    const Bytes bytes = AssembleFont(tables, version);
    TrueTypeFont font;
    ASSERT_TRUE(Load(font, bytes, 20.0f));
    EXPECT_EQ(font.data().size(), kept);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + directoryEnd, font.data().begin()));
    EXPECT_TRUE(font.Loaded());
    EXPECT_EQ(font.UnitsPerEm(), 1000);
    EXPECT_FLOAT_EQ(font.Scale(), 0.02f);
    EXPECT_EQ(font.GlyphIndex('A'), 1);
    EXPECT_EQ(font.GlyphIndex('B'), 2);
    EXPECT_EQ(font.GlyphIndex('C'), 0);
    EXPECT_EQ(font.GlyphIndex(0x10041), 0);
    EXPECT_EQ(font.AdvanceWidth(1), 500);
    EXPECT_EQ(Size(font.GlyphRange(1)), static_cast<int64_t>(SquareGlyph().size()));
    EXPECT_EQ(Size(font.GlyphRange(0)), 0);
  }
}

TEST(TrueTypeFont, RescaleKeepsTheFontAndAFailedLoadDropsItButNotTheScale) {
  TrueTypeFont font;
  EXPECT_FALSE(font.SetFont(nullptr, 0, 20.0f));
  EXPECT_EQ(font.Scale(), 0.0f);
  const Bytes bytes = MinimalFont();
  ASSERT_TRUE(Load(font, bytes, 10.0f));
  EXPECT_TRUE(font.SetFont(nullptr, 0, 20.0f));
  EXPECT_TRUE(font.SetFont(bytes.data(), 0, 30.0f));
  EXPECT_TRUE(font.Loaded());
  EXPECT_EQ(font.Scale(), 30.0f / 1000.0f);
  EXPECT_FALSE(font.SetFont(bytes.data(), -5, 40.0f));
  EXPECT_FALSE(font.Loaded());
  EXPECT_EQ(font.Scale(), 30.0f / 1000.0f);
  EXPECT_EQ(font.GlyphIndex('A'), 0);
  EXPECT_EQ(font.AdvanceWidth(1), 0);
}

// Hand-built fonts with one fault each: they must fail to load, or load with the fault contained
// to the lookup it touches, which then gives `glyph` for `codePoint`.
TEST(TrueTypeFont, MalformedFontsFailToLoadOrGiveGlyphZeroWhereTheyAreBroken) {
  constexpr int kNoFont = -1;
  const struct {
    const char* name;
    Bytes bytes;
    int glyph;
    uint32_t codePoint;
  } cases[] = {
      {"five bytes", Bytes{0, 1, 0, 0, 0}, kNoFont, 0},
      {"CFF flavour", AssembleFont(MinimalTables(), 0x4F54544F), kNoFont, 0},
      {"directory of 200 records longer than the data", EditBytes([](auto& b) {
         Set16(b, 4, 200);
         b.resize(3000);
       }),
       kNoFont, 0},
      {"table not kept reaching past the end",
       [] {
         std::vector<Table> tables = MinimalTables();
         tables.push_back({"name", Bytes(8, 0)});
         Bytes bytes = AssembleFont(tables);
         Set32(bytes, Record(8, 12), 4096);
         return bytes;
       }(),
       kNoFont, 0},
      {"offset plus length wrapping at 32 bits", EditBytes([](auto& b) {
         Set32(b, Record(kGlyf, 8), 0xFFFFFF00);
         Set32(b, Record(kGlyf, 12), 0x200);
       }),
       kNoFont, 0},
      {"no OS/2", EditTables([](auto& t) { t.erase(t.begin() + kOs2); }), kNoFont, 0},
      {"head ending before indexToLocFormat",
       EditTables([](auto& t) { t[kHead].bytes.resize(50); }), kNoFont, 0},
      {"hhea ending before numberOfHMetrics",
       EditTables([](auto& t) { t[kHhea].bytes.resize(34); }), kNoFont, 0},
      {"unitsPerEm 0", EditTables([](auto& t) { t[kHead].bytes = HeadTable(0, 0); }), kNoFont, 0},
      {"cmap subtable offset past the data",
       EditTables([](auto& t) { Set32(t[kCmap].bytes, 8, 0x7FFFFFF0); }), 0, 'A'},
      {"format-4 idRangeOffset past the data",
       EditTables([](auto& t) { Set16(t[kCmap].bytes, 12 + 36, 0xFFF0); }), 0, 'B'},
      {"format-4 segCountX2 of 32767 segments",
       EditTables([](auto& t) { Set16(t[kCmap].bytes, 12 + 6, 0xFFFE); }), 0, 'C'},
      {"cmap twice, the later mapping 'A' to glyph 2", EditTables([](auto& t) {
         t.push_back({"cmap", CmapTable()});
         Set16(t.back().bytes, 12 + 28, -63);
       }),
       2, 'A'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TrueTypeFont font;
    EXPECT_EQ(Load(font, c.bytes), c.glyph != kNoFont);
    EXPECT_EQ(font.Loaded(), c.glyph != kNoFont);
    if (c.glyph != kNoFont) {
      EXPECT_EQ(font.GlyphIndex(c.codePoint), c.glyph);
    }
  }
}

TEST(TrueTypeFont, CmapChoosesFormat12OverFormat4AndNeverFallsBack) {
  std::vector<Table> tables = MinimalTables();
  Bytes& cmap = tables[kCmap].bytes;
  const Bytes format4(cmap.begin() + 12, cmap.end());
  cmap.clear();
  // version, numTables; (3,1) format 4 at 20, (3,10) format 12 after it
  Put16(cmap, {0, 2, 3, 1});
  Put32(cmap, {20});
  Put16(cmap, {3, 10});
  Put32(cmap, {20 + 42});
  cmap.insert(cmap.end(), format4.begin(), format4.end());
  // format 12: format, reserved, length, language, nGroups 1: U+10000..U+10010 from glyph 1
  Put16(cmap, {12, 0});
  Put32(cmap, {28, 0, 1, 0x10000, 0x10010, 1});
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex(0x10000), 1);
  EXPECT_EQ(font.GlyphIndex(0x10001), 2);
  EXPECT_EQ(font.GlyphIndex('A'), 0);  // covered only by the format-4 subtable
}

TEST(TrueTypeFont, GlyphsPastNumberOfHMetricsTakeTheLastAdvanceAndTheTrailingBearings) {
  std::vector<Table> tables = MinimalTables();
  tables[kHmtx].bytes.clear();
  Put16(tables[kHmtx].bytes, {600, 11, 700, -2, 33});  // (advance, lsb) of glyphs 0, 1; lsb of 2
  tables[kHhea].bytes = HheaTable(2);
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  const struct {
    int glyph, advance, lsb;
  } metrics[] = {{0, 600, 11}, {1, 700, -2}, {2, 700, 33}, {40000, 700, 0}, {-1, 0, 0}};
  for (const auto& m : metrics) {
    SCOPED_TRACE(m.glyph);
    EXPECT_EQ(font.AdvanceWidth(m.glyph), m.advance);
    EXPECT_EQ(font.LeftSideBearing(m.glyph), m.lsb);
  }
  tables[kHhea].bytes = HheaTable(0);
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.AdvanceWidth(1), 0);
}

TEST(TrueTypeFont, LongLocaOffsetsAreReadAndARecordEndingBeforeItStartsIsEmpty) {
  std::vector<Table> tables = MinimalTables();
  tables[kLoca].bytes.clear();
  Put32(tables[kLoca].bytes, {0, 0, 24, 40});  // glyph 0 empty, 1, 2
  tables[kHead].bytes = HeadTable(1);
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(Size(font.GlyphRange(1)), 24);
  EXPECT_EQ(Size(font.GlyphRange(2)), 16);
  EXPECT_EQ(Size(font.GlyphRange(1000)), 0);
  Set32(tables[kLoca].bytes, 4, 30);  // glyph 1 from 30 to 24
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(Size(font.GlyphRange(1)), 0);
}

}  // namespace
}  // namespace kelvrix::text
