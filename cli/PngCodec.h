// The PNG codec behind WritePng and ReadPng: libpng where the build has it, otherwise a small
// writer of our own (no input), so kelvrix-render still writes pictures on every platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/RgbaImage.h"

namespace kelvrix::cli {

// Writes an RGBA PNG of `bitsPerChannel` (8 or 16) bits from rows of samples in native
// (little-endian) order. False with *failure set when it could not.
bool EncodePng(std::FILE* file, uint8_t* const* rows, uint32_t width, uint32_t height,
               int bitsPerChannel, std::string* failure);

}  // namespace kelvrix::cli
