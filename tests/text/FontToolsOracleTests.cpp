// The font reader against fontTools: every mapping, metric and decoded contour of the embedded
// font must read as fontTools reads it from the same file. fonttools_expected.py writes fontTools'
// reading as lines; the engine's reading is written here in the same form and the two sets of
// lines compared.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/GlyphOutline.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

constexpr int kGlyphs = 938;  // in the embedded font

// The engine's reading of the embedded font in fontTools' lines: every code point of the planes in
// use that maps to a glyph, and every glyph's metrics and contours.
TEST(FontToolsOracle, EveryMappingMetricAndContourReadsAsFontToolsReadsThem) {
  std::ifstream file(KELVRIX_FONTTOOLS_EXPECTED);
  std::set<std::string> expected, ours, onlyFontTools, onlyOurs;
  for (std::string line; std::getline(file, line);) expected.insert(line);
  ASSERT_FALSE(expected.empty()) << "no fontTools data at " KELVRIX_FONTTOOLS_EXPECTED;
  const std::vector<uint8_t> bytes = DecodeBase64(EmbeddedFontBase64);
  TrueTypeFont font;
  ASSERT_TRUE(font.SetFont(bytes.data(), static_cast<int>(bytes.size()), 20.0f));
  for (uint32_t cp = 0; cp < 0x30000; ++cp) {
    if (font.GlyphIndex(cp))
      ours.insert("cmap " + std::to_string(cp) + " " + std::to_string(font.GlyphIndex(cp)));
  }
  GlyphOutline outline;
  for (int glyph = 0; glyph < kGlyphs; ++glyph) {
    EXPECT_TRUE(outline.Decode(font, glyph, Transform2D{})) << "glyph " << glyph;
    std::ostringstream line;  // coordinates as fontTools prints them, %.9g
    line << std::setprecision(9) << "glyph " << glyph << ' ' << font.AdvanceWidth(glyph) << ' '
         << font.LeftSideBearing(glyph) << ' ' << outline.contourEnds.size();
    for (const uint32_t end : outline.contourEnds) line << ' ' << end;
    line << ' ' << outline.points.size();
    for (const OutlinePoint& p : outline.points)
      line << ' ' << p.position.x << ' ' << p.position.y << ' ' << p.onCurve;
    ours.insert(line.str());
  }
  std::set_difference(expected.begin(), expected.end(), ours.begin(), ours.end(),
                      std::inserter(onlyFontTools, onlyFontTools.end()));
  std::set_difference(ours.begin(), ours.end(), expected.begin(), expected.end(),
                      std::inserter(onlyOurs, onlyOurs.end()));
  EXPECT_TRUE(onlyFontTools.empty() && onlyOurs.empty())
      << onlyFontTools.size() << " of fontTools' lines differ from " << onlyOurs.size()
      << " of ours; first of fontTools: " << (onlyFontTools.empty() ? "" : *onlyFontTools.begin())
      << "\nfirst of ours: " << (onlyOurs.empty() ? "" : *onlyOurs.begin());
}

}  // namespace
}  // namespace kelvrix::text
