#include <gtest/gtest.h>

#include <vector>

#include "tests/text/FontBytes.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

bool Load(TrueTypeFont& font, const Bytes& bytes, float size = 20.0f) {
  return font.SetFont(bytes.data(), static_cast<int>(bytes.size()), size);
}

// Loaded, unitsPerEm; mappings of 'A', 'B', 'C', U+10041, U+10001; advances of glyphs 1 and -1,
// side bearings of glyphs 2 and 40000; record sizes of glyphs 0, 1, 2 and 1000.
std::vector<int64_t> Answers(const TrueTypeFont& f) {
  std::vector<int64_t> a = {f.Loaded(), f.UnitsPerEm()};
  for (const uint32_t cp : {0x41u, 0x42u, 0x43u, 0x10041u, 0x10001u}) a.push_back(f.GlyphIndex(cp));
  a.insert(a.end(),
           {f.AdvanceWidth(1), f.AdvanceWidth(-1), f.LeftSideBearing(2), f.LeftSideBearing(40000)});
  for (const int g : {0, 1, 2, 1000}) a.push_back(f.GlyphRange(g).end - f.GlyphRange(g).start);
  return a;
}

template <typename Edit>
Bytes Edited(Edit edit, uint32_t version = 0x00010000) {
  std::vector<Table> tables = MinimalTables();
  edit(tables);
  return AssembleFont(tables, version);
}

