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
  explicit TextCanvasTest(int width = 64, int height = 32) : canvas_(width, height) {}
  void SetUp() override {
    font_ = MinimalFont({SquareGlyph(), SquareGlyph(), CompositeGlyph()});
    ASSERT_TRUE(canvas_.SetFont(font_.data(), static_cast<int>(font_.size()), 1000.0f));
    canvas_.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
  }
  std::vector<float> Pixels() const {
    std::vector<float> all;
    for (int y = 0; y < canvas_.Height(); ++y)
      for (int x = 0; x < canvas_.Width(); ++x)
        for (float c : canvas_.PixelAt(x, y)) all.push_back(c);
    return all;
  }
  std::vector<Point2D> Outline(const char* text, float x, float maxWidth) {
    canvas_.AppendTextOutline(text, x, 20.0f, maxWidth);
    return canvas_.Polygons().points;
  }
  Bytes font_;
  TextCanvas canvas_;
};

TEST(TextCanvasColor, SetColorClampsLinearizesAndPremultiplies) {
  TextCanvas canvas(1, 1);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).alpha, 1.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Stroke).red, 0.0f);
  canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).red, 1.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).alpha, 1.0f);
  canvas.SetColor(PaintSlot::Fill, 0.5f, 0.5f, 0.5f, 1);
  EXPECT_NEAR(canvas.PaintOf(PaintSlot::Fill).green, 0.2140f, 1e-4f);
  canvas.SetColor(PaintSlot::Stroke, 1, 0, 0, 0.5f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Stroke).red, 0.5f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Stroke).green, 0.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Stroke).alpha, 0.5f);
  EXPECT_NEAR(canvas.PaintOf(PaintSlot::Fill).green, 0.2140f, 1e-4f);  // other slot untouched
  canvas.SetColor(PaintSlot::Fill, 2, -1, std::numeric_limits<float>::quiet_NaN(), 2);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).red, 1.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).green, 0.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).blue, 0.0f);
  EXPECT_EQ(canvas.PaintOf(PaintSlot::Fill).alpha, 1.0f);
  canvas.SetColor(PaintSlot::Fill, 0.04f, 0.04f, 0.04f, 1);
  EXPECT_FLOAT_EQ(canvas.PaintOf(PaintSlot::Fill).red, 0.04f / 12.92f);
}

TEST(TextCanvasSize, SizesTheCellsCannotAddressGiveAnEmptyCanvas) {
  for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {65535, 1}, {1, 65535}, {65534, 65534}}) {
    TextCanvas canvas(w, h);
    EXPECT_EQ(canvas.Width(), 0) << w << "x" << h;
    EXPECT_EQ(canvas.Height(), 0) << w << "x" << h;
    canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
    canvas.FillText("A", 0, 10, 100);
    EXPECT_EQ(canvas.PixelAt(0, 0)[3], 0.0f);
  }
  TextCanvas wide(65534, 2);
  EXPECT_EQ(wide.Width(), 65534);
  EXPECT_EQ(wide.PixelAt(65533, 1)[3], 0.0f);
  EXPECT_EQ(wide.PixelAt(65534, 1)[3], 0.0f);  // outside reads as transparent
  EXPECT_EQ(wide.PixelAt(-1, 0)[0], 0.0f);
}

TEST_F(TextCanvasTest, GlyphOfTenUnitsAtPixelSizeOneThousandFillsTenByTenPixels) {
  canvas_.FillText("A", 5.0f, 20.0f, TextCanvas::kNoMaxWidth);
  int full = 0, empty = 0;
  for (int y = 0; y < canvas_.Height(); ++y) {
    for (int x = 0; x < canvas_.Width(); ++x) {
      const auto p = canvas_.PixelAt(x, y);
      const bool inside = x >= 5 && x < 15 && y >= 10 && y < 20;
      full += inside && p[0] == 1.0f && p[3] == 1.0f;
      empty += !inside && p[3] == 0.0f;
    }
  }
  EXPECT_EQ(full, 100);
  EXPECT_EQ(empty, 64 * 32 - 100);
}

