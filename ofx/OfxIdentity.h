// What a host sees of the effect: its identity, its clips and its two parameters. The
// parameter names are the script names hosts save in projects; never rename them.
#pragma once

#include "render/SizeRange.h"

namespace kelvrix::ofx {

constexpr const char* kPluginIdentifier = "com.torvendale.kelvrix";
constexpr unsigned kVersionMajor = 1;
constexpr unsigned kVersionMinor = 1;
constexpr const char* kLabel = "kelvrix";
constexpr const char* kGrouping = "Torvendale";
constexpr const char* kDescription =
    "Glitch: ignores the source and paints the raw bytes of freshly allocated, uncleared heap "
    "memory as a picture, read as 8-bit, 16-bit or float channels (Style) and stretched over "
    "the frame with a little noise; Size sets how much memory is shown. When no usable memory "
    "turns up it shows a message card over the dimmed source.";

constexpr const char* kSizeParam = "size";
constexpr const char* kSizeLabel = "Size";

// The stored value is the option's index: options may be relabelled, never reordered.
constexpr const char* kStyleParam = "style";
constexpr const char* kStyleLabel = "Style (Bit Depth)";
constexpr const char* kStyleOptions[] = {"Zesty (8 bpc)", "Cloudy (16 bpc)", "Tripping (32 bpc)"};
constexpr int kStyleOptionCount = 3;

}  // namespace kelvrix::ofx
