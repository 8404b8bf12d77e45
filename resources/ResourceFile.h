// A Mac resource file with its resources in the data fork (a bundle's Resources/<name>.rsrc):
// how a Mac host finds the PiPL without a resource fork.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix {

// A file holding one resource of the given type and id, unnamed, big-endian throughout.
std::vector<uint8_t> BuildResourceFile(uint32_t type, int16_t id, const std::vector<uint8_t>& data);

}  // namespace kelvrix
