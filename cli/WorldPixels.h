// Moving pixels between host worlds and pictures, and telling from a rendered frame whether
// it shows memory.
#pragma once

#include <cstdint>
#include <vector>

#include "cli/RgbaImage.h"
#include "hostapi/HostApi.h"

namespace kelvrix::cli {

// A world record over caller-owned bytes, rows packed, for painting outside the host's store.
PF_EffectWorld WorldOver(std::vector<uint8_t>& bytes, int width, int height, A_long pixelBytes);

// The project's full channel value: 255, 32768 (not 65535) or 1.0.
float FullValueOf(PF_PixelFormat format);

RgbaImage ImageFromWorld(const PF_EffectWorld& world, PF_PixelFormat format);
// Writes the picture (of the world's size) into the world, rounded to the world's depth.
void PaintWorld(PF_EffectWorld& world, PF_PixelFormat format, const RgbaImage& image);

// The effect gives a frame full alpha over the whole output only when it painted memory; a
// frame without memory keeps what was there (the host's fill pattern) or shows the message
// card, which is the input at half brightness under its text. So: memory when every alpha is
// full and fewer than half of the pixels are the input halved.
bool ShowsMemory(const PF_EffectWorld& output, const PF_EffectWorld& input, PF_PixelFormat format);

}  // namespace kelvrix::cli
