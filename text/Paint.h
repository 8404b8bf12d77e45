#pragma once

namespace kelvrix::text {

// One solid colour in linear light, premultiplied by alpha.
struct Paint {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 1.0f;
};

}  // namespace kelvrix::text