TEST_F(TextCanvasTest, NothingIsDrawnForEmptyOrNullTextOrNonPositiveWidthOrNoFont) {
  const std::vector<float> before = Pixels();
  canvas_.FillText("", 5, 20, 100);
  canvas_.FillText(nullptr, 5, 20, 100);
  canvas_.FillText("A", 5, 20, 0);
  canvas_.FillText("A", 5, 20, -3);
  canvas_.FillText("A", 5, 20, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(Pixels(), before);
  EXPECT_FALSE(canvas_.SetFont(font_.data(), 3, 1000.0f));
  canvas_.FillText("A", 5, 20, 100);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(TextCanvasTest, LineTooWideIsSqueezedHorizontallyToTheMaximumWidth) {
  // "AAA" advances 1500 units = 300 pixels at size 200; maxWidth 150 halves every x offset.
  ASSERT_TRUE(canvas_.SetFont(nullptr, 0, 200.0f));
  const std::vector<Point2D> wide = Outline("AAA", 4.0f, TextCanvas::kNoMaxWidth);
  const std::vector<Point2D> fits = Outline("AAA", 4.0f, 300.0f);
  const std::vector<Point2D> squeezed = Outline("AAA", 4.0f, 150.0f);
  ASSERT_EQ(wide.size(), squeezed.size());
  ASSERT_EQ(wide.size(), fits.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    EXPECT_EQ(fits[i].x, wide[i].x);
    EXPECT_FLOAT_EQ(squeezed[i].x - 4.0f, (wide[i].x - 4.0f) * 0.5f);
    EXPECT_EQ(squeezed[i].y, wide[i].y);
  }
  EXPECT_EQ(wide.back().x, 4.0f + 200.0f);  // third square starts at 2 x 500 units
}

TEST_F(TextCanvasTest, LineBreakDrawsAsASpaceOnTheSameLine) {
  const std::vector<Point2D> withBreak = Outline("A\nB", 0.0f, 1000.0f);
  const std::vector<Point2D> withSpace = Outline("A B", 0.0f, 1000.0f);
  ASSERT_EQ(withBreak.size(), withSpace.size());
  for (size_t i = 0; i < withBreak.size(); ++i) {
    EXPECT_EQ(withBreak[i].x, withSpace[i].x);
    EXPECT_EQ(withBreak[i].y, withSpace[i].y);
  }
}

TEST_F(TextCanvasTest, MissingCharacterAndMalformedUtf8DrawGlyphZeroAndAdvanceByIt) {
  // U+FFFD and '(' are both missing: two glyph-0 squares, 500 units apart.
  const std::vector<Point2D> points = Outline("\xC3\x28", 0.0f, TextCanvas::kNoMaxWidth);
  ASSERT_EQ(canvas_.Polygons().subpaths.size(), 2u);
  EXPECT_EQ(points[0].x, 0.0f);
  EXPECT_EQ(points[5].x, 500.0f);
}

TEST_F(TextCanvasTest, SuccessiveLinesAccumulateSourceOver) {
  canvas_.SetColor(PaintSlot::Fill, 1, 1, 1, 0.5f);
  canvas_.FillText("A", 5.0f, 20.0f, TextCanvas::kNoMaxWidth);
  EXPECT_EQ(canvas_.PixelAt(6, 15)[3], 0.5f);
  canvas_.FillText("A", 5.0f, 20.0f, TextCanvas::kNoMaxWidth);
  EXPECT_EQ(canvas_.PixelAt(6, 15)[3], 0.75f);
  EXPECT_EQ(canvas_.PixelAt(6, 15)[0], 0.75f);
  EXPECT_EQ(canvas_.PixelAt(30, 15)[3], 0.0f);
}

TEST_F(TextCanvasTest, GlyphsOfOneLineThatOverlapAreUnitedNotPaintedTwice) {
  // At size 10000 a 500-unit advance is 5 pixels but a square is 100: the squares overlap.
  ASSERT_TRUE(canvas_.SetFont(nullptr, 0, 10000.0f));
  canvas_.SetColor(PaintSlot::Fill, 1, 1, 1, 0.5f);
  canvas_.FillText("AA", 0.0f, 30.0f, TextCanvas::kNoMaxWidth);
  EXPECT_EQ(canvas_.PixelAt(7, 10)[3], 0.5f);
}

TEST_F(TextCanvasTest, TransformIsTheIdentityAfterEveryLine) {
  canvas_.FillText("AB", 1.0f, 20.0f, 50.0f);
  const std::vector<Point2D> first = Outline("A", 3.0f, 100.0f);
  const std::vector<Point2D> second = Outline("A", 3.0f, 100.0f);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(first[0].x, 3.0f);
  EXPECT_EQ(first[0].y, 20.0f);
}

}  // namespace
}  // namespace kelvrix::text
