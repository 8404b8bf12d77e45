// What the frame benchmarks and the card-scaling program both need: the world format of a
// project depth and the process's page-fault count, on Linux and on Windows.
#pragma once

#include <cstdint>

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

}  // namespace kelvrix::bench
