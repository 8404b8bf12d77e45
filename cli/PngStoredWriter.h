// PNG without a PNG library: the image data goes into stored (uncompressed) deflate blocks,
// which every PNG reader accepts. Files are larger than libpng's, never different in content.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kelvrix::cli {

// As EncodePng: RGBA, 8 or 16 bits, rows of native little-endian samples.
bool EncodePngStored(std::FILE* file, uint8_t* const* rows, uint32_t width, uint32_t height,
                     int bitsPerChannel, std::string* failure);

}  // namespace kelvrix::cli
