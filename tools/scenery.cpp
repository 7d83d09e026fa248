// Scenery: the wall tiles chosen by neighbour mask, and the calm cyan background that wraps both ways.
#include <cmath>

#include "tools/art.h"
#include "tools/palette.h"
#include "tools/sheet.h"
#include "tools/steady_math.h"

using namespace palette;

namespace {

// Neighbour bits of a wall tile: set when the cell on that side is wall too.
constexpr int RIGHT = 1, ABOVE = 2, LEFT = 4, BELOW = 8;

// The brick fill shared by every tile. Bricks are 16 by 8 and every other row is shifted by 8, so the
// pattern repeats every 32 pixels both ways and tiles side by side continue each other.
Colour BrickAt(int x, int y) {
  int row = y / 8, shift = (row % 2) * 8;
  int bx = (x + shift) % 16, by = y % 8;
  if (by == 7 || bx == 15) return MORTAR;
  int brick = ((x + shift) / 16) % 2 + 2 * (row % 4);  // which brick of the 32x32 repeat
  static const double tint[8] = {1.0, 0.92, 0.96, 1.04, 0.9, 1.0, 1.06, 0.94};
  Colour base = Shade(BRICK, tint[brick]);
  if (by == 0 || bx == 0) return Mix(base, BRICK_LIGHT, 0.6);
  if (by == 6 || bx == 14) return Mix(base, BRICK_DARK, 0.5);
  return base;
}

// One wall tile for neighbour mask m: bricks, with grass on an open top and a dark edge on every open side.
Canvas DrawWall(int m) {
  Canvas t(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) t.Set(x, y, BrickAt(x, y));
  if (!(m & ABOVE)) {
    // A grass cap with a ragged lower edge; the ragged bits repeat per tile so caps join.
    static const int hang[32] = {1, 0, 0, 2, 1, 0, 1, 0, 0, 1, 2, 1, 0, 0, 1, 0,
                                 0, 2, 1, 0, 1, 0, 0, 1, 0, 1, 2, 0, 0, 1, 0, 0};
    for (int x = 0; x < 32; ++x) {
      t.Set(x, 0, INK);
      t.Set(x, 1, GRASS_LIGHT);
      for (int y = 2; y < 4 + hang[x]; ++y) t.Set(x, y, GRASS);
      t.Set(x, 4 + hang[x], Shade(GRASS, 0.6));
    }
  }
  if (!(m & BELOW)) {
    for (int x = 0; x < 32; ++x) {
      t.Set(x, 30, Mix(t.Get(x, 30), INK, 0.45));
      t.Set(x, 31, INK);
    }
  }
  if (!(m & LEFT)) {
    for (int y = 0; y < 32; ++y) {
      if (t.Get(1, y) != INK) t.Set(1, y, Mix(t.Get(1, y), Colour{255, 255, 255}, 0.25));
      t.Set(0, y, INK);
    }
  }
  if (!(m & RIGHT)) {
    for (int y = 0; y < 32; ++y) {
      if (t.Get(30, y) != INK) t.Set(30, y, Mix(t.Get(30, y), INK, 0.45));
      t.Set(31, y, INK);
    }
  }
  // Round the outer corners where both sides are open.
  auto corner = [&t](int cx, int cy, int dx, int dy) {
    t.Set(cx, cy, KEY);
    t.Set(cx + dx, cy, KEY);
    t.Set(cx, cy + dy, KEY);
    t.Set(cx + dx, cy + dy, INK);
  };
  if (!(m & ABOVE) && !(m & LEFT)) corner(0, 0, 1, 1);
  if (!(m & ABOVE) && !(m & RIGHT)) corner(31, 0, -1, 1);
  if (!(m & BELOW) && !(m & LEFT)) corner(0, 31, 1, -1);
  if (!(m & BELOW) && !(m & RIGHT)) corner(31, 31, -1, -1);
  return t;
}

// Smooth noise in [0, 1) on a lattice of nx by ny cells that wraps, sampled at (u, v) in cells.
double WrappingNoise(double u, double v, int nx, int ny, uint32_t seed) {
  int i = static_cast<int>(std::floor(u)), j = static_cast<int>(std::floor(v));
  double fu = u - i, fv = v - j;
  fu = fu * fu * (3 - 2 * fu);
  fv = fv * fv * (3 - 2 * fv);
  auto at = [&](int a, int b) {
    return Hash01(static_cast<uint32_t>(((a % nx) + nx) % nx), static_cast<uint32_t>(((b % ny) + ny) % ny), seed);
  };
  double top = at(i, j) + (at(i + 1, j) - at(i, j)) * fu;
  double bottom = at(i, j + 1) + (at(i + 1, j + 1) - at(i, j + 1)) * fu;
  return top + (bottom - top) * fv;
}

}  // namespace

Canvas DrawWallsSheet() {
  Canvas sheet = BlankSheet(wallsSheet);
  for (int m = 0; m < wallsSheet.frames; ++m) PutFrame(sheet, wallsSheet, m, DrawWall(m));
  return sheet;
}

Canvas DrawBackground() {
  const int W = backgroundPicture.frameWidth, H = backgroundPicture.frameHeight;
  Canvas bg(W, H);
  // Soft clouds: octaves of noise whose lattices divide 640 by 480 exactly, so the picture wraps.
  struct Octave {
    int cell;
    double weight;
  };
  static const Octave octaves[] = {{160, 0.5}, {80, 0.28}, {40, 0.14}, {20, 0.08}};
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  static const Colour tones[4] = {CYAN_DEEP, CYAN, CYAN_LIGHT, CYAN_PALE};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double v = 0;
      uint32_t seed = 11;
      for (const Octave& o : octaves)
        v += o.weight * WrappingNoise((x + 0.5) / o.cell, (y + 0.5) / o.cell, W / o.cell, H / o.cell, seed++);
      // Stretch the middle of the range, then band it into four tones with an ordered dither at the edges.
      double level = (v - 0.5) * 2.6 + 1.7 + (bayer[y % 4][x % 4] / 16.0 - 0.5) * 0.35;
      int band = level < 0 ? 0 : (level > 3 ? 3 : static_cast<int>(level));
      bg.Set(x, y, tones[band]);
    }
  // A scatter of small rings and dots, drawn with wrap-around so none is cut at an edge.
  Lcg rng{20240611u};
  for (int n = 0; n < 36; ++n) {
    int cx = static_cast<int>(rng.Next() * W), cy = static_cast<int>(rng.Next() * H);
    bool ring = rng.Next() < 0.4;
    double r = ring ? 2.5 + rng.Next() * 3.0 : 1.0;
    for (int dy = -7; dy <= 7; ++dy)
      for (int dx = -7; dx <= 7; ++dx) {
        double d = std::sqrt(dx * dx + dy * dy);
        bool on = ring ? (d > r - 0.7 && d <= r + 0.3) : (std::abs(dx) + std::abs(dy) <= 1);
        if (on) bg.Set((cx + dx + W) % W, (cy + dy + H) % H, ring ? CYAN_PALE : Colour{214, 246, 250});
      }
  }
  return bg;
}
