// The font reader against fontTools: every mapping, metric and decoded contour of the embedded
// font must agree with what fontTools reads from the same file (see fonttools_expected.py).

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/GlyphOutline.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

struct ExpectedGlyph {
  std::vector<uint32_t> contourEnds;
  std::vector<OutlinePoint> points;
};

struct Expected {
  std::map<uint32_t, int> cmap;
  std::map<int, std::pair<int, int>> metrics;  // advance, lsb
  std::map<int, ExpectedGlyph> glyphs;
};

Expected ReadExpected() {
  Expected expected;
  std::ifstream in(KELVRIX_FONTTOOLS_EXPECTED);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    if (kind == "cmap") {
      uint32_t cp = 0;
      int glyph = 0;
      fields >> cp >> glyph;
      expected.cmap[cp] = glyph;
    } else if (kind == "metric") {
      int glyph = 0, advance = 0, lsb = 0;
      fields >> glyph >> advance >> lsb;
      expected.metrics[glyph] = {advance, lsb};
    } else if (kind == "glyph") {
      int glyph = 0;
      size_t contours = 0, points = 0;
      fields >> glyph >> contours;
      ExpectedGlyph& g = expected.glyphs[glyph];
      g.contourEnds.resize(contours);
      for (uint32_t& end : g.contourEnds) fields >> end;
      fields >> points;
      g.points.resize(points);
      for (OutlinePoint& p : g.points) {
        int on = 0;
        fields >> p.position.x >> p.position.y >> on;
        p.onCurve = on != 0;
      }
    }
  }
  return expected;
}

class FontToolsOracle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    expected_ = new Expected(ReadExpected());
    bytes_ = new std::vector<uint8_t>(DecodeBase64(EmbeddedFontBase64));
  }
  static void TearDownTestSuite() {
    delete expected_;
    delete bytes_;
  }
  void SetUp() override {
    ASSERT_FALSE(expected_->cmap.empty()) << "no fontTools data at " KELVRIX_FONTTOOLS_EXPECTED;
    ASSERT_TRUE(font_.SetFont(bytes_->data(), static_cast<int>(bytes_->size()), 20.0f));
  }
  static Expected* expected_;
  static std::vector<uint8_t>* bytes_;
  TrueTypeFont font_;
};
Expected* FontToolsOracle::expected_ = nullptr;
std::vector<uint8_t>* FontToolsOracle::bytes_ = nullptr;

TEST_F(FontToolsOracle, EveryCodePointOfThePlanesInUseMapsToTheGlyphFontToolsReads) {
  int agree = 0, disagree = 0, mapped = 0;
  for (uint32_t cp = 0; cp < 0x30000; ++cp) {
    const auto found = expected_->cmap.find(cp);
    const int expected = found == expected_->cmap.end() ? 0 : found->second;
    mapped += found != expected_->cmap.end();
    const int actual = font_.GlyphIndex(cp);
    if (actual == expected) {
      ++agree;
    } else if (++disagree <= 10) {
      ADD_FAILURE() << "U+" << std::hex << cp << ": " << std::dec << actual << " vs " << expected;
    }
  }
  std::printf("fontTools cmap: %d code points agree (%d mapped), %d disagree\n", agree, mapped,
              disagree);
  EXPECT_EQ(disagree, 0);
  EXPECT_EQ(mapped, static_cast<int>(expected_->cmap.size()));
}

TEST_F(FontToolsOracle, EveryGlyphHasTheAdvanceAndSideBearingFontToolsReads) {
  int agree = 0;
  for (const auto& [glyph, metric] : expected_->metrics) {
    EXPECT_EQ(font_.AdvanceWidth(glyph), metric.first) << "glyph " << glyph;
    EXPECT_EQ(font_.LeftSideBearing(glyph), metric.second) << "glyph " << glyph;
    agree +=
        font_.AdvanceWidth(glyph) == metric.first && font_.LeftSideBearing(glyph) == metric.second;
  }
  std::printf("fontTools metrics: %d of %zu glyphs agree\n", agree, expected_->metrics.size());
  EXPECT_EQ(expected_->metrics.size(), 938u);
}

TEST_F(FontToolsOracle, EveryGlyphDecodesToTheContoursFontToolsReadsWithCompositesResolved) {
  GlyphOutline outline;
  int agree = 0, points = 0, composites = 0;
  for (const auto& [glyph, expected] : expected_->glyphs) {
    ASSERT_TRUE(outline.Decode(font_, glyph, Transform2D{})) << "glyph " << glyph;
    bool same = outline.contourEnds == expected.contourEnds &&
                outline.points.size() == expected.points.size();
    for (size_t i = 0; same && i < expected.points.size(); ++i) {
      const OutlinePoint& a = outline.points[i];
      const OutlinePoint& e = expected.points[i];
      same = a.position.x == e.position.x && a.position.y == e.position.y && a.onCurve == e.onCurve;
    }
    EXPECT_TRUE(same) << "glyph " << glyph;
    agree += same;
    points += static_cast<int>(expected.points.size());
    composites += font_.GlyphRange(glyph).start != font_.GlyphRange(glyph).end &&
                  static_cast<int16_t>((font_.data()[font_.GlyphRange(glyph).start] << 8) |
                                       font_.data()[font_.GlyphRange(glyph).start + 1]) < 0;
  }
  std::printf("fontTools contours: %d of %zu glyphs agree (%d points, %d composites)\n", agree,
              expected_->glyphs.size(), points, composites);
  EXPECT_EQ(expected_->glyphs.size(), 938u);
}

}  // namespace
}  // namespace kelvrix::text
