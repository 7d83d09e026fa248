// The things a creature can get into (rock, paper airplane, scissors, key, ladder), the door and sparkles.
#include <cmath>

#include "tools/art.h"
#include "tools/palette.h"
#include "tools/sheet.h"
#include "tools/steady_math.h"

using namespace palette;

namespace {

// Local drawing coordinates turned by `degrees` counter-clockwise as seen on screen (y grows down),
// optionally mirrored top to bottom first, then moved to (cx, cy).
struct Pose {
  double cx, cy, degrees;
  bool flip = false;

  // Screen x, y of local point (lx, ly).
  void Apply(double lx, double ly, double& x, double& y) const {
    if (flip) ly = -ly;
    double a = Radians(degrees), c = Cosine(a), s = Sine(a);
    x = cx + lx * c + ly * s;
    y = cy - lx * s + ly * c;
  }
  // A polygon of local x,y pairs placed on screen.
  std::vector<double> Place(const std::vector<double>& local) const {
    std::vector<double> out(local.size());
    for (size_t i = 0; i + 1 < local.size(); i += 2) Apply(local[i], local[i + 1], out[i], out[i + 1]);
    return out;
  }
};

// The sheet with every frame i drawn by draw(i).
template <typename F>
Canvas Frames(const SpriteSheet& layout, F draw) {
  Canvas sheet = BlankSheet(layout);
  for (int i = 0; i < layout.frames; ++i) PutFrame(sheet, layout, i, draw(i));
  return sheet;
}

// Light from the upper left on a round body: a tone per pixel by its distance from the lit spot.
Colour RoundTone(double dx, double dy, double radius, Colour light, Colour base, Colour dark) {
  double lx = dx + radius * 0.35, ly = dy + radius * 0.35;
  double d2 = (lx * lx + ly * ly) / (radius * radius);
  if (d2 < 0.3) return light;
  if (d2 > 1.15) return dark;
  return base;
}

// The rock turned by `degrees`: a lumpy round stone with spots and a crack that turn with it,
// lit from a light that stays put, so the roll reads from the markings.
Canvas DrawRock(double degrees) {
  Canvas c(32, 32);
  const double cx = 15.5, cy = 15.5;
  Pose pose{cx, cy, degrees};
  // Outline of the stone: 16 corners at slightly different distances (fill stays within radius 12.9,
  // so with its outline the rock keeps to its box 2..28).
  static const double radius[16] = {12.8, 12.2, 12.6, 12.9, 12.0, 12.5, 12.9, 12.3,
                                    12.7, 12.1, 12.9, 12.4, 12.0, 12.8, 12.6, 12.2};
  std::vector<double> shape;
  for (int i = 0; i < 16; ++i) {
    double a = Radians(22.5 * i);
    shape.push_back(radius[i] * Cosine(a));
    shape.push_back(-radius[i] * Sine(a));
  }
  Canvas mask(32, 32);
  FillPolygon(mask, pose.Place(shape), STONE);
  // Lone pixels at sharp corners would grow single-pixel spikes once outlined.
  Canvas filled = mask;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (filled.Solid(x - 1, y) + filled.Solid(x + 1, y) + filled.Solid(x, y - 1) + filled.Solid(x, y + 1) <= 1)
        mask.Set(x, y, KEY);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (mask.Solid(x, y)) c.Set(x, y, RoundTone(x + 0.5 - cx, y + 0.5 - cy, 12.5, STONE_LIGHT, STONE, STONE_DARK));
  // Markings in the stone's own coordinates.
  struct Spot {
    double x, y, r;
  };
  static const Spot spots[] = {{-5.5, -4.0, 2.2}, {5.0, 5.5, 1.7}, {6.0, -6.0, 1.3}, {-3.0, 7.0, 1.2}};
  for (const Spot& s : spots) {
    double x, y;
    pose.Apply(s.x, s.y, x, y);
    Canvas spot(32, 32);
    FillEllipse(spot, x, y, s.r, s.r, STONE_DARK);
    FillEllipse(spot, x + 0.6, y + 0.6, s.r * 0.6, s.r * 0.6, Shade(STONE_DARK, 0.8));
    Blit(c, spot, 0, 0);
  }
  // A crack from the rim towards the middle.
  static const double crack[][2] = {{11.5, -1.0}, {8.0, 0.5}, {5.5, -0.5}, {2.5, 1.5}};
  for (int i = 0; i < 3; ++i) {
    double x0, y0, x1, y1;
    pose.Apply(crack[i][0], crack[i][1], x0, y0);
    pose.Apply(crack[i + 1][0], crack[i + 1][1], x1, y1);
    StrokeInside(c, mask, x0, y0, x1, y1, 0.55, STONE_DARK);
  }
  Outline(c, INK);
  return c;
}

// The paper airplane pointing along `heading` degrees (0 right, 90 up). Seen from the side with its big
// wing on top; flying leftwards it is mirrored rather than turned upside down, so the wing stays on top.
Canvas DrawPaper(double heading) {
  Canvas c(32, 32);
  bool left = heading > 90 && heading < 270;
  Pose pose{15.5, 15.5, heading, left};
  // Local frame: nose at +x, the wing above the fold (negative y), the keel below it.
  const std::vector<double> wing = {13.0, 0.0, -8.5, -5.5, -6.0, -1.0, -7.0, 0.5};
  const std::vector<double> keel = {13.0, 0.0, -7.0, 0.5, -5.0, 3.8};
  FillPolygon(c, pose.Place(keel), PAPER_SHADE);
  FillPolygon(c, pose.Place(wing), PAPER);
  // The fold along the wing's root.
  double x0, y0, x1, y1;
  pose.Apply(10.0, 0.0, x0, y0);
  pose.Apply(-7.0, 0.2, x1, y1);
  StrokeInside(c, c, x0, y0, x1, y1, 0.5, STEEL_DARK);
  Outline(c, INK);
  return c;
}

// Scissors pointing right, blades opened by `open` degrees in all; each blade carries the handle ring
// on the other side of the screw, so the rings part as the blades do.
Canvas DrawScissors(double open) {
  Canvas c(32, 32);
  const double px = 16.5, py = 18.5;  // low, so the closed scissors stand near the bottom of their box
  Pose poses[2] = {{px, py, open / 2}, {px, py, -open / 2}};  // blade up, ring down; and the other way
  for (int side = 0; side < 2; ++side) {
    double sign = side == 0 ? 1.0 : -1.0;
    double rx, ry, sx, sy;
    poses[side].Apply(-9.0, sign * 4.0, rx, ry);
    poses[side].Apply(-3.0, sign * 1.0, sx, sy);
    Canvas ring(32, 32);
    FillCapsule(ring, px, py, sx, sy, 1.3, RED);
    FillEllipse(ring, rx, ry, 4.4, 3.8, RED);
    FillEllipse(ring, rx - 0.5, ry - 0.5, 2.8, 2.3, RED_DARK);  // inner shadow
    FillEllipse(ring, rx, ry, 2.4, 1.9, KEY);                   // the hole
    Outline(ring, INK);
    Blit(c, ring, 0, 0);
  }
  for (int side = 0; side < 2; ++side) {
    // The blade: broad at the screw, a sharp tip; its lit edge on the upper side.
    const std::vector<double> blade = {-1.0, -2.4, 12.0, -0.5, 13.0, 0.2, -1.0, 2.2};
    const std::vector<double> edge = {-1.0, -2.4, 12.0, -0.5, 12.5, -0.2, -1.0, -0.8};
    Canvas b(32, 32);
    FillPolygon(b, poses[side].Place(blade), STEEL);
    FillPolygon(b, poses[side].Place(edge), STEEL_LIGHT);
    Outline(b, INK);
    Blit(c, b, 0, 0);
  }
  c.Set(static_cast<int>(px), static_cast<int>(py), STEEL_DARK);  // the screw
  return c;
}

// The key, lying on its side and turned about its shaft by `degrees`: the bow narrows and the bit
// swings from below the shaft to above it and back.
Canvas DrawKey(double degrees, bool glint) {
  Canvas c(32, 32);
  double tilt = Cosine(Radians(degrees));  // 1: bit down, -1: bit up
  double squash = std::fabs(tilt) < 0.3 ? 0.3 : std::fabs(tilt);
  const double cy = 15.5;
  // Bow.
  FillEllipse(c, 8.5, cy, 6.0 * 0.8 + 1.2, 6.0 * squash + 0.5, GOLD);
  FillEllipse(c, 8.0, cy - 0.8 * squash, 3.5, 3.6 * squash + 0.2, GOLD_LIGHT);
  FillEllipse(c, 8.5, cy, 2.6, 2.6 * squash, KEY);
  // Shaft.
  FillRect(c, 14, static_cast<int>(cy) - 1, 15, 3, GOLD);
  FillRect(c, 14, static_cast<int>(cy) - 1, 15, 1, GOLD_LIGHT);
  // Bit: two teeth whose depth follows the turn.
  int depth = static_cast<int>(std::lround(5.0 * tilt));
  for (int tooth = 0; tooth < 2; ++tooth) {
    int x = tooth == 0 ? 21 : 25;
    int w = tooth == 0 ? 3 : 2;
    if (depth > 0) FillRect(c, x, static_cast<int>(cy) + 2, w, depth - 1 + (tooth == 0 ? 1 : 0), GOLD_DARK);
    if (depth < 0) FillRect(c, x, static_cast<int>(cy) - 1 + depth + (tooth == 0 ? 0 : 1), w, -depth, GOLD_DARK);
  }
  Outline(c, INK);
  if (glint) {
    // A small star of light on the bow.
    c.Set(6, 12, WHITE);
    c.Set(5, 12, GOLD_LIGHT);
    c.Set(7, 12, GOLD_LIGHT);
    c.Set(6, 11, GOLD_LIGHT);
    c.Set(6, 13, GOLD_LIGHT);
  }
  return c;
}

// The key walking on two little legs, bow first, with an eye in the bow. step: which leg is forward.
Canvas DrawKeyman(bool facingRight, int step) {
  Canvas c(32, 32);
  const double cy = 14.5;
  // Drawn facing left (bow at the left), mirrored for the right.
  FillEllipse(c, 8.5, cy, 6.5, 6.5, GOLD);
  FillEllipse(c, 7.5, cy - 1.5, 3.5, 3.0, GOLD_LIGHT);
  FillRect(c, 14, 13, 14, 3, GOLD);
  FillRect(c, 14, 13, 14, 1, GOLD_LIGHT);
  FillRect(c, 24, 16, 2, 3, GOLD_DARK);
  FillRect(c, 27, 16, 2, 4, GOLD_DARK);
  // The bow's hole is a big eye.
  FillEllipse(c, 8.0, cy, 2.8, 3.2, WHITE);
  FillEllipse(c, 6.8, cy + 0.2, 1.2, 1.7, INK);
  // Legs under the shaft: thin, with round shoes, in a stride.
  static const double stride[4][2] = {{-3.0, 3.0}, {-1.5, 1.5}, {3.0, -3.0}, {1.5, -1.5}};
  for (int leg = 0; leg < 2; ++leg) {
    double hipX = leg == 0 ? 15.5 : 20.5;
    double footX = hipX + stride[step % 4][leg];
    FillCapsule(c, hipX, 16.0, footX, 26.0, 0.7, INK);
    FillEllipse(c, footX - 1.0, 27.0, 2.2, 1.3, RED);
  }
  Outline(c, INK);
  return facingRight ? MirrorAbout(c, 16) : c;
}

// The door: a wooden plank door with a round top, iron bands and a keyhole, in a stone frame; it ends at
// row 28 because the game draws doors three pixels low, so it stands on the floor.
Canvas DrawDoor(bool open) {
  Canvas c(32, 32);
  // Stone frame.
  FillRect(c, 3, 10, 26, 19, STONE);
  FillEllipse(c, 16.0, 11.0, 13.0, 10.5, STONE);
  FillRect(c, 3, 28, 26, 1, STONE_DARK);
  // Door leaf (or the dark opening).
  Canvas leaf(32, 32);
  FillRect(leaf, 6, 11, 20, 17, WOOD);
  FillEllipse(leaf, 16.0, 11.5, 10.0, 8.0, WOOD);
  if (open) {
    for (Colour& p : leaf.pixels)
      if (p != KEY) p = INK;
    Blit(c, leaf, 0, 0);
    FillPolygon(c, {6, 6, 10, 9, 10, 28, 6, 28}, WOOD_LIGHT);  // the leaf swung inwards
  } else {
    for (int y = 0; y < 32; ++y)
      for (int x = 6; x < 26; ++x)
        if (leaf.Solid(x, y) && (x - 6) % 5 == 4) leaf.Set(x, y, WOOD_DARK);  // planks
    FillRect(leaf, 6, 13, 20, 2, STEEL_DARK);
    FillRect(leaf, 6, 23, 20, 2, STEEL_DARK);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (!c.Solid(x, y)) leaf.Set(x, y, KEY);
    Blit(c, leaf, 0, 0);
    // Keyhole and handle.
    FillEllipse(c, 20.5, 18.0, 1.6, 1.6, INK);
    FillRect(c, 20, 18, 1, 3, INK);
    FillEllipse(c, 10.5, 19.5, 1.3, 1.3, GOLD);
  }
  Outline(c, INK);
  return c;
}

}  // namespace