// Hand-built fonts, each with one variant or fault: a fault must fail the load, or be contained to
// the lookup it touches. The minimal font under either sfnt version keeps its "kern" table out of
// the copy; a format-12 subtable is chosen over format 4 and never falls back to it; glyphs past
// numberOfHMetrics take the last advance and the trailing side bearings.
TEST(TrueTypeFont, HandBuiltFontsAnswerAsTheirBytesSay) {
  const auto kern = [](auto& t) { t.insert(t.begin() + 2, {"kern", Bytes(1000, 0xAB)}); };
  const auto bytesEdited = [](auto edit) {
    std::vector<Table> tables = MinimalTables();
    tables.push_back({"name", Bytes(8, 0)});
    Bytes bytes = AssembleFont(tables);
    edit(bytes);
    return bytes;
  };
  using A = std::vector<int64_t>;
  const A minimal = {1, 1000, 1, 2, 0, 0, 0, 500, 0, 0, 0, 0, 24, 16, 0};
  const A none(15, 0);
  const struct {
    const char* name;
    Bytes bytes;
    A answers;
  } cases[] = {
      {"version 0x00010000", Edited(kern), minimal},
      {"version true", Edited(kern, 0x74727565), minimal},
      {"long loca, glyph 1 ending before it starts",
       Edited([](auto& t) {
         t[kLoca].bytes.clear();
         Put32(t[kLoca].bytes, 0, 30, 24, 40);
         Set(t[kHead].bytes, 50, 1);
       }),
       {1, 1000, 1, 2, 0, 0, 0, 500, 0, 0, 0, 30, 0, 16, 0}},
      {"format 12 beside format 4",
       Edited([](auto& t) {
         Bytes& cmap = t[kCmap].bytes;
         const Bytes format4(cmap.begin() + 12, cmap.end());
         cmap.clear();  // (3,1) format 4 at 20, (3,10) format 12 after it: U+10000..10010 from 1
         Put16(cmap, 0, 2, 3, 1, 0, 20, 3, 10, 0, 20 + 42);
         cmap.insert(cmap.end(), format4.begin(), format4.end());
         Put16(cmap, 12, 0);
         Put32(cmap, 28, 0, 1, 0x10000, 0x10010, 1);
       }),
       {1, 1000, 0, 0, 0, 0, 2, 500, 0, 0, 0, 0, 24, 16, 0}},
      {"numberOfHMetrics 1",
       Edited([](auto& t) {
         t[kHmtx].bytes.clear();
         Put16(t[kHmtx].bytes, 600, 11, -2, 33);  // (advance, lsb) of glyph 0; lsbs of 1 and 2
         Set(t[kHhea].bytes, 34, 1);
       }),
       {1, 1000, 1, 2, 0, 0, 0, 600, 0, 33, 0, 0, 24, 16, 0}},
      {"numberOfHMetrics 0",
       Edited([](auto& t) { Set(t[kHhea].bytes, 34, 0); }),
       {1, 1000, 1, 2, 0, 0, 0, 0, 0, 500, 0, 0, 24, 16, 0}},
      {"cmap subtable offset past the data",
       Edited([](auto& t) { Set(t[kCmap].bytes, 8, 0x7FFFFFF0, 4); }),
       {1, 1000, 0, 0, 0, 0, 0, 500, 0, 0, 0, 0, 24, 16, 0}},
      {"format-4 idRangeOffset past the data",
       Edited([](auto& t) { Set(t[kCmap].bytes, 12 + 36, 0xFFF0); }),
       {1, 1000, 1, 0, 0, 0, 0, 500, 0, 0, 0, 0, 24, 16, 0}},
      {"format-4 segCountX2 of 32767 segments",
       Edited([](auto& t) { Set(t[kCmap].bytes, 12 + 6, 0xFFFE); }),
       {1, 1000, 0, 0, 0, 0, 0, 500, 0, 0, 0, 0, 24, 16, 0}},
      {"cmap twice, the later mapping 'A' to glyph 2",
       Edited([](auto& t) {
         t.push_back({"cmap", CmapTable()});
         Set(t.back().bytes, 12 + 28, -63);
       }),
       {1, 1000, 2, 2, 0, 0, 0, 500, 0, 0, 0, 0, 24, 16, 0}},
      {"five bytes", Bytes{0, 1, 0, 0, 0}, none},
      {"CFF flavour", AssembleFont(MinimalTables(), 0x4F54544F), none},
      {"directory of 200 records longer than the data",
       bytesEdited([](auto& b) { Set(b, 4, 200), b.resize(3000); }), none},
      {"table not kept reaching past the end",
       bytesEdited([](auto& b) { Set(b, 12 + 16 * 8 + 12, 4096, 4); }), none},
      {"offset plus length wrapping at 32 bits", bytesEdited([](auto& b) {
         Set(b, 12 + 16 * kGlyf + 8, 0xFFFFFF00, 4), Set(b, 12 + 16 * kGlyf + 12, 0x200, 4);
       }),
       none},
      {"no OS/2", Edited([](auto& t) { t.erase(t.begin() + kOs2); }), none},
      {"head ending before indexToLocFormat", Edited([](auto& t) { t[kHead].bytes.resize(50); }),
       none},
      {"hhea ending before numberOfHMetrics", Edited([](auto& t) { t[kHhea].bytes.resize(34); }),
       none},
      {"unitsPerEm 0", Edited([](auto& t) { Set(t[kHead].bytes, 18, 0); }), none},
  };
  for (const auto& c : cases) {
    TrueTypeFont font;
    EXPECT_EQ(Load(font, c.bytes), c.answers[0] == 1) << c.name;
    EXPECT_EQ(Answers(font), c.answers) << c.name;
  }
  size_t kept = 12 + 16 * 9;  // the directory keeps the "kern" record
  for (const Table& table : MinimalTables()) kept += table.bytes.size();
  TrueTypeFont font;
  ASSERT_TRUE(Load(font, cases[0].bytes));
  EXPECT_EQ(font.data().size(), kept);
  EXPECT_FLOAT_EQ(font.Scale(), 0.02f);
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
  EXPECT_FLOAT_EQ(font.Scale(), 0.03f);
  EXPECT_FALSE(font.SetFont(bytes.data(), -5, 40.0f));
  EXPECT_EQ(Answers(font), std::vector<int64_t>(15, 0));
  EXPECT_FLOAT_EQ(font.Scale(), 0.03f);
}

}  // namespace
}  // namespace kelvrix::text
