#include <gtest/gtest.h>

#include "resources/font/EmbeddedFont.h"
#include "tests/text/FontBytes.h"
#include "text/Base64.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

bool Load(TrueTypeFont& font, const Bytes& bytes, float size = 20.0f) {
  return font.SetFont(bytes.data(), static_cast<int>(bytes.size()), size);
}

// Position of directory record `i`'s field at `field` (tag 0, checksum 4, offset 8, length 12).
size_t Record(size_t i, size_t field) { return 12 + 16 * i + field; }

TEST(TrueTypeFont, MinimalFontLoadsAndAnswersEveryQuery) {
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, MinimalFont(), 20.0f));
  EXPECT_TRUE(font.Loaded());
  EXPECT_EQ(font.UnitsPerEm(), 1000);
  EXPECT_FLOAT_EQ(font.Scale(), 0.02f);
  EXPECT_EQ(font.GlyphIndex('A'), 1);
  EXPECT_EQ(font.GlyphIndex('B'), 2);
  EXPECT_EQ(font.GlyphIndex('C'), 0);
  EXPECT_EQ(font.GlyphIndex(0x10041), 0);
  EXPECT_EQ(font.AdvanceWidth(1), 500);
  const GlyphLocation square = font.GlyphRange(1);
  EXPECT_EQ(square.end - square.start, static_cast<int64_t>(SquareGlyph().size()));
  EXPECT_EQ(font.GlyphRange(0).start, font.GlyphRange(0).end);
}

TEST(TrueTypeFont, KeepsOnlyTheEightTablesAfterACopyOfTheDirectory) {
  std::vector<Table> tables = MinimalTables();
  tables.insert(tables.begin() + 2, {"kern", Bytes(1000, 0xAB)});
  const Bytes bytes = AssembleFont(tables);
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, bytes));
  size_t kept = 12 + 16 * tables.size();
  for (const Table& table : tables) {
    if (table.tag != "kern") kept += table.bytes.size();
  }
  EXPECT_EQ(font.data().size(), kept);
  EXPECT_TRUE(
      std::equal(bytes.begin(), bytes.begin() + 12 + 16 * tables.size(), font.data().begin()));
}

TEST(TrueTypeFont, VersionTrueLoadsAndTheCffFlavourFails) {
  TrueTypeFont font;
  EXPECT_TRUE(Load(font, AssembleFont(MinimalTables(), 0x74727565)));
  EXPECT_FALSE(Load(font, AssembleFont(MinimalTables(), 0x4F54544F)));
  EXPECT_FALSE(font.Loaded());
}

TEST(TrueTypeFont, RescaleWithoutBytesKeepsTheFontOrFailsWhenNoneIsLoaded) {
  TrueTypeFont font;
  EXPECT_FALSE(font.SetFont(nullptr, 0, 20.0f));
  EXPECT_EQ(font.Scale(), 0.0f);
  ASSERT_TRUE(Load(font, MinimalFont(), 10.0f));
  const Bytes bytes = MinimalFont();
  EXPECT_TRUE(font.SetFont(nullptr, 0, 20.0f));
  EXPECT_TRUE(font.SetFont(bytes.data(), 0, 20.0f));
  EXPECT_TRUE(font.Loaded());
  EXPECT_EQ(font.Scale(), 20.0f / 1000.0f);
}

TEST(TrueTypeFont, FailedLoadDropsThePreviousFontButKeepsTheScale) {
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, MinimalFont(), 10.0f));
  EXPECT_FALSE(Load(font, Bytes{0, 1, 0, 0, 0}, 30.0f));
  EXPECT_FALSE(font.Loaded());
  EXPECT_EQ(font.Scale(), 0.01f);
  EXPECT_EQ(font.GlyphIndex('A'), 0);
  EXPECT_EQ(font.AdvanceWidth(1), 0);
}

TEST(TrueTypeFont, FontShorterThanSixBytesFails) {
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, Bytes{0, 1, 0, 0, 0}));
}

TEST(TrueTypeFont, NegativeLengthFails) {
  const Bytes bytes = MinimalFont();
  TrueTypeFont font;
  EXPECT_FALSE(font.SetFont(bytes.data(), -5, 20.0f));
}

