#pragma once

namespace kelvrix::text {

struct Point2D {
  float x = 0.0f;
  float y = 0.0f;
};

// An affine map: (x, y) -> (a x + c y + e, b x + d y + f).
struct Transform2D {
  float a = 1.0f;
  float b = 0.0f;
  float c = 0.0f;
  float d = 1.0f;
  float e = 0.0f;
  float f = 0.0f;

  Point2D Apply(float x, float y) const { return {a * x + c * y + e, b * x + d * y + f}; }

  // This transform after m: the result maps a point through m first.
  Transform2D Compose(const Transform2D& m) const {
    return {a * m.a + c * m.b, b * m.a + d * m.b,     a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
  }
};

}  // namespace kelvrix::text
