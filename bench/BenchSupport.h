// What the benchmark programs share: the world format of a project depth, the process's
// page-fault count (on Linux and on Windows), and blocks of noise for the search.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#ifdef _WIN32
#include <psapi.h>
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include "hostapi/HostApi.h"

namespace kelvrix::bench {

inline PF_PixelFormat FormatOf(int64_t depth) {
  return depth == 8 ? PF_PixelFormat_ARGB32
                    : (depth == 16 ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB128);
}

// Page faults of the process so far, first touches of memory the system hands out among them;
// -1 when the system will not say.
inline long long ProcessPageFaults() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return counters.PageFaultCount;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
#endif
}

// Blocks for the search: heap memory holding noise, as a busy host leaves image data in the
// heap, so every search accepts its first block and the figures measure the render, not
// the state of this process's heap. Filling a block (one copy) is part of the frame time.
inline const std::vector<uint8_t>& NoiseBytes() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> out(16 << 20);
    std::mt19937 random(1);
    for (auto& b : out) b = static_cast<uint8_t>(random() | 0x40u);
    return out;
  }();
  return bytes;
}

inline void* NoisyBlock(size_t bytes) {
  void* block = std::malloc(bytes);
  const auto& noise = NoiseBytes();
  if (block != nullptr) std::memcpy(block, noise.data(), std::min(bytes, noise.size()));
  return block;
}

}  // namespace kelvrix::bench
