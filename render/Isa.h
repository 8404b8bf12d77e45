// The instruction sets the hot loops are built for. Each such loop is compiled twice from one
// body, for the x86-64 baseline (SSE2) every processor runs and for AVX2, and runs the AVX2 build
// where the processor has it.
#pragma once

namespace kelvrix {

enum class Isa { kBaseline, kAvx2 };

// AVX2 where this processor runs it, else the baseline; found once.
Isa DetectedIsa();

}  // namespace kelvrix

// Marks a function to be compiled for AVX2; the processor must be checked before it runs.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KELVRIX_AVX2 __attribute__((target("avx2")))
#define KELVRIX_HAS_AVX2_BUILDS 1
#else
#define KELVRIX_AVX2
#define KELVRIX_HAS_AVX2_BUILDS 0
#endif
