#include <gtest/gtest.h>

#include "cli/ContactSheet.h"

namespace kelvrix::cli {
namespace {

constexpr float kGrey = 0.12f;  // the label strips' background

// Pixels of the label strip of cell i that text has lightened.
int TextPixelsInStrip(const RgbaImage& sheet, const ContactSheetLayout& layout, int i) {
  int count = 0;
  for (int y = layout.CellTop(i / 3); y < layout.CellTop(i / 3) + layout.labelHeight; ++y) {
    for (int x = layout.CellLeft(i % 3); x < layout.CellLeft(i % 3) + layout.cellWidth; ++x) {
      count += sheet.At(x, y)[0] > kGrey + 0.3f ? 1 : 0;
    }
  }
  return count;
}

TEST(ContactSheet, LayoutIsThreeByThreeCellsOfAThirdOfTheFrameUnderLabelStrips) {
  const ContactSheetLayout layout = ContactSheetLayoutFor(1920, 1080);
  EXPECT_EQ(layout.cellWidth, 640);
  EXPECT_EQ(layout.cellHeight, 360);
  EXPECT_GE(layout.labelHeight, 20);
  EXPECT_EQ(layout.Width(), 1920);
  EXPECT_EQ(layout.Height(), 3 * (360 + layout.labelHeight));
  EXPECT_EQ(layout.CellLeft(2), 1280);
  EXPECT_EQ(layout.CellTop(1), 360 + layout.labelHeight);
}

// Cell 0 has an empty label, which leaves its strip plain; every later label is one letter
// longer than the one before and lightens more of its strip.
TEST(ContactSheet, EveryCellGetsItsPictureAndALabelOfItsOwn) {
  const ContactSheetLayout layout = ContactSheetLayoutFor(480, 270);
  std::array<RgbaImage, 9> cells;
  std::array<std::string, 9> labels;
  for (int i = 0; i < 9; ++i) {
    cells[i] = RgbaImage(layout.cellWidth, layout.cellHeight);
    for (size_t k = 0; k < cells[i].pixels.size(); k += 4) {
      cells[i].pixels[k] = static_cast<float>(i) / 10.0f;  // red tells the cells apart
      cells[i].pixels[k + 3] = 1.0f;
    }
    labels[i] = std::string(i, 'W');
  }
  const RgbaImage sheet = ComposeContactSheet(layout, cells, labels);
  ASSERT_EQ(sheet.width, layout.Width());
  ASSERT_EQ(sheet.height, layout.Height());
  int previous = -1;
  for (int i = 0; i < 9; ++i) {
    const int top = layout.CellTop(i / 3) + layout.labelHeight;
    const float* middle =
        sheet.At(layout.CellLeft(i % 3) + layout.cellWidth / 2, top + layout.cellHeight / 2);
    EXPECT_FLOAT_EQ(middle[0], static_cast<float>(i) / 10.0f) << "cell " << i;
    const int text = TextPixelsInStrip(sheet, layout, i);
    EXPECT_EQ(text == 0, i == 0) << "label " << i;
    EXPECT_GT(text, previous) << "label " << i << " should be longer than the one before";
    previous = text;
  }
}

}  // namespace
}  // namespace kelvrix::cli
