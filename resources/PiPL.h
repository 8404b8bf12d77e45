// The PiPL resource: the effect's identity as the host reads it before loading any code.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix {

// The resource bytes (little-endian, 286 bytes), built from the effect's identity values.
std::vector<uint8_t> BuildPiPL();

}  // namespace kelvrix
