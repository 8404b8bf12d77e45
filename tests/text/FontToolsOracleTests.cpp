// The font reader against fontTools: every mapping, metric and decoded contour of the embedded
// font must read as fontTools reads it from the same file. fonttools_expected.py writes fontTools'
// reading as lines; the engine's reading is written here in the same form and the two sets of
// lines compared.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/GlyphOutline.h"
#include "text/TrueTypeFont.h"

namespace kelvrix::text {
namespace {

constexpr int kGlyphs = 938;  // in the embedded font

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

// The engine's reading of the embedded font: cmap lines for every code point of the planes in use
// that maps to a glyph, a metric and a glyph line for every glyph.
std::set<std::string> EngineReading() {
  const std::vector<uint8_t> bytes = DecodeBase64(EmbeddedFontBase64);
  TrueTypeFont font;
  EXPECT_TRUE(font.SetFont(bytes.data(), static_cast<int>(bytes.size()), 20.0f));
  std::set<std::string> lines;
  for (uint32_t cp = 0; cp < 0x30000; ++cp) {
    const int glyph = font.GlyphIndex(cp);
    if (glyph != 0) lines.insert("cmap " + std::to_string(cp) + " " + std::to_string(glyph));
  }
  GlyphOutline outline;
  for (int glyph = 0; glyph < kGlyphs; ++glyph) {
    const std::string g = std::to_string(glyph) + " ";
    lines.insert("metric " + g + std::to_string(font.AdvanceWidth(glyph)) + " " +
                 std::to_string(font.LeftSideBearing(glyph)));
    EXPECT_TRUE(outline.Decode(font, glyph, Transform2D{})) << "glyph " << glyph;
    std::string line = "glyph " + g + std::to_string(outline.contourEnds.size());
    for (const uint32_t end : outline.contourEnds) line += " " + std::to_string(end);
    line += " " + std::to_string(outline.points.size());
    for (const OutlinePoint& p : outline.points) {
      line += " " + Number(p.position.x) + " " + Number(p.position.y) + (p.onCurve ? " 1" : " 0");
    }
    lines.insert(line);
  }
  return lines;
}

// Up to three lines of `lines`, for a failure message.
std::string Sample(const std::vector<std::string>& lines) {
  std::string sample;
  for (size_t i = 0; i < lines.size() && i < 3; ++i) sample += "\n  " + lines[i].substr(0, 200);
  return sample;
}

TEST(FontToolsOracle, EveryMappingMetricAndContourReadsAsFontToolsReadsThem) {
  std::ifstream file(KELVRIX_FONTTOOLS_EXPECTED);
  std::set<std::string> expected;
  for (std::string line; std::getline(file, line);) expected.insert(line);
  ASSERT_FALSE(expected.empty()) << "no fontTools data at " KELVRIX_FONTTOOLS_EXPECTED;
  const std::set<std::string> ours = EngineReading();
  std::vector<std::string> onlyFontTools, onlyOurs;
  std::set_difference(expected.begin(), expected.end(), ours.begin(), ours.end(),
                      std::back_inserter(onlyFontTools));
  std::set_difference(ours.begin(), ours.end(), expected.begin(), expected.end(),
                      std::back_inserter(onlyOurs));
  EXPECT_TRUE(onlyFontTools.empty() && onlyOurs.empty())
      << onlyFontTools.size() << " of fontTools' " << expected.size() << " lines differ from "
      << onlyOurs.size() << " of ours; fontTools:" << Sample(onlyFontTools)
      << "\nours:" << Sample(onlyOurs);
}

}  // namespace
}  // namespace kelvrix::text
