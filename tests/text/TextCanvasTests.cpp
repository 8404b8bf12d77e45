#include <gtest/gtest.h>

#include "tests/text/FontBytes.h"
#include "text/TextCanvas.h"

namespace kelvrix::text {
namespace {

using namespace kelvrix::text::testing;

// Canvas with the minimal font: glyph 0 and 'A' are 10 x 10 unit squares, 'B' the square moved by
// (20, 5); every advance is 500 units. At pixel size 1000 one unit is one pixel.
class TextCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(canvas_.SetFont(font_.data(), static_cast<int>(font_.size()), 1000.0f));
    canvas_.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
  }
  std::vector<float> Pixels() const {
    std::vector<float> all;
    for (int i = 0; i < canvas_.Width() * canvas_.Height(); ++i) {
      for (float c : canvas_.PixelAt(i % canvas_.Width(), i / canvas_.Width())) all.push_back(c);
    }
    return all;
  }
  std::vector<Point2D> Outline(const char* text, float x, float maxWidth) {
    canvas_.AppendTextOutline(text, x, 20.0f, maxWidth);
    return canvas_.Polygons().points;
  }
  std::vector<float> Xs(const char* text, float x, float maxWidth) {
    std::vector<float> xs;
    for (Point2D p : Outline(text, x, maxWidth)) xs.push_back(p.x);
    return xs;
  }

  Bytes font_ = MinimalFont({SquareGlyph(), SquareGlyph(), CompositeGlyph()});
  TextCanvas canvas_{64, 32};
};

// Clamped (NaN to 0), sRGB to linear, premultiplied.
TEST(TextCanvasColor, SetColorClampsLinearizesAndPremultiplies) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float red, green, blue, alpha;
    Paint paint;
  } cases[] = {{1, 1, 1, 1, {1, 1, 1, 1}},
               {0.5f, 0.5f, 0.5f, 1, {0.21404f, 0.21404f, 0.21404f, 1}},
               {1, 0, 0.04f, 0.5f, {0.5f, 0, 0.04f / 12.92f / 2, 0.5f}},
               {1.5f, -1, nan, 1.5f, {1, 0, 0, 1}}};
  for (const auto& c : cases) {
    TextCanvas canvas(1, 1);
    canvas.SetColor(PaintSlot::Fill, c.red, c.green, c.blue, c.alpha);
    const Paint& p = canvas.PaintOf(PaintSlot::Fill);
    EXPECT_NEAR(p.red, c.paint.red, 1e-5f) << c.red;
    EXPECT_NEAR(p.green, c.paint.green, 1e-5f) << c.green;
    EXPECT_NEAR(p.blue, c.paint.blue, 1e-5f) << c.blue;
    EXPECT_EQ(p.alpha, c.paint.alpha) << c.alpha;
  }
}

TEST(TextCanvasSize, SizesTheCellsCannotAddressGiveAnEmptyCanvas) {
  for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {65535, 1}, {1, 65535}, {65534, 65534}}) {
    TextCanvas canvas(w, h);
    EXPECT_EQ(canvas.Width() + canvas.Height(), 0) << w << "x" << h;
    canvas.FillText("A", 0, 10, 100);
    EXPECT_EQ(canvas.PixelAt(0, 0)[3], 0.0f);
  }
  TextCanvas wide(65534, 2);
  EXPECT_EQ(wide.Width(), 65534);
  EXPECT_EQ(wide.PixelAt(65534, 1)[3], 0.0f);  // outside reads as transparent
}

// Two lines accumulate source-over: half then three quarters.
TEST_F(TextCanvasTest, GlyphOfTenUnitsAtPixelSizeOneThousandFillsTenByTenPixels) {
  canvas_.SetColor(PaintSlot::Fill, 1, 1, 1, 0.5f);
  canvas_.FillText("A", 5.0f, 20.0f, TextCanvas::kNoMaxWidth);
  canvas_.FillText("A", 5.0f, 20.0f, TextCanvas::kNoMaxWidth);
  const std::vector<float> pixels = Pixels();
  for (int i = 0; i < 64 * 32 * 4; ++i) {
    const int x = i / 4 % 64, y = i / 4 / 64;
    ASSERT_EQ(pixels[i], x >= 5 && x < 15 && y >= 10 && y < 20 ? 0.75f : 0.0f) << x << "," << y;
  }
  // At size 10000 a 500-unit advance is 5 pixels but a square is 100: glyphs of one line that
  // overlap are united, not painted twice.
  ASSERT_TRUE(canvas_.SetFont(nullptr, 0, 10000.0f));
  canvas_.FillText("AA", 30.0f, 30.0f, TextCanvas::kNoMaxWidth);
  EXPECT_EQ(canvas_.PixelAt(37, 10)[3], 0.5f);
}

TEST_F(TextCanvasTest, NothingIsDrawnForEmptyOrNullTextOrNonPositiveWidthOrNoFont) {
  canvas_.FillText("", 5, 20, 100);
  canvas_.FillText(nullptr, 5, 20, 100);
  for (float width : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()}) {
    canvas_.FillText("A", 5, 20, width);
  }
  EXPECT_FALSE(canvas_.SetFont(font_.data(), 3, 1000.0f));
  canvas_.FillText("A", 5, 20, 100);
  EXPECT_EQ(Pixels(), std::vector<float>(64 * 32 * 4, 0.0f));
}

// "AAA" advances 1500 units = 300 pixels at size 200: it fits 300 and is halved into 150.
TEST_F(TextCanvasTest, LineTooWideIsSqueezedHorizontallyToTheMaximumWidth) {
  ASSERT_TRUE(canvas_.SetFont(nullptr, 0, 200.0f));
  const std::vector<float> wide = Xs("AAA", 4.0f, TextCanvas::kNoMaxWidth);
  std::vector<float> halved;
  for (float x : wide) halved.push_back(4.0f + (x - 4.0f) * 0.5f);
  EXPECT_EQ(Xs("AAA", 4.0f, 300.0f), wide);
  EXPECT_EQ(Xs("AAA", 4.0f, 150.0f), halved);
  EXPECT_EQ(wide.back(), 4.0f + 200.0f);  // third square starts at 2 x 500 units
}

// U+FFFD for a malformed byte and '(' are both missing: glyph-0 squares, 500 units apart.
TEST_F(TextCanvasTest, LineBreakIsASpaceAndMissingOrMalformedCharactersDrawGlyphZero) {
  EXPECT_EQ(Xs("A\nB", 0.0f, 1000.0f), Xs("A B", 0.0f, 1000.0f));
  const std::vector<float> xs = Xs("\xC3\x28", 0.0f, TextCanvas::kNoMaxWidth);
  ASSERT_EQ(canvas_.Polygons().subpaths.size(), 2u);
  EXPECT_EQ(std::make_pair(xs[0], xs[5]), std::make_pair(0.0f, 500.0f));
}

}  // namespace
}  // namespace kelvrix::text
