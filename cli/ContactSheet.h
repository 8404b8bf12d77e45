// The contact sheet: one frame of each of the nine combinations of project depth (rows: 8,
// 16, 32 bpc) and style (columns: Zesty, Cloudy, Tripping), shrunk and labelled.
#pragma once

#include <array>
#include <string>

#include "cli/RenderOptions.h"
#include "cli/Renderer.h"
#include "cli/RgbaImage.h"

namespace kelvrix::cli {

struct ContactSheetLayout {
  static constexpr int kShrink = 3;  // a cell is a third of the frame in each direction
  int cellWidth = 0;
  int cellHeight = 0;
  int labelHeight = 0;  // the strip above each cell that holds its label
  float fontPixels = 0.0f;
  int Width() const { return 3 * cellWidth; }
  int Height() const { return 3 * (labelHeight + cellHeight); }
  // Top-left pixel of the label strip of cell (row, column); the picture follows below it.
  int CellLeft(int column) const { return column * cellWidth; }
  int CellTop(int row) const { return row * (labelHeight + cellHeight); }
};

ContactSheetLayout ContactSheetLayoutFor(int frameWidth, int frameHeight);

// The sheet from nine cell pictures (row-major, each cellWidth x cellHeight) and their labels,
// drawn in white with the embedded font on dark strips.
RgbaImage ComposeContactSheet(const ContactSheetLayout& layout,
                              const std::array<RgbaImage, 9>& cells,
                              const std::array<std::string, 9>& labels);

// Renders the nine frames and writes the sheet to options.outputPattern (a PNG).
RenderSummary RenderContactSheet(const RenderOptions& options, RenderObserver& observer);

}  // namespace kelvrix::cli
