#include "text/MessageCard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"
#include "text/Clamp.h"

namespace kelvrix {
namespace {

using text::ClampZeroTo;

constexpr float kSourceGain = 0.5f;
constexpr float kLeft = 12.0f;

// Fused multiply-adds, as the card's arithmetic is defined; where the loader can choose, a
// variant with the hardware instruction keeps them from being library calls per channel.
#if defined(__linux__) && defined(__x86_64__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define KELVRIX_FMA_VARIANTS __attribute__((target_clones("fma", "default")))
#else
#define KELVRIX_FMA_VARIANTS
#endif

template <typename Pixel>
const Pixel* SourcePixel(const CardBlend& blend, A_long x, A_long y, const Pixel* in) {
  if (blend.source == nullptr) return in;
  if (x >= blend.source->width || y >= blend.source->height) return nullptr;
  return reinterpret_cast<const Pixel*>(reinterpret_cast<const uint8_t*>(blend.source->data) +
                                        static_cast<ptrdiff_t>(y) * blend.source->rowbytes) +
         x;
}

// 8 and 16 bpc: v = source * gain + coverage * M, truncated into 0..M.
template <typename Pixel, typename Channel>
inline __attribute__((always_inline)) void CompositeInteger(const CardBlend& blend, A_long x,
                                                            A_long y, const Pixel* in, Pixel* out,
                                                            float full) {
  static const Pixel kTransparent{};
  const Pixel* p = SourcePixel(blend, x, y, in);
  const Pixel& s = p != nullptr ? *p : kTransparent;
  const float g = blend.sourceGain;
  // Most of the card is the dimmed source alone: with no coverage, fma(s, g, 0) is s * g rounded
  // once, so the canvas's memory is not read and no fma is needed.
  if (!blend.canvas->Inked(x, y)) {
    auto dimmed = [&](Channel source) {
      return static_cast<Channel>(ClampZeroTo(static_cast<float>(source) * g, full));
    };
    const Channel red = dimmed(s.red);
    const Channel green = dimmed(s.green);
    const Channel blue = dimmed(s.blue);
    out->alpha = static_cast<Channel>(ClampZeroTo(static_cast<float>(s.alpha), full));
    out->red = red;
    out->green = green;
    out->blue = blue;
    return;
  }
  const std::array<float, 4> c = blend.canvas->PixelAt(x, y);
  auto channel = [&](Channel source, float cover) {
    return static_cast<Channel>(
        ClampZeroTo(std::fma(static_cast<float>(source), g, cover * full), full));
  };
  const Channel red = channel(s.red, c[0]);
  const Channel green = channel(s.green, c[1]);
  const Channel blue = channel(s.blue, c[2]);
  const Channel alpha =
      static_cast<Channel>(ClampZeroTo(std::fma(c[3], full, static_cast<float>(s.alpha)), full));
  out->alpha = alpha;
  out->red = red;
  out->green = green;
  out->blue = blue;
}

// The embedded font, decoded once per process: every card needs the same bytes, and decoding
// them is a fixed cost per frame. A failed decode (out of memory) is tried again by the next
// card. Once filled, the bytes never change, so readers need no lock.
const std::vector<uint8_t>* EmbeddedFontBytes() {
  static std::mutex mutex;
  static std::vector<uint8_t> bytes;
  std::lock_guard<std::mutex> lock(mutex);
  if (bytes.empty()) bytes = text::DecodeBase64(EmbeddedFontBase64);
  return bytes.empty() ? nullptr : &bytes;
}

PF_Err RunComposite(PF_InData* in_data, PF_PixelFormat format, PF_EffectWorld* source,
                    PF_EffectWorld* output, CardBlend& blend, SuiteHandler& suites) {
  const A_long rows = output->height;
  switch (format) {
    case PF_PixelFormat_ARGB128:
      return suites.IterateFloatSuite1()->iterate(in_data, 0, rows, source, nullptr, &blend,
                                                  CompositeCardPixelFloat, output);
    case PF_PixelFormat_ARGB64:
      return suites.Iterate16Suite1()->iterate(in_data, 0, rows, source, nullptr, &blend,
                                               CompositeCardPixel16, output);
    default:
      return suites.Iterate8Suite1()->iterate(in_data, 0, rows, source, nullptr, &blend,
                                              CompositeCardPixel8, output);
  }
}

}  // namespace

CardLayout LayoutFor(A_long width, A_long height) {
  const double shorter = static_cast<double>(std::min(width, height));
  const double title = std::max(15.0, std::trunc(0.05 * shorter));
  const double hint = std::trunc(title * 0.65);
  CardLayout layout;
  layout.titleSize = static_cast<float>(title);
  layout.hintSize = static_cast<float>(hint);
  layout.left = kLeft;
  layout.maxWidth = static_cast<float>(static_cast<int64_t>(width) - 24);
  layout.titleBaseline = static_cast<float>(title + 12.0);
  layout.firstHintBaseline = static_cast<float>(2.0 * title + 36.0);
  layout.secondHintBaseline = static_cast<float>(4.0 * title + 72.0);
  return layout;
}

bool DrawCardText(text::TextCanvas& canvas, const CardLayout& layout, const std::string& title,
                  const std::string& firstHint, const std::string& secondHint) {
  const std::vector<uint8_t>* decoded = EmbeddedFontBytes();
  if (decoded == nullptr) return false;
  const std::vector<uint8_t>& font = *decoded;
  const int fontBytes = static_cast<int>(font.size());

  // The title and the two hints, white. A font that fails to load leaves the lines blank; the
  // dimmed input still shows.
  canvas.SetFont(font.data(), fontBytes, layout.titleSize);
  canvas.SetColor(text::PaintSlot::Fill, 1.0f, 1.0f, 1.0f, 1.0f);
  canvas.FillText(title.c_str(), layout.left, layout.titleBaseline, layout.maxWidth);
  const std::pair<const std::string*, float> hints[] = {{&firstHint, layout.firstHintBaseline},
                                                        {&secondHint, layout.secondHintBaseline}};
  for (const auto& [hint, baseline] : hints) {
    if (hint->empty()) continue;
    canvas.SetFont(font.data(), fontBytes, layout.hintSize);
    canvas.FillText(hint->c_str(), layout.left, baseline, layout.maxWidth);
  }
  return true;
}

PF_Err DrawMessageCard(std::string title, std::string firstHint, std::string secondHint,
                       PF_EffectWorld* source, PF_EffectWorld* output, PF_PixelFormat format,
                       PF_InData* in_data, SuiteHandler& suites) {
  if (output == nullptr || output->data == nullptr || source == nullptr ||
      source->data == nullptr) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const A_long width = output->width;
  const A_long height = output->height;
  // A canvas of a size its cells cannot address is empty by design and the card is the
  // dimmed input alone; memory that is not there is an error.
  text::TextCanvas canvas(width, height);
  if (!DrawCardText(canvas, LayoutFor(width, height), title, firstHint, secondHint)) {
    return PF_Err_OUT_OF_MEMORY;
  }
  // A card without its canvas, font or a line is not a finished frame.
  if (canvas.Status() == text::CanvasStatus::kOutOfMemory) return PF_Err_OUT_OF_MEMORY;

  // Worlds of different sizes are not paired by the host: the callbacks read the source.
  const bool sourceCovers = source->width >= width && source->height >= height;
  CardBlend blend{&canvas, kSourceGain, sourceCovers ? nullptr : source};
  return RunComposite(in_data, format, sourceCovers ? source : output, output, blend, suites);
}

KELVRIX_FMA_VARIANTS PF_Err CompositeCardPixel8(void* refcon, A_long x, A_long y, PF_Pixel8* in,
                                                PF_Pixel8* out) {
  CompositeInteger<PF_Pixel8, A_u_char>(*static_cast<const CardBlend*>(refcon), x, y, in, out,
                                        255.0f);
  return PF_Err_NONE;
}

KELVRIX_FMA_VARIANTS PF_Err CompositeCardPixel16(void* refcon, A_long x, A_long y, PF_Pixel16* in,
                                                 PF_Pixel16* out) {
  CompositeInteger<PF_Pixel16, A_u_short>(*static_cast<const CardBlend*>(refcon), x, y, in, out,
                                          32768.0f);
  return PF_Err_NONE;
}

KELVRIX_FMA_VARIANTS PF_Err CompositeCardPixelFloat(void* refcon, A_long x, A_long y,
                                                    PF_PixelFloat* in, PF_PixelFloat* out) {
  const CardBlend& blend = *static_cast<const CardBlend*>(refcon);
  static const PF_PixelFloat kTransparent{};
  const PF_PixelFloat* p = SourcePixel(blend, x, y, in);
  const PF_PixelFloat s = p != nullptr ? *p : kTransparent;
  const float g = blend.sourceGain;
  if (!blend.canvas->Inked(x, y)) {  // as for 8 and 16 bpc: s * g is fma(s, g, 0)
    out->red = ClampZeroTo(s.red * g, 1.0f);
    out->green = ClampZeroTo(s.green * g, 1.0f);
    out->blue = ClampZeroTo(s.blue * g, 1.0f);
    out->alpha = ClampZeroTo(s.alpha, 1.0f);
    return PF_Err_NONE;
  }
  const std::array<float, 4> c = blend.canvas->PixelAt(x, y);
  out->red = ClampZeroTo(std::fma(s.red, g, c[0]), 1.0f);
  out->green = ClampZeroTo(std::fma(s.green, g, c[1]), 1.0f);
  out->blue = ClampZeroTo(std::fma(s.blue, g, c[2]), 1.0f);
  out->alpha = ClampZeroTo(c[3] + s.alpha, 1.0f);
  return PF_Err_NONE;
}

}  // namespace kelvrix
