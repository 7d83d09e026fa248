// Rect helpers: construction, placing a box at a float position, and the overlap test.
#include "world/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Rect r;
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
  return r;
}

// An edge plus a float offset, summed exactly (a double holds both), truncated toward zero. Offsets the
// game never produces (NaN, beyond 32 bits) saturate instead of being undefined behaviour.
static int32_t PlaceEdge(int32_t edge, float offset) {
  const double sum = std::trunc(static_cast<double>(edge) + static_cast<double>(offset));
  if (std::isnan(sum)) return 0;
  if (sum <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (sum >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(sum);
}

Rect PlaceRect(const Rect& box, float x, float y) {
  return MakeRect(PlaceEdge(box.left, x), PlaceEdge(box.top, y), PlaceEdge(box.right, x), PlaceEdge(box.bottom, y));
}

bool IntersectRect(Rect& out, const Rect& a, const Rect& b) {
  const Rect cut = MakeRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                            std::min(a.bottom, b.bottom));
  if (cut.left < cut.right && cut.top < cut.bottom) {
    out = cut;
    return true;
  }
  out = Rect();
  return false;
}
