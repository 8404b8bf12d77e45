// Fuzz target: arbitrary font bytes, text, sizes and canvas sizes through SetFont and FillText.
// Input layout:
//   0     canvas width - 1 (1..128)      1  canvas height - 1 (1..128)
//   2..3  pixel size x 64, big-endian   4..5  maxWidth: 0xFFFF = no limit, else value / 16 - 64
//   6     text length (mod 64)          7  pen x in pixels, signed
//   then the text, then the font bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/TextCanvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvrix::text;
  if (size < 8) return 0;
  const int width = 1 + data[0] % 128;
  const int height = 1 + data[1] % 128;
  const float pixelSize = static_cast<float>((data[2] << 8) | data[3]) / 64.0f;
  const int rawMaxWidth = (data[4] << 8) | data[5];
  const float maxWidth = rawMaxWidth == 0xFFFF ? TextCanvas::kNoMaxWidth
                                               : static_cast<float>(rawMaxWidth) / 16.0f - 64.0f;
  const size_t textLength = std::min<size_t>(data[6] % 64, size - 8);
  const float x = static_cast<float>(static_cast<int8_t>(data[7]));
  const std::string text(reinterpret_cast<const char*>(data + 8), textLength);
  const uint8_t* font = data + 8 + textLength;
  const int fontLength = static_cast<int>(size - 8 - textLength);

  TextCanvas canvas(width, height);
  canvas.SetFont(font, fontLength, pixelSize);
  canvas.SetColor(PaintSlot::Fill, 1.0f, 1.0f, 1.0f, 1.0f);
  canvas.FillText(text.c_str(), x, static_cast<float>(height) * 0.8f, maxWidth);
  canvas.SetFont(nullptr, 0, pixelSize * 0.65f);
  canvas.SetColor(PaintSlot::Fill, 0.5f, 0.25f, 1.0f, 0.75f);
  canvas.FillText(text.c_str(), x, static_cast<float>(height) * 0.4f, maxWidth);
  canvas.Font().GlyphRange(canvas.Font().GlyphIndex(0x41));

  // Source-over of clamped paints keeps every channel within [0, 1] and colour within alpha.
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int px = 0; px < canvas.Width(); ++px) {
      const auto p = canvas.PixelAt(px, y);
      if (!(p[3] >= 0.0f && p[3] <= 1.0f)) __builtin_trap();
      for (int c = 0; c < 3; ++c) {
        if (!(p[c] >= 0.0f && p[c] <= p[3] + 1e-5f)) __builtin_trap();
      }
    }
  }
  return 0;
}
