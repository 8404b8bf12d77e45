// The card's three lines at 1920 x 1080 (title 54 px, hints 35 px, maximum width 1896): the text
// canvas's FillText beside FreeType and stb_truetype drawing the same glyphs, unhinted, at the
// same positions and squeeze into a full-frame 8-bit bitmap, and beside FreeType whose coverage
// is also composited into a float canvas as FillText's is. Each renderer decodes the glyphs from
// the font on every iteration, as FillText does. Ratios are printed after the run.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/TextCanvas.h"

namespace {

using kelvrix::text::DecodeBase64;
using kelvrix::text::PaintSlot;
using kelvrix::text::TextCanvas;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr float kTitleSize = 54.0f;
constexpr float kHintSize = 35.0f;
constexpr float kMaxWidth = kWidth - 24;

struct CardLine {
  const char* text;
  float size;
  float baseline;
};
const CardLine kLines[] = {
    {"Couldn't find a large enough block of memory, try reducing the Size parameter.", kTitleSize,
     kTitleSize + 12},
    {"Purging your cache to re-render this frame may help.", kHintSize, 2 * kTitleSize + 36},
    {"Restarting AE can also also help - every AE session brings different data in memory.",
     kHintSize, 4 * kTitleSize + 72}};

const std::vector<uint8_t>& FontBytes() {
  static const std::vector<uint8_t> bytes = DecodeBase64(EmbeddedFontBase64);
  return bytes;
}

void BM_TextCanvasFillText(benchmark::State& state) {
  const std::vector<uint8_t>& font = FontBytes();
  TextCanvas canvas(kWidth, kHeight);
  canvas.SetFont(font.data(), static_cast<int>(font.size()), kTitleSize);
  canvas.SetColor(PaintSlot::Fill, 1, 1, 1, 1);
  for (auto _ : state) {
    for (const CardLine& line : kLines) {
      canvas.SetFont(nullptr, 0, line.size);
      canvas.FillText(line.text, 12.0f, line.baseline, kMaxWidth);
    }
    benchmark::DoNotOptimize(canvas.PixelAt(100, 50));
  }
}
BENCHMARK(BM_TextCanvasFillText)->Unit(benchmark::kMicrosecond);

// The card's lines through FreeType: each glyph loaded unhinted at its pen position and squeeze
// (the advances measured as FillText does), then handed to `draw` with the glyph slot.
template <typename Draw>
void LoadCardGlyphs(FT_Face face, Draw&& draw) {
  for (const CardLine& line : kLines) {
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(line.size * 64), 72, 72);
    const double scale = line.size / face->units_per_EM;
    long advanceSum = 0;
    for (const char* c = line.text; *c; ++c) {
      FT_Fixed advance = 0;
      FT_Get_Advance(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(*c)), FT_LOAD_NO_SCALE,
                     &advance);
      advanceSum += advance;
    }
    const double k =
        kMaxWidth / std::max(static_cast<double>(advanceSum) * scale, double{kMaxWidth});
    FT_Matrix squeeze{static_cast<FT_Fixed>(k * 65536.0), 0, 0, 65536};
    double penPixels = 12.0;
    for (const char* c = line.text; *c; ++c) {
      const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(*c));
      FT_Vector delta{static_cast<FT_Pos>(penPixels * 64.0),
                      static_cast<FT_Pos>((kHeight - line.baseline) * 64.0)};
      FT_Set_Transform(face, &squeeze, &delta);
      FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
      draw(face->glyph);
      // Unhinted, untransformed advance in 16.16 pixels.
      penPixels += k * static_cast<double>(face->glyph->linearHoriAdvance) / 65536.0;
    }
  }
}

void BM_FreeType(benchmark::State& state) {
  const std::vector<uint8_t>& font = FontBytes();
  FT_Library library;
  FT_Face face;
  FT_Init_FreeType(&library);
  FT_New_Memory_Face(library, font.data(), static_cast<FT_Long>(font.size()), 0, &face);
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0);
  FT_Bitmap bitmap{};
  bitmap.rows = kHeight;
  bitmap.width = kWidth;
  bitmap.pitch = kWidth;
  bitmap.buffer = pixels.data();
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  for (auto _ : state) {
    LoadCardGlyphs(
        face, [&](FT_GlyphSlot slot) { FT_Outline_Get_Bitmap(library, &slot->outline, &bitmap); });
    benchmark::DoNotOptimize(pixels[100]);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeType)->Unit(benchmark::kMicrosecond);