Canvas DrawRockSheet() {
  return Frames(rockSheet, [](int i) { return DrawRock(22.5 * i); });
}

Canvas DrawPaperSheet() {
  // The heading each frame stands for, as the flight picks frames.
  static const int heading[18] = {0, 15, 30, 45, 60, 120, 135, 150, 165, 180, 195, 210, 225, 240, 300, 315, 330, 345};
  return Frames(paperSheet, [](int i) { return DrawPaper(heading[i]); });
}

Canvas DrawScissorsSheet() {
  // Closed, opening over three frames, wide open, closing over three.
  static const double open[8] = {0, 12, 24, 34, 40, 34, 24, 12};
  return Frames(scissorsSheet, [](int i) { return DrawScissors(open[i]); });
}

Canvas DrawKeySheet() {
  return Frames(keySheet, [](int i) { return DrawKey(22.5 * i, i == 0 || i == 1); });
}

Canvas DrawKeymanSheet() {
  // Only frames 0 (left) and 1 (right) are shown today; the rest hold the other strides of the same walk.
  return Frames(keymanSheet, [](int i) { return DrawKeyman(i % 2 == 1, i / 2); });
}

Canvas DrawDoorSheet() {
  return Frames(doorSheet, [](int i) { return DrawDoor(i == 1); });
}

