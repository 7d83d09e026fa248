// Canvas: an RGB picture with the sprite colour key as "no pixel", and the few drawing tools the art needs.
#pragma once

#include <cstdint>
#include <vector>

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
};

bool operator==(Colour a, Colour b);
bool operator!=(Colour a, Colour b);

// The game loads every sheet with this key; pixels of exactly this colour are see-through.
constexpr Colour KEY{255, 0, 128};

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;  // row by row, top row first

  Canvas() = default;
  Canvas(int w, int h, Colour fill = KEY);
  // Out-of-range reads give the key, out-of-range writes are dropped, so shapes may hang over edges.
  Colour Get(int x, int y) const;
  void Set(int x, int y, Colour c);
  bool Solid(int x, int y) const { return Get(x, y) != KEY; }
};

// A colour scaled towards black (f < 1) or mixed towards white (f > 1).
Colour Shade(Colour c, double f);
// Linear mix of two colours, t = 0 gives a.
Colour Mix(Colour a, Colour b, double t);

void FillRect(Canvas& c, int x, int y, int w, int h, Colour col);
// Every pixel whose centre lies in the ellipse centred (cx, cy) with radii rx, ry.
void FillEllipse(Canvas& c, double cx, double cy, double rx, double ry, Colour col);
// A stroke of the given radius between two points, round at both ends.
void FillCapsule(Canvas& c, double x0, double y0, double x1, double y1, double radius, Colour col);
// The same stroke, drawn only where `inside` is solid (a crack or a fold that must stay on its shape).
void StrokeInside(Canvas& c, const Canvas& inside, double x0, double y0, double x1, double y1, double radius,
                  Colour col);
// Even-odd fill of a closed polygon given as x,y pairs.
void FillPolygon(Canvas& c, const std::vector<double>& xy, Colour col);
// A one-pixel ring of colour `line` on every empty pixel that touches a solid one side-on.
void Outline(Canvas& c, Colour line);
// Copies the solid pixels of `src` onto `dst` at (x, y).
void Blit(Canvas& dst, const Canvas& src, int x, int y);
// Mirror image left to right about the column `axis` (x becomes 2 * axis - x).
Canvas MirrorAbout(const Canvas& src, int axis);
// Whole-number enlargement, every pixel becoming a factor by factor block.
Canvas Enlarge(const Canvas& src, int factor);