// White, opaque paint composited source-over with 8-bit coverage `coverage` into pixel `p`.
void Composite(uint8_t coverage, float* p) {
  const float a = static_cast<float>(coverage) * (1.0f / 255.0f);
  for (int channel = 0; channel < 3; ++channel) p[channel] = a + p[channel] * (1.0f - a);
  p[3] = std::min(a + p[3] * (1.0f - a), 1.0f);
}

// FreeType doing FillText's whole job: each glyph rendered (FT_Render_Glyph) and its 8-bit coverage
// composited into a float RGBA canvas of the frame's size, as the card's text must end up.
// BM_FreeType stops at the 8-bit bitmap.
void BM_FreeTypeIntoCanvas(benchmark::State& state) {
  const std::vector<uint8_t>& font = FontBytes();
  FT_Library library;
  FT_Face face;
  FT_Init_FreeType(&library);
  FT_New_Memory_Face(library, font.data(), static_cast<FT_Long>(font.size()), 0, &face);
  std::vector<float> canvas(static_cast<size_t>(kWidth) * kHeight * 4, 0.0f);
  for (auto _ : state) {
    LoadCardGlyphs(face, [&](FT_GlyphSlot slot) {
      FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL);
      const FT_Bitmap& bitmap = slot->bitmap;
      for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        const int y = kHeight - slot->bitmap_top + row;
        if (y < 0 || y >= kHeight) continue;
        const uint8_t* coverage = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
          const int x = slot->bitmap_left + column;
          if (coverage[column] == 0 || x < 0 || x >= kWidth) continue;
          Composite(coverage[column],
                    &canvas[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4]);
        }
      }
    });
    benchmark::DoNotOptimize(canvas[400]);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeIntoCanvas)->Unit(benchmark::kMicrosecond);

void BM_StbTrueType(benchmark::State& state) {
  const std::vector<uint8_t>& font = FontBytes();
  stbtt_fontinfo info;
  stbtt_InitFont(&info, font.data(), 0);
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0);
  for (auto _ : state) {
    for (const CardLine& line : kLines) {
      const float scale = stbtt_ScaleForMappingEmToPixels(&info, line.size);
      long advanceSum = 0;
      for (const char* c = line.text; *c; ++c) {
        int advance = 0, lsb = 0;
        stbtt_GetGlyphHMetrics(&info, stbtt_FindGlyphIndex(&info, *c), &advance, &lsb);
        advanceSum += advance;
      }
      const float k = kMaxWidth / std::max(static_cast<float>(advanceSum) * scale, kMaxWidth);
      long pen = 0;
      for (const char* c = line.text; *c; ++c) {
        const int glyph = stbtt_FindGlyphIndex(&info, *c);
        const float x = 12.0f + scale * k * static_cast<float>(pen);
        const float shiftX = x - static_cast<float>(static_cast<int>(x));
        int x0, y0, x1, y1;
        stbtt_GetGlyphBitmapBoxSubpixel(&info, glyph, scale * k, scale, shiftX, 0.0f, &x0, &y0, &x1,
                                        &y1);
        const int left = static_cast<int>(x) + x0;
        const int top = static_cast<int>(line.baseline) + y0;
        if (left >= 0 && top >= 0 && left + (x1 - x0) <= kWidth && top + (y1 - y0) <= kHeight) {
          stbtt_MakeGlyphBitmapSubpixel(&info, pixels.data() + top * kWidth + left, x1 - x0,
                                        y1 - y0, kWidth, scale * k, scale, shiftX, 0.0f, glyph);
        }
        int advance = 0, lsb = 0;
        stbtt_GetGlyphHMetrics(&info, glyph, &advance, &lsb);
        pen += advance;
      }
    }
    benchmark::DoNotOptimize(pixels[100]);
  }
}
BENCHMARK(BM_StbTrueType)->Unit(benchmark::kMicrosecond);

// Console output plus each benchmark's time, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name.empty() || run.aggregate_name == "median") {
        times[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.times["BM_TextCanvasFillText"];
  if (ours > 0.0) {
    for (const char* other : {"BM_FreeType", "BM_FreeTypeIntoCanvas", "BM_StbTrueType"}) {
      if (reporter.times.count(other)) {
        std::printf("FillText / %s (CPU time): %.2f (below 1 is faster)\n", other + 3,
                    ours / reporter.times[other]);
      }
    }
  }
  benchmark::Shutdown();
  return 0;
}
