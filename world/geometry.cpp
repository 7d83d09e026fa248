// Rect helpers: construction, placing a box at a float position, and the overlap test.
#include "world/geometry.h"

#include <algorithm>

Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Rect r;
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
  return r;
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
