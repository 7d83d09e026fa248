// The two small value types of the world, Vector2 and Rect, and the few operations the game uses on them.
#pragma once
#include <cstdint>

// Two single-precision floats; (0, 0) when made without values.
struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;

  Vector2() = default;
  Vector2(float x_, float y_) : x(x_), y(y_) {}

  Vector2& operator+=(const Vector2& other) {
    x += other.x;
    y += other.y;
    return *this;
  }
  Vector2 operator+(const Vector2& other) const { return Vector2(x + other.x, y + other.y); }
  // Exact comparison: two vectors differ unless both components are bit-for-bit equal values.
  bool operator!=(const Vector2& other) const { return x != other.x || y != other.y; }
  bool operator==(const Vector2& other) const { return !(*this != other); }
  // Multiplies by the single-precision reciprocal, so (1280, 960) / 2 is exactly (640, 480).
  Vector2 operator/(float s) const {
    const float r = 1.0f / s;
    return Vector2(x * r, y * r);
  }
};

// A box in pixels; right and bottom lie just outside it, so left >= right or top >= bottom is empty.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A Rect from its four edges.
Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

// One edge of PlaceRect: the edge plus a float offset, summed exactly (a double holds both), truncated
// toward zero. Offsets the game never produces (NaN, beyond 32 bits) give 0 or saturate instead of being
// undefined behaviour. Inline because the collision test places boxes for every object on every call.
inline int32_t PlaceEdge(int32_t edge, float offset) {
  const double sum = static_cast<double>(edge) + static_cast<double>(offset);
  // Inside the 32-bit range the conversion itself truncates toward zero.
  if (sum > -2147483649.0 && sum < 2147483648.0) return static_cast<int32_t>(sum);
  if (sum != sum) return 0;
  return sum < 0 ? INT32_MIN : INT32_MAX;
}

// box moved by (x, y): each edge plus the offset, summed without rounding, then truncated toward zero.
Rect PlaceRect(const Rect& box, float x, float y);

// Overlap as the window system's rectangle intersection defines it: the intersection must have positive
// width and height, so edge-to-edge contact and empty boxes overlap nothing. Writes the intersection
// (or an empty rectangle) into out and returns whether it is non-empty.
bool IntersectRect(Rect& out, const Rect& a, const Rect& b);
