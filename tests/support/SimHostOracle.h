// The After Effects edition as the oracle of the other editions: a frame rendered through
// EffectMain in the simulated host, with the memory search fed known bytes and the editions'
// card texts, kept as packed pixels beside the input it was rendered over.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "edition/EditionFrame.h"
#include "render/NativeFill.h"
#include "render/RenderPlan.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

namespace kelvrix::testing {

struct PackedFrame {
  A_long width = 0;
  A_long height = 0;
  A_long pixelBytes = 0;
  std::vector<uint8_t> pixels;  // rows packed, the world's own pixel layout
};

inline PackedFrame Packed(const PF_EffectWorld& world, A_long pixelBytes) {
  PackedFrame out{world.width, world.height, pixelBytes, {}};
  const size_t row = static_cast<size_t>(world.width) * static_cast<size_t>(pixelBytes);
  out.pixels.resize(row * static_cast<size_t>(world.height));
  for (A_long y = 0; y < world.height; ++y) {
    std::memcpy(out.pixels.data() + row * static_cast<size_t>(y),
                reinterpret_cast<const uint8_t*>(world.data) + y * world.rowbytes, row);
  }
  return out;
}

// A world over a packed frame's pixels (which must outlive it).
inline PF_EffectWorld WorldOver(PackedFrame& frame) {
  PF_EffectWorld world{};
  world.data = reinterpret_cast<PF_PixelPtr>(frame.pixels.data());
  world.width = frame.width;
  world.height = frame.height;
  world.rowbytes = frame.width * frame.pixelBytes;
  world.extent_hint = PF_LRect{0, 0, frame.width, frame.height};
  world.world_flags = PF_WorldFlag_WRITEABLE;
  return world;
}

struct OracleFrame {
  PackedFrame input;
  PackedFrame output;
  PF_Err err = PF_Err_NONE;
};

// Memory pixels for a style that differ from their neighbours by far more than the noise, so
// that a pixel taken from the wrong place shows: 37 pixels of 8-bit steps of 37; 16-bit
// samples with those steps in the high byte; floats in steps of 1/13 in [0, 1).
inline std::vector<uint8_t> DistinctMemory(int style) {
  std::vector<uint8_t> bytes;
  for (int k = 0; k < 111; ++k) {
    const auto v = static_cast<uint8_t>((k * 37 + 11) % 256);
    if (style == kStyle8) bytes.push_back(v);
    if (style == kStyle16) bytes.insert(bytes.end(), {0x00, v});
    if (style == kStyleFloat) {
      const float f = static_cast<float>(k % 13 + 1) / 14.0f;
      uint8_t raw[4];
      std::memcpy(raw, &f, 4);
      bytes.insert(bytes.end(), raw, raw + 4);
    }
  }
  return bytes;
}

// While one lives, every render seeds its noise alike, so that two renders of the same memory
// (the simulated host's and an edition's) are equal pixel for pixel.
class SameNoise {
 public:
  SameNoise() : seed_(0x5EED) {}

 private:
  ScopedNoiseSeedForTesting seed_;
};

// One frame of a width x height project at `format` with exactly `style` ticked and Size
// `size`; the search gets `memory` repeated (empty: blank blocks only, so the card), and a card
// says `card`.
inline OracleFrame RenderInSimHost(PF_PixelFormat format, A_long width, A_long height, int style,
                                   double size, const std::vector<uint8_t>& memory,
                                   const CardTexts& card = edition::kEditionCard) {
  host::SimHost host(LinkedPlugin(), SmallProject(format, width, height));
  OracleFrame result;
  if (!SetUpInstance(host, style)) {
    result.err = PF_Err_INTERNAL_STRUCT_DAMAGED;
    return result;
  }
  host.Params()[1].u.fs_d.value = size;
  ScopedCardTextsForTesting cardTexts(card);
  ScopedFrameSearchSetupForTesting shortSearches(TimeLimit(20));
  BlockFeeder feeder;
  if (!memory.empty()) feeder.Queue(memory);
  auto frame = host.NewFrame();
  result.err = host.RenderFrame(*frame);
  const A_long pixelBytes = format == PF_PixelFormat_ARGB32   ? 4
                            : format == PF_PixelFormat_ARGB64 ? 8
                                                              : 16;
  result.input = Packed(frame->input, pixelBytes);
  result.output = Packed(frame->output, pixelBytes);
  return result;
}

// The largest difference of two 8 bpc frames in any channel (256 when their shapes differ).
inline int MaxDifference8(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

}  // namespace kelvrix::testing
