#include "render/Isa.h"

namespace kelvrix {
namespace {

Isa Detect() {
#if KELVRIX_HAS_AVX2_BUILDS
  __builtin_cpu_init();  // may run before the constructors that would have done it
  if (__builtin_cpu_supports("avx2")) return Isa::kAvx2;
#endif
  return Isa::kBaseline;
}

}  // namespace

Isa DetectedIsa() {
  static const Isa detected = Detect();
  return detected;
}

}  // namespace kelvrix
