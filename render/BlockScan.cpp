#include "render/BlockScan.h"

#include <cstdint>
#include <cstring>

#include "render/PixelTraits.h"

// The wider builds are made where the compiler can target them function by function and the
// processor can be asked at run time. Not on Windows, which keeps the one build it always had.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(_WIN32)
#define KELVRIX_WIDE_SCANS 1
#else
#define KELVRIX_WIDE_SCANS 0
#endif

namespace kelvrix {
namespace {

// A block is counted a chunk at a time and decided between chunks, as soon as the rest cannot
// change the outcome. On fresh memory a block is rejected after 60 % of it, so fewer fresh
// pages get touched; a chunk is large enough that checking between chunks costs nothing
// measurable on a block that is read to its end.
constexpr size_t kChunkBytes = 16384;

// Counts with a comparison per sample and no branch, in lane-wise chunks whose counters
// cannot overflow, so the compiler turns the inner loop into wide vector compares.
template <typename Sample, typename Lane, size_t kLanes, typename IsDark>
inline __attribute__((always_inline)) size_t CountDark(const unsigned char* bytes, size_t samples,
                                                       IsDark isDark) {
  constexpr size_t kMaxRounds = static_cast<Lane>(~Lane{0});  // per-lane counter capacity
  size_t total = 0;
  size_t i = 0;
  while (samples - i >= kLanes) {
    Lane lanes[kLanes] = {};
    size_t rounds = (samples - i) / kLanes;
    if (rounds > kMaxRounds) rounds = kMaxRounds;
    for (size_t r = 0; r < rounds; ++r, i += kLanes) {
      for (size_t k = 0; k < kLanes; ++k) {
        Sample s;
        std::memcpy(&s, bytes + (i + k) * sizeof(Sample), sizeof(Sample));
        lanes[k] = static_cast<Lane>(lanes[k] + (isDark(s) ? 1 : 0));
      }
    }
    for (size_t k = 0; k < kLanes; ++k) total += lanes[k];
  }
  for (; i < samples; ++i) {
    Sample s;
    std::memcpy(&s, bytes + i * sizeof(Sample), sizeof(Sample));
    total += isDark(s) ? 1 : 0;
  }
  return total;
}

// Usable when fewer than 60 % of the samples are dark (exactly 60 % is not; an empty block
// never is). Settled early either way: once the dark samples reach the limit, or once even an
// all-dark rest would leave them below it.
template <typename Sample, typename Lane, size_t kLanes, typename IsDark>
inline __attribute__((always_inline)) bool IsBlockUsable(const void* block, size_t samples,
                                                         IsDark isDark) {
  constexpr size_t kChunkSamples = kChunkBytes / sizeof(Sample);
  const auto* bytes = static_cast<const unsigned char*>(block);
  const double limit = 0.6 * static_cast<double>(samples);
  size_t dark = 0;
  size_t read = 0;
  while (read < samples) {
    const size_t n = samples - read < kChunkSamples ? samples - read : kChunkSamples;
    dark += CountDark<Sample, Lane, kLanes>(bytes + read * sizeof(Sample), n, isDark);
    read += n;
    if (static_cast<double>(dark) >= limit) return false;
    if (static_cast<double>(dark + (samples - read)) < limit) return true;
  }
  return false;  // no samples: 0 is not below 0
}

// Counter lanes per depth: as many as one vector pass fills, in the narrowest type that counts.
template <typename Depth>
struct ScanLanes;
template <>
struct ScanLanes<Depth8> {
  using Lane = uint8_t;
  static constexpr size_t kCount = 256;
};
template <>
struct ScanLanes<Depth16> {
  using Lane = uint16_t;
  static constexpr size_t kCount = 128;
};
template <>
struct ScanLanes<DepthFloat> {
  using Lane = uint32_t;
  static constexpr size_t kCount = 64;
};

template <typename Depth>
inline __attribute__((always_inline)) bool UsableOf(const void* block, size_t samples) {
  using Lanes = ScanLanes<Depth>;
  return IsBlockUsable<typename Depth::Channel, typename Lanes::Lane, Lanes::kCount>(block, samples,
                                                                                     Depth::IsDark);
}

// One body, compiled once per build.
template <typename Depth>
bool UsableBaseline(const void* block, size_t samples) {
  return UsableOf<Depth>(block, samples);
}
bool Always() { return true; }

#if KELVRIX_WIDE_SCANS
template <typename Depth>
__attribute__((target("avx2"))) bool UsableAvx2(const void* block, size_t samples) {
  return UsableOf<Depth>(block, samples);
}
template <typename Depth>
__attribute__((target("arch=x86-64-v4"))) bool UsableV4(const void* block, size_t samples) {
  return UsableOf<Depth>(block, samples);
}
bool HasAvx2() {
  __builtin_cpu_init();  // may run before the constructors that would have done it
  return __builtin_cpu_supports("avx2");
}
bool HasV4() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("x86-64-v4");
}
#endif

constexpr ScanBuild kBuilds[] = {
#if KELVRIX_WIDE_SCANS
    {"x86-64-v4", HasV4, UsableV4<Depth8>, UsableV4<Depth16>, UsableV4<DepthFloat>},
    {"AVX2", HasAvx2, UsableAvx2<Depth8>, UsableAvx2<Depth16>, UsableAvx2<DepthFloat>},
#endif
    {"baseline", Always, UsableBaseline<Depth8>, UsableBaseline<Depth16>,
     UsableBaseline<DepthFloat>},
};

const ScanBuild& Chosen() {
  static const ScanBuild& chosen = []() -> const ScanBuild& {
    for (const ScanBuild& build : kBuilds) {
      if (build.runsHere()) return build;
    }
    return kBuilds[sizeof kBuilds / sizeof kBuilds[0] - 1];
  }();
  return chosen;
}

}  // namespace

const ScanBuild* ScanBuilds(size_t* count) {
  *count = sizeof kBuilds / sizeof kBuilds[0];
  return kBuilds;
}

bool IsBlockUsable8(const void* block, size_t samples) { return Chosen().usable8(block, samples); }
bool IsBlockUsable16(const void* block, size_t samples) {
  return Chosen().usable16(block, samples);
}
bool IsBlockUsableFloat(const void* block, size_t samples) {
  return Chosen().usableFloat(block, samples);
}

}  // namespace kelvrix
