// The 32-bit Mersenne Twister of std::mt19937 (same seeding, same outputs in the same order),
// made a whole state at a time: the twist and the tempering are plain loops over arrays that
// the compiler vectorises, where std::mt19937 tempers one output per call behind a branch and,
// in some standard libraries, keeps its state in 64-bit words.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/Isa.h"

namespace kelvrix {

class BulkMt19937 {
 public:
  static constexpr size_t kBlockSize = 624;  // outputs per twist: the size of the state

  // std::mt19937's seeding: word 0 = seed, word i = 1812433253 * (w ^ (w >> 30)) + i.
  // `isa`: the build of the twist that runs; both give the same outputs.
  explicit BulkMt19937(uint32_t seed, Isa isa = DetectedIsa());

  // The next kBlockSize outputs: what kBlockSize calls of std::mt19937 seeded alike return.
  void NextBlock(uint32_t* out);

 private:
  Isa isa_;
  uint32_t state_[kBlockSize];
};

}  // namespace kelvrix
