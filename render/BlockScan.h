// The test a block must pass to be shown: fewer than 60 % of its samples dark. It is the
// search's hot loop, read over every block tried, so it comes in builds for several instruction
// sets; production runs the widest this processor has, and the tests run every one it can.
#pragma once

#include <cstddef>

namespace kelvrix {

// Whether fewer than 60 % of the first `samples` samples at `block` are dark (8-bit, 16-bit
// and float). Reading stops as soon as the rest of the block cannot change the answer.
bool IsBlockUsable8(const void* block, size_t samples);
bool IsBlockUsable16(const void* block, size_t samples);
bool IsBlockUsableFloat(const void* block, size_t samples);

// One build of the three. Every build gives the same answers; the wider ones scan in-cache blocks
// at about twice the baseline's speed.
struct ScanBuild {
  const char* name;
  bool (*runsHere)();  // whether this processor has its instructions
  bool (*usable8)(const void* block, size_t samples);
  bool (*usable16)(const void* block, size_t samples);
  bool (*usableFloat)(const void* block, size_t samples);
};

// Every build in this binary, widest first; IsBlockUsable* run the first that runs here.
const ScanBuild* ScanBuilds(size_t* count);

}  // namespace kelvrix
