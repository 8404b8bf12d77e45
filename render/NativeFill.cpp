#include "render/NativeFill.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <random>
#include <type_traits>

#include "plugin/ScopedSuite.h"
#include "render/BlockSearch.h"
#include "render/BulkMt19937.h"
#include "render/NoiseSteps.h"
#include "render/PixelTraits.h"
#include "render/WorldCheck.h"

namespace kelvrix {
namespace {

// A test's fixed seed (bit 32 set) or none (0).
std::atomic<uint64_t> gFixedNoiseSeed{0};
constexpr uint64_t kSeedFixed = uint64_t{1} << 32;

uint32_t NoiseSeed() {
  const uint64_t fixed = gFixedNoiseSeed.load(std::memory_order_acquire);
  if ((fixed & kSeedFixed) != 0) return static_cast<uint32_t>(fixed);
  std::random_device device;
  return static_cast<uint32_t>(device());
}

constexpr int32_t kChannelsPerMemoryPixel = 3;  // red, green, blue; memory has no alpha

constexpr size_t kChannelsPerBlock = BulkMt19937::kBlockSize / 2;

// Each row draws from its own engine, a block of 624 draws (312 channels) at a time. The noise
// and the channel update are two loops: each vectorises, one loop that mixes doubles with 8-bit
// channels does not.
template <typename Depth>
PF_Err AddNoiseRow(void* reference, A_long, A_long y, A_long) {
  using Channel = typename Depth::Channel;
  RenderPlan& plan = *static_cast<RenderPlan*>(reference);
  BulkMt19937 engine(NoiseRowSeed(plan.rowSeedBase, y));
  const double low = Depth::NoiseLow(plan);
  const double high = Depth::NoiseHigh(plan);
  const size_t rowChannels = static_cast<size_t>(plan.imageWidth) * kChannelsPerMemoryPixel;
  uint8_t* row = plan.block + static_cast<size_t>(y) * rowChannels * sizeof(Channel);
  const NoiseSteps* steps = nullptr;
  if constexpr (std::is_same_v<Channel, uint8_t>) {
    const NoiseSteps& cached = CachedNoiseSteps(low, high);
    if (cached.valid) steps = &cached;
  }
  uint32_t draws[BulkMt19937::kBlockSize];
  double noise[kChannelsPerBlock];
  for (size_t first = 0; first < rowChannels; first += kChannelsPerBlock) {
    engine.NextBlock(draws);
    const size_t count = std::min(kChannelsPerBlock, rowChannels - first);
    if constexpr (std::is_same_v<Channel, uint8_t>) {
      if (steps != nullptr) {
        AddNoiseSteps(*steps, draws, row + first, count);
        continue;
      }
    }
    for (size_t c = 0; c < count; ++c) {
      noise[c] = NoiseFromDraws(draws[2 * c], draws[2 * c + 1], low, high);
    }
    uint8_t* channels = row + first * sizeof(Channel);
    for (size_t c = 0; c < count; ++c) {
      Channel sample;
      std::memcpy(&sample, channels + c * sizeof(Channel), sizeof sample);
      sample = Depth::AddNoise(sample, noise[c]);
      std::memcpy(channels + c * sizeof(Channel), &sample, sizeof sample);
    }
  }
  return PF_Err_NONE;
}

template <typename Pixel>
constexpr bool kRgbFollowOneAnother = offsetof(Pixel, green) ==
                                          offsetof(Pixel, red) + sizeof(Pixel::red) &&
                                      offsetof(Pixel, blue) ==
                                          offsetof(Pixel, green) + sizeof(Pixel::green);
static_assert(kRgbFollowOneAnother<PF_Pixel8> && kRgbFollowOneAnother<PF_Pixel16> &&
              kRgbFollowOneAnother<PF_PixelFloat>);

template <typename Depth>
PF_Err StretchRow(void* reference, A_long, A_long y, A_long) {
  using Channel = typename Depth::Channel;
  const RenderPlan& plan = *static_cast<const RenderPlan*>(reference);
  const PF_EffectWorld& world = *plan.targetWorld;
  const float width = static_cast<float>(world.width);
  const float imageWidth = static_cast<float>(plan.imageWidth);
  const float ry = static_cast<float>(y) / static_cast<float>(world.height);
  const float r = std::floor(static_cast<float>(plan.imageHeight) * ry);
  const int32_t last = plan.imageWidth * plan.imageHeight - 1;  // fits: the block is < 2^31 bytes
  const float lastIndex = static_cast<float>(last);
  auto* out = reinterpret_cast<typename Depth::Pixel*>(reinterpret_cast<uint8_t*>(world.data) +
                                                       static_cast<ptrdiff_t>(y) * world.rowbytes);
  const uint8_t* block = plan.block;
  constexpr size_t kMemoryPixelBytes = kChannelsPerMemoryPixel * sizeof(Channel);
  // The memory pixel of each column is worked out for a run of columns at a time, a loop the
  // compiler vectorises; the copy that follows is then a plain gather.
  constexpr A_long kRun = 256;
  int32_t index[kRun];
  for (A_long x0 = 0; x0 < world.width; x0 += kRun) {
    const A_long n = world.width - x0 < kRun ? world.width - x0 : kRun;
    for (A_long k = 0; k < n; ++k) {
      const float column = (r + static_cast<float>(x0 + k) / width) * imageWidth;
      // Past the image's end (a rounding at the last row) shows the last pixel.
      index[k] = column >= lastIndex ? last : static_cast<int32_t>(column);
    }
    // Red, green and blue follow one another in the host's pixel as in memory: one copy each.
    for (A_long k = 0; k < n; ++k) {
      std::memcpy(&out[x0 + k].red, block + static_cast<size_t>(index[k]) * kMemoryPixelBytes,
                  kMemoryPixelBytes);
    }
  }
  return PF_Err_NONE;
}

using FindBlockFunc = PF_Err (*)(MemoryBlockList&, size_t, RenderPlan&, const PF_InData*,
                                 PF_OutData*);

PF_Err RunPass(PF_InData* in_data, PF_OutData* out_data, A_long rows, RenderPlan& plan,
               PF_IterateGenericFunc pass) {
  ScopedSuite<PF_Iterate8Suite2> iterate(in_data, kPFIterate8Suite, kPFIterate8SuiteVersion2,
                                         out_data);
  return iterate->iterate_generic(rows, &plan, pass);
}

void SetNoiseBounds(RenderPlan& plan) {
  plan.noise8Low = -1.49;
  plan.noise8High = 1.49;
  plan.noise16Low = -150.0;
  plan.noise16High = 150.0;
  plan.noiseFloatLow = -0.01;
  plan.noiseFloatHigh = static_cast<double>(0.01f);
}

// One depth's fill: its block search and its two row passes.
template <typename Depth, FindBlockFunc FindBlock, PF_IterateGenericFunc AddNoise,
          PF_IterateGenericFunc Stretch>
PF_Err FillFromMemory(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                      PF_OutData* out_data) {
  if (PF_Err result = PF_Err_NONE; NothingToPaint(world, Depth::kPixelBytes, &result))
    return result;
  // The memory image: about Size x Size pixels with the world's aspect ratio.
  const MemoryImageSize image =
      ImageSizeFor(plan.size, world->width, world->height, Depth::kChannelBytes);
  if (!image.valid) {
    plan.noBlockFound = true;  // an image no block could hold: the card says so
    return PF_Err_NONE;
  }
  plan.imageWidth = image.width;
  plan.imageHeight = image.height;
  plan.channelBytes = Depth::kChannelBytes;
  plan.targetWorld = world;
  // A block of exactly the image's size; the list frees every block on the way out.
  MemoryBlockList blocks(FrameSearchSetup());
  PF_Err err = FindBlock(blocks, image.blockBytes, plan, in_data, out_data);
  plan.block = static_cast<uint8_t*>(blocks.Last());
  if (plan.noBlockFound || err != PF_Err_NONE) return err;
  // Fresh noise for every fill.
  plan.rng.seed(static_cast<std::mt19937::result_type>(NoiseSeed()));
  plan.rowSeedBase = static_cast<uint32_t>(plan.rng());
  SetNoiseBounds(plan);
  // Noise into the image in place, then the image stretched over the world.
  err = RunPass(in_data, out_data, plan.imageHeight, plan, AddNoise);
  if (err == PF_Err_NONE) {
    err = RunPass(in_data, out_data, world->height, plan, Stretch);
  }
  return err;  // the blocks go with the list
}

}  // namespace

MemoryImageSize ImageSizeFor(int32_t size, A_long worldWidth, A_long worldHeight,
                             int32_t channelBytes) {
  MemoryImageSize out{false, 0, 0, 0};
  if (worldWidth <= 0 || worldHeight <= 0 || size < 0) return out;
  const float aspect = static_cast<float>(worldWidth) / static_cast<float>(worldHeight);
  const uint32_t squared = static_cast<uint32_t>(size) * static_cast<uint32_t>(size);
  const float s2 = static_cast<float>(squared);
  const float height = std::ceil(std::sqrt(s2 / aspect));
  const float width = std::ceil(height * aspect);
  // Only sizes a 32-bit byte count can address reach the integer conversions.
  constexpr float kMaxSide = 2147483520.0f;  // the largest float below 2^31
  if (!(height >= 0.0f && height <= kMaxSide && width >= 0.0f && width <= kMaxSide)) return out;
  const int64_t bytes = static_cast<int64_t>(width) * static_cast<int64_t>(height) *
                        kChannelsPerMemoryPixel * channelBytes;
  if (bytes > std::numeric_limits<int32_t>::max()) return out;
  out.valid = true;
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.blockBytes = static_cast<size_t>(bytes);
  return out;
}

PF_Err FillFromMemory8(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                       PF_OutData* out_data) {
  return FillFromMemory<Depth8, FindMemoryBlock8, AddNoiseRow8, StretchRow8>(plan, world, in_data,
                                                                             out_data);
}
PF_Err FillFromMemory16(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                        PF_OutData* out_data) {
  return FillFromMemory<Depth16, FindMemoryBlock16, AddNoiseRow16, StretchRow16>(plan, world,
                                                                                 in_data, out_data);
}
PF_Err FillFromMemoryFloat(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                           PF_OutData* out_data) {
  return FillFromMemory<DepthFloat, FindMemoryBlockFloat, AddNoiseRowFloat, StretchRowFloat>(
      plan, world, in_data, out_data);
}

PF_Err AddNoiseRow8(void* p, A_long t, A_long y, A_long n) {
  return AddNoiseRow<Depth8>(p, t, y, n);
}
PF_Err AddNoiseRow16(void* p, A_long t, A_long y, A_long n) {
  return AddNoiseRow<Depth16>(p, t, y, n);
}
PF_Err AddNoiseRowFloat(void* p, A_long t, A_long y, A_long n) {
  return AddNoiseRow<DepthFloat>(p, t, y, n);
}
PF_Err StretchRow8(void* p, A_long t, A_long y, A_long n) { return StretchRow<Depth8>(p, t, y, n); }
PF_Err StretchRow16(void* p, A_long t, A_long y, A_long n) {
  return StretchRow<Depth16>(p, t, y, n);
}
PF_Err StretchRowFloat(void* p, A_long t, A_long y, A_long n) {
  return StretchRow<DepthFloat>(p, t, y, n);
}

ScopedNoiseSeedForTesting::ScopedNoiseSeedForTesting(uint32_t seed)
    : previous_(gFixedNoiseSeed.exchange(kSeedFixed | seed, std::memory_order_acq_rel)) {}

ScopedNoiseSeedForTesting::~ScopedNoiseSeedForTesting() {
  gFixedNoiseSeed.store(previous_, std::memory_order_release);
}

}  // namespace kelvrix