Canvas DrawLadderSheet() {
  // Slices stack without a seam: the rails run the whole height and the rung wraps from row 7 to row 0.
  return Frames(ladderSheet, [](int frame) {
    Canvas s(ladderSheet.frameWidth, ladderSheet.frameHeight);
    for (int y = 0; y < 8; ++y) {
      int r = (y - frame + 8) % 8;  // row within the rung's own cycle
      if (r <= 3) {
        Colour rung = r == 0 || r == 3 ? INK : (r == 1 ? WOOD_LIGHT : WOOD);
        for (int x = 7; x <= 24; ++x) s.Set(x, y, rung);
      }
      // Rails: outline, light face, wood, dark side, outline.
      const Colour rail[6] = {INK, WOOD_LIGHT, WOOD, WOOD, WOOD_DARK, INK};
      for (int i = 0; i < 6; ++i) {
        s.Set(2 + i, y, rail[i]);
        s.Set(24 + i, y, rail[i]);
      }
    }
    return s;
  });
}

Canvas DrawSparkleSheet() {
  // A plus, a cross, a dot and a white plus: bright so they show on any body.
  static const char* shapes[4] = {".o.ooo.o.", "o.o.o.o.o", "....o....", ".w.www.w."};
  return Frames(sparkleSheet, [](int i) {
    Canvas s(sparkleSheet.frameWidth, sparkleSheet.frameHeight);
    for (int p = 0; p < 9; ++p)
      if (shapes[i][p] != '.') s.Set(p % 3, p / 3, p == 4 || shapes[i][p] == 'w' ? WHITE : Colour{255, 246, 150});
    return s;
  });
}
