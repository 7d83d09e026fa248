// Canvas: pixel access, colour mixing and the plain shape fills every sheet is drawn with.
#include "tools/canvas.h"

#include <algorithm>
#include <cmath>

bool operator==(Colour a, Colour b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool operator!=(Colour a, Colour b) { return !(a == b); }

Canvas::Canvas(int w, int h, Colour fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

Colour Canvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return KEY;
  return pixels[static_cast<size_t>(y) * width + x];
}

void Canvas::Set(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<size_t>(y) * width + x] = c;
}

// Clamps one channel to a byte.
static uint8_t Channel(double v) { return static_cast<uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

Colour Shade(Colour c, double f) {
  if (f <= 1.0) return {Channel(c.r * f), Channel(c.g * f), Channel(c.b * f)};
  return Mix(c, Colour{255, 255, 255}, f - 1.0);
}

Colour Mix(Colour a, Colour b, double t) {
  return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t)};
}

void FillRect(Canvas& c, int x, int y, int w, int h, Colour col) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) c.Set(i, j, col);
}

void FillEllipse(Canvas& c, double cx, double cy, double rx, double ry, Colour col) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) c.Set(x, y, col);
    }
}

void FillCapsule(Canvas& c, double x0, double y0, double x1, double y1, double radius, Colour col) {
  double vx = x1 - x0, vy = y1 - y0, len2 = vx * vx + vy * vy;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = len2 > 0 ? std::clamp((px * vx + py * vy) / len2, 0.0, 1.0) : 0.0;
      double dx = px - t * vx, dy = py - t * vy;
      if (dx * dx + dy * dy <= radius * radius) c.Set(x, y, col);
    }
}

void StrokeInside(Canvas& c, const Canvas& inside, double x0, double y0, double x1, double y1, double radius,
                  Colour col) {
  Canvas line(c.width, c.height);
  FillCapsule(line, x0, y0, x1, y1, radius, col);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (line.Solid(x, y) && inside.Solid(x, y)) c.Set(x, y, col);
}

void FillPolygon(Canvas& c, const std::vector<double>& xy, Colour col) {
  size_t n = xy.size() / 2;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      double px = x + 0.5, py = y + 0.5;
      bool inside = false;
      for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
      }
      if (inside) c.Set(x, y, col);
    }
}

void Outline(Canvas& c, Colour line) {
  Canvas before = c;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      if (before.Solid(x, y)) continue;
      if (before.Solid(x - 1, y) || before.Solid(x + 1, y) || before.Solid(x, y - 1) || before.Solid(x, y + 1))
        c.Set(x, y, line);
    }
}

void Blit(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.height; ++j)
    for (int i = 0; i < src.width; ++i)
      if (src.Solid(i, j)) dst.Set(x + i, y + j, src.Get(i, j));
}

Canvas MirrorAbout(const Canvas& src, int axis) {
  Canvas out(src.width, src.height);
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) out.Set(x, y, src.Get(2 * axis - x, y));
  return out;
}

Canvas Enlarge(const Canvas& src, int factor) {
  Canvas out(src.width * factor, src.height * factor);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.Set(x, y, src.Get(x / factor, y / factor));
  return out;
}
