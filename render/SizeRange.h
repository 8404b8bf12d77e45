// The Size parameter every edition shows: the side of the memory image in pixels.
#pragma once

namespace kelvrix {

constexpr double kSizeMin = 1.0;
constexpr double kSizeMax = 1000.0;
constexpr double kSizeDefault = 150.0;
constexpr double kSizeSliderMax = 500.0;  // the slider's reach; typed values go to kSizeMax

}  // namespace kelvrix