TEST(TrueTypeFont, DirectoryLongerThanTheDataFails) {
  Bytes bytes = MinimalFont();
  Set16(bytes, 4, 200);  // numTables: 200 records would end at byte 3212
  bytes.resize(3000);
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, bytes));
}

TEST(TrueTypeFont, TableReachingPastTheEndFailsEvenWhenItIsNotKept) {
  std::vector<Table> tables = MinimalTables();
  tables.push_back({"name", Bytes(8, 0)});
  Bytes bytes = AssembleFont(tables);
  Set32(bytes, Record(8, 12), 4096);  // "name" length: runs past the end
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, bytes));
}

TEST(TrueTypeFont, TableWhoseOffsetPlusLengthWrapsAt32BitsFails) {
  Bytes bytes = MinimalFont();
  Set32(bytes, Record(2, 8), 0xFFFFFF00);   // "glyf" offset near 4 GiB
  Set32(bytes, Record(2, 12), 0x00000200);  // length: the 32-bit sum wraps to 0x100
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, bytes));
}

TEST(TrueTypeFont, FontWithoutOs2FailsThoughNothingInItIsRead) {
  std::vector<Table> tables = MinimalTables();
  tables.erase(tables.begin());  // "OS/2"
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, AssembleFont(tables)));
}

TEST(TrueTypeFont, HeadTooShortForIndexToLocFormatFails) {
  std::vector<Table> tables = MinimalTables();
  tables[3].bytes.resize(50);  // "head" ends before indexToLocFormat
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, AssembleFont(tables)));
}

TEST(TrueTypeFont, HheaTooShortForNumberOfHMetricsFails) {
  std::vector<Table> tables = MinimalTables();
  tables[4].bytes.resize(34);  // "hhea" ends before numberOfHMetrics
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, AssembleFont(tables)));
}

TEST(TrueTypeFont, ZeroUnitsPerEmFailsInsteadOfGivingAnInfiniteScale) {
  std::vector<Table> tables = MinimalTables();
  tables[3].bytes = HeadTable(0, 0);  // unitsPerEm 0
  TrueTypeFont font;
  EXPECT_FALSE(Load(font, AssembleFont(tables)));
}

TEST(TrueTypeFont, DuplicatedKeptTableUsesTheLaterRecord) {
  std::vector<Table> tables = MinimalTables();
  Bytes otherCmap = CmapTable();
  Set16(otherCmap, 12 + 28, 0xFFC1);  // idDelta[0] = -63: 'A' -> glyph 2
  tables.push_back({"cmap", otherCmap});
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex('A'), 2);
}

TEST(TrueTypeFont, CmapChoosesFormat12OverFormat4AndNeverFallsBack) {
  std::vector<Table> tables = MinimalTables();
  Bytes cmap = CmapTable();
  Set16(cmap, 2, 2);  // numTables: 2 encoding records; the format-4 subtable moves back 8 bytes
  Bytes withRecord(cmap.begin(), cmap.begin() + 12);
  Set32(withRecord, 8, 20);    // record 0 offset: format 4 now at 20
  Put16(withRecord, 3);        // record 1 platformID
  Put16(withRecord, 10);       // record 1 encodingID (Unicode full)
  Put32(withRecord, 20 + 42);  // record 1 offset: the format-12 subtable after format 4
  withRecord.insert(withRecord.end(), cmap.begin() + 12, cmap.end());
  Put16(withRecord, 12);       // format
  Put16(withRecord, 0);        // reserved
  Put32(withRecord, 28);       // length
  Put32(withRecord, 0);        // language
  Put32(withRecord, 1);        // nGroups
  Put32(withRecord, 0x10000);  // startCharCode
  Put32(withRecord, 0x10010);  // endCharCode
  Put32(withRecord, 1);        // startGlyphID
  tables[1].bytes = withRecord;
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex(0x10000), 1);
  EXPECT_EQ(font.GlyphIndex(0x10001), 2);
  EXPECT_EQ(font.GlyphIndex('A'), 0);  // covered only by the format-4 subtable
}

TEST(TrueTypeFont, CmapSubtableOffsetPastTheDataGivesGlyphZero) {
  std::vector<Table> tables = MinimalTables();
  Set32(tables[1].bytes, 8, 0x7FFFFFF0);  // subtable offset far outside
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex('A'), 0);
}

