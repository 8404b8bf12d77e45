// What the PiPL resource says, once for every platform: the effect's identity as a list of
// properties. The platforms' writers differ only in how they lay these out.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix {

enum class PiPLPlatform { kWindows, kMacOS };

struct PiPLProperty {
  enum class Kind { kLong, kTwoShorts, kShort, kPascalString, kCString };
  uint32_t key;  // a four-character code
  Kind kind;
  uint32_t number;   // kLong; kShort in the low 16 bits; kTwoShorts the first in the high 16
  const char* text;  // the string kinds
};

// In the order the resource lists them. Only the code properties (where the entry point is, and
// for which processor) depend on the platform.
std::vector<PiPLProperty> PiPLProperties(PiPLPlatform platform);

}  // namespace kelvrix
