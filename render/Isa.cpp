#include "render/Isa.h"

#if KELVRIX_HAS_AVX2_BUILDS
#include <cpuid.h>
#endif

namespace kelvrix {
namespace {

#if KELVRIX_HAS_AVX2_BUILDS
// Asks the processor itself rather than __builtin_cpu_supports, whose runtime support is missing
// from some compilers' libraries (Zig's for macOS among them). AVX2 is usable when the processor
// has it and the system saves the YMM registers on a switch (XCR0 bits 1 and 2).
bool Avx2Usable() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0) return false;
  if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) return false;
  unsigned xcr0_low = 0, xcr0_high = 0;
  __asm__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
  if ((xcr0_low & 6u) != 6u) return false;
  if (__get_cpuid_count(7, 0, &a, &b, &c, &d) == 0) return false;
  return (b & bit_AVX2) != 0;
}
#endif

Isa Detect() {
#if KELVRIX_HAS_AVX2_BUILDS
  if (Avx2Usable()) return Isa::kAvx2;
#endif
  return Isa::kBaseline;
}

}  // namespace

Isa DetectedIsa() {
  static const Isa detected = Detect();
  return detected;
}

}  // namespace kelvrix