TEST(TrueTypeFont, Format4IdRangeOffsetPastTheDataGivesGlyphZero) {
  std::vector<Table> tables = MinimalTables();
  Set16(tables[1].bytes, 12 + 36, 0xFFF0);  // idRangeOffset[1]: points far past the table
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex('B'), 0);
  EXPECT_EQ(font.GlyphIndex('A'), 1);
}

TEST(TrueTypeFont, Format4SegmentCountPastTheDataGivesGlyphZero) {
  std::vector<Table> tables = MinimalTables();
  Set16(tables[1].bytes, 12 + 6, 0xFFFE);  // segCountX2: 32767 segments
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphIndex(0x43), 0);
}

TEST(TrueTypeFont, GlyphsPastNumberOfHMetricsTakeTheLastAdvanceAndTheTrailingBearings) {
  std::vector<Table> tables = MinimalTables();
  Bytes hmtx;
  Put16(hmtx, 600);     // glyph 0 advanceWidth
  Put16(hmtx, 11);      // glyph 0 lsb
  Put16(hmtx, 700);     // glyph 1 advanceWidth
  Put16(hmtx, 0xFFFE);  // glyph 1 lsb -2
  Put16(hmtx, 33);      // leftSideBearing[0]: glyph 2
  tables[5].bytes = hmtx;
  tables[4].bytes = HheaTable(2);  // numberOfHMetrics 2 of 3 glyphs
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.AdvanceWidth(0), 600);
  EXPECT_EQ(font.AdvanceWidth(1), 700);
  EXPECT_EQ(font.AdvanceWidth(2), 700);
  EXPECT_EQ(font.AdvanceWidth(40000), 700);
  EXPECT_EQ(font.LeftSideBearing(1), -2);
  EXPECT_EQ(font.LeftSideBearing(2), 33);
  EXPECT_EQ(font.LeftSideBearing(40000), 0);  // past the data
  EXPECT_EQ(font.LeftSideBearing(-1), 0);
}

TEST(TrueTypeFont, ZeroNumberOfHMetricsGivesZeroAdvances) {
  std::vector<Table> tables = MinimalTables();
  tables[4].bytes = HheaTable(0);
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.AdvanceWidth(1), 0);
}

TEST(TrueTypeFont, LocaEntriesPastTheDataOrGoingBackwardsGiveEmptyGlyphs) {
  std::vector<Table> tables = MinimalTables();
  Set16(tables[6].bytes, 2 * 2, 0);  // loca[2] = 0 < loca[1]: glyph 1 ends before it starts
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphRange(1).start, font.GlyphRange(1).end);
  EXPECT_EQ(font.GlyphRange(1000).start, font.GlyphRange(1000).end);
}

TEST(TrueTypeFont, LongLocaFormatReadsFourByteOffsets) {
  std::vector<Table> tables = MinimalTables();
  Bytes loca;
  for (uint32_t offset : {0u, 0u, 24u, 40u}) Put32(loca, offset);  // glyph 0 empty, 1, 2
  tables[6].bytes = loca;
  tables[3].bytes = HeadTable(1);  // indexToLocFormat 1
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, AssembleFont(tables)));
  EXPECT_EQ(font.GlyphRange(1).end - font.GlyphRange(1).start, 24);
  EXPECT_EQ(font.GlyphRange(2).end - font.GlyphRange(2).start, 16);
}

TEST(TrueTypeFont, EmbeddedFontLoadsWithItsPublishedProperties) {
  const Bytes bytes = DecodeBase64(EmbeddedFontBase64);
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, bytes, 54.0f));
  EXPECT_EQ(font.UnitsPerEm(), 2048);
  EXPECT_EQ(font.Scale(), 54.0f / 2048.0f);
  EXPECT_EQ(font.GlyphIndex('A'), 36);                        // through the (3,1) format-4 subtable
  EXPECT_EQ(font.GlyphIndex(0x1F600), 0);                     // no format-12 subtable
  EXPECT_EQ(font.AdvanceWidth(937), font.AdvanceWidth(930));  // 931 metrics for 938 glyphs
}

}  // namespace
}  // namespace kelvrix::text
