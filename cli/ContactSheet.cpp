#include "cli/ContactSheet.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "cli/ImageFiles.h"
#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/TextCanvas.h"

namespace kelvrix::cli {
namespace {

constexpr int kDepths[] = {8, 16, 32};
constexpr float kStripGrey = 0.12f;  // label strips: dark, so white text reads on them
constexpr float kLabelLeft = 6.0f;   // pixels from a cell's left edge

}  // namespace

ContactSheetLayout ContactSheetLayoutFor(int frameWidth, int frameHeight) {
  ContactSheetLayout layout;
  layout.cellWidth = std::max(frameWidth / ContactSheetLayout::kShrink, 1);
  layout.cellHeight = std::max(frameHeight / ContactSheetLayout::kShrink, 1);
  layout.fontPixels = std::clamp(static_cast<float>(layout.cellHeight) / 9.0f, 11.0f, 40.0f);
  layout.labelHeight = static_cast<int>(layout.fontPixels * 1.6f);
  return layout;
}

RgbaImage ComposeContactSheet(const ContactSheetLayout& layout,
                              const std::array<RgbaImage, 9>& cells,
                              const std::array<std::string, 9>& labels) {
  RgbaImage sheet(layout.Width(), layout.Height());
  for (size_t i = 0; i < sheet.pixels.size(); i += 4) {
    sheet.pixels[i] = sheet.pixels[i + 1] = sheet.pixels[i + 2] = kStripGrey;
    sheet.pixels[i + 3] = 1.0f;
  }
  text::TextCanvas canvas(layout.Width(), layout.Height());
  const std::vector<uint8_t> font = text::DecodeBase64(EmbeddedFontBase64);
  // A font that fails to load leaves the labels out; the pictures still tell the story.
  canvas.SetFont(font.data(), static_cast<int>(font.size()), layout.fontPixels);
  canvas.SetColor(text::PaintSlot::Fill, 1.0f, 1.0f, 1.0f, 1.0f);
  const float baselineDrop =
      (static_cast<float>(layout.labelHeight) + layout.fontPixels * 0.7f) / 2;
  const float maxWidth = static_cast<float>(layout.cellWidth) - 2 * kLabelLeft;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const size_t i = static_cast<size_t>(row * 3 + column);
      const int left = layout.CellLeft(column);
      const int top = layout.CellTop(row) + layout.labelHeight;
      const RgbaImage& cell = cells[i];
      for (int y = 0; y < std::min(cell.height, layout.cellHeight); ++y) {
        for (int x = 0; x < std::min(cell.width, layout.cellWidth); ++x) {
          std::copy_n(cell.At(x, y), 4, sheet.At(left + x, top + y));
        }
      }
      if (maxWidth > 0.0f) {
        canvas.FillText(labels[i].c_str(), static_cast<float>(left) + kLabelLeft,
                        static_cast<float>(layout.CellTop(row)) + baselineDrop, maxWidth);
      }
    }
  }
  // White text: its premultiplied canvas colour equals its coverage in any encoding, so a
  // source-over in display values is exact enough.
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const std::array<float, 4> c = canvas.PixelAt(x, y);
      float* p = sheet.At(x, y);
      for (int k = 0; k < 3; ++k) p[k] = c[k] + p[k] * (1.0f - c[3]);
      p[3] = std::min(1.0f, c[3] + p[3] * (1.0f - c[3]));
    }
  }
  return sheet;
}

RenderSummary RenderContactSheet(const RenderOptions& options, RenderObserver& observer) {
  using Clock = std::chrono::steady_clock;
  RgbaImage input;
  if (!options.inputPath.empty()) input = ReadPng(options.inputPath);
  const ContactSheetLayout layout = ContactSheetLayoutFor(options.width, options.height);
  FrameCache cache(static_cast<size_t>(options.cacheMegabytes) << 20);
  std::array<RgbaImage, 9> cells;
  std::array<std::string, 9> labels;
  RenderSummary summary;
  observer.OnStart(9);
  const Clock::time_point start = Clock::now();
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const size_t i = static_cast<size_t>(row * 3 + column);
      FrameReport report;
      {
        std::unique_ptr<FrameSession> session =
            OpenSession(options, kDepths[row], kDepths[column], cache,
                        options.inputPath.empty() ? nullptr : &input);
        cells[i] = ShrunkByBoxes(session->Render(0, 1, &report), ContactSheetLayout::kShrink);
      }
      report.index = static_cast<int>(i);
      report.total = 9;
      labels[i] = std::to_string(kDepths[row]) + " bpc project, " + StyleName(kDepths[column]) +
                  (report.memoryShown ? "" : " - no memory");
      ++summary.frames;
      summary.memoryFrames += report.memoryShown ? 1 : 0;
      summary.largestSearchBytes = std::max(summary.largestSearchBytes, report.searchBytes);
      summary.seconds = std::chrono::duration<double>(Clock::now() - start).count();
      observer.OnFrame(report);
    }
  }
  WritePng(options.outputPattern, ComposeContactSheet(layout, cells, labels), 8);
  observer.OnFinish(summary);
  return summary;
}

}  // namespace kelvrix::cli
