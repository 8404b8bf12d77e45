// The PiPL resource: the effect's identity as the host reads it before loading any code.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix {

// The Windows resource (little-endian, 286 bytes), as the .rc file embeds it.
std::vector<uint8_t> BuildPiPL();

// The Mac resource (big-endian, whatever the processor), as a resource file holds it.
std::vector<uint8_t> BuildMacPiPL();

}  // namespace kelvrix
