#include <gtest/gtest.h>

#include "cli/ContactSheet.h"

namespace kelvrix::cli {
namespace {

TEST(ContactSheet, ThreeByThreeCellsOfAThirdOfTheFrameUnderLabelStripsEachShowItsPicture) {
  const ContactSheetLayout full = ContactSheetLayoutFor(1920, 1080);
  EXPECT_EQ(std::make_tuple(full.cellWidth, full.cellHeight, full.Width(), full.CellLeft(2)),
            std::make_tuple(640, 360, 1920, 1280));
  const ContactSheetLayout layout = ContactSheetLayoutFor(480, 270);
  std::array<RgbaImage, 9> cells;
  for (int i = 0; i < 9; ++i) {
    cells[i] = RgbaImage(layout.cellWidth, layout.cellHeight);
    for (size_t k = 0; k < cells[i].pixels.size(); k += 4)
      cells[i].pixels[k] = static_cast<float>(i) / 10;
  }
  const RgbaImage sheet = ComposeContactSheet(layout, cells, {});
  ASSERT_EQ(std::make_pair(sheet.width, sheet.height),
            std::make_pair(layout.Width(), layout.Height()));
  for (int i = 0; i < 9; ++i) {
    const int bottom = layout.CellTop(i / 3) + layout.labelHeight + layout.cellHeight - 1;
    for (int x : {layout.CellLeft(i % 3), layout.CellLeft(i % 3) + layout.cellWidth - 1}) {
      EXPECT_FLOAT_EQ(sheet.At(x, bottom)[0], static_cast<float>(i) / 10)
          << "cell " << i << " x " << x;
    }
  }
}

}  // namespace
}  // namespace kelvrix::cli
