#include "render/BulkMt19937.h"

namespace kelvrix {
namespace {

constexpr size_t kN = BulkMt19937::kBlockSize;
constexpr size_t kM = 397;  // the twist's middle distance
constexpr uint32_t kUpperBit = 0x80000000u;
constexpr uint32_t kLowerBits = 0x7FFFFFFFu;
constexpr uint32_t kMatrixA = 0x9908B0DFu;

// One word of the twist; the matrix is applied by a mask rather than a branch.
inline uint32_t Twisted(uint32_t word, uint32_t next, uint32_t far) {
  const uint32_t y = (word & kUpperBit) | (next & kLowerBits);
  return far ^ (y >> 1) ^ (-(y & 1u) & kMatrixA);
}

// One body for both builds: inlined into each, so each vectorises it for its own registers.
inline __attribute__((always_inline)) void TwistAndTemper(uint32_t* x, uint32_t* out) {
  // Three loops, so that none reads a word it writes: the first reads words not yet twisted
  // (i + 397), the second words twisted 227 places earlier, the last wraps to word 0.
  for (size_t i = 0; i < kN - kM; ++i) x[i] = Twisted(x[i], x[i + 1], x[i + kM]);
  for (size_t i = kN - kM; i < kN - 1; ++i) x[i] = Twisted(x[i], x[i + 1], x[i - (kN - kM)]);
  x[kN - 1] = Twisted(x[kN - 1], x[0], x[kM - 1]);
  for (size_t i = 0; i < kN; ++i) {
    uint32_t y = x[i];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    out[i] = y;
  }
}

void NextBlockBaseline(uint32_t* x, uint32_t* out) { TwistAndTemper(x, out); }
KELVRIX_AVX2 void NextBlockAvx2(uint32_t* x, uint32_t* out) { TwistAndTemper(x, out); }

}  // namespace

BulkMt19937::BulkMt19937(uint32_t seed, Isa isa) : isa_(isa) {
  state_[0] = seed;
  for (size_t i = 1; i < kN; ++i) {
    const uint32_t previous = state_[i - 1];
    state_[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<uint32_t>(i);
  }
}

void BulkMt19937::NextBlock(uint32_t* out) {
  (isa_ == Isa::kAvx2 ? NextBlockAvx2 : NextBlockBaseline)(state_, out);
}

}  // namespace kelvrix
