// The blue and the green creature: a bean-shaped body with big eyes, stub arms and two feet.
#include "tools/art.h"
#include "tools/palette.h"

namespace {

struct Body {
  Colour base, light, dark;
};

// Copies the solid pixels of src onto dst where dst is already solid: shading stays inside the shape.
void PaintInside(Canvas& dst, const Canvas& src) {
  for (int y = 0; y < dst.height; ++y)
    for (int x = 0; x < dst.width; ++x)
      if (dst.Solid(x, y) && src.Solid(x, y)) dst.Set(x, y, src.Get(x, y));
}

// One 32x32 creature. The body spans x 10..20 and the arms reach x 9 and 21, so with the outline the
// creature covers x 8..22 and y 2..29, exactly its collision box. facing: 0 looks at us, 1 looks right.
// phase: walk step 0..3.
Canvas DrawCreature(const Body& body, int facing, int phase) {
  using namespace palette;
  // Back and front foot per step; a lifted foot rises two pixels.
  static const double footX[4][2] = {{12.0, 19.0}, {13.5, 17.5}, {12.5, 19.0}, {12.0, 18.0}};
  static const double footLift[4][2] = {{0, 0}, {0, 2}, {0, 0}, {2, 0}};
  static const double armSwing[4] = {0, 1, 0, -1};
  bool standing = facing == 0;
  int p = standing ? 0 : phase;
  double swing = standing ? 0 : armSwing[p];
  auto footAt = [&](int f) { return standing ? (f == 0 ? 12.5 : 18.5) : footX[p][f]; };
  auto liftOf = [&](int f) { return standing ? 0.0 : footLift[p][f]; };

  Canvas c(32, 32);
  // Body: a capsule from head to hips, and two feet.
  FillCapsule(c, 15.5, 9.0, 15.5, 21.0, 5.6, body.dark);
  for (int f = 0; f < 2; ++f) FillEllipse(c, footAt(f), 27.2 - liftOf(f), 3.0, 1.9, body.dark);
  // Light from the upper left: the base colour shifted up-left leaves a dark rim low right.
  Canvas lit(32, 32);
  FillCapsule(lit, 14.8, 8.3, 14.8, 20.0, 5.0, body.base);
  for (int f = 0; f < 2; ++f) FillEllipse(lit, footAt(f) - 0.5, 26.8 - liftOf(f), 2.3, 1.2, body.base);
  FillEllipse(lit, 12.8, 6.4, 2.0, 1.4, body.light);
  PaintInside(c, lit);

  // Eyes: white with a dark pupil looking where the creature goes, and a shine to keep them lively.
  double shift = facing == 1 ? 1.0 : 0.0, look = facing == 1 ? 0.6 : 0.0;
  double eyeX[2] = {12.6 + shift, 18.4 + shift};
  for (double ex : eyeX) {
    FillEllipse(c, ex, 10.0, facing == 1 ? 1.7 : 1.9, 2.6, WHITE);
    FillEllipse(c, ex + look, 10.8, 1.0, 1.5, INK);
    c.Set(static_cast<int>(ex + look) - 1, 9, WHITE);
  }
  // A small smile and cheeks.
  int mouthX = facing == 1 ? 16 : 15;
  c.Set(mouthX - 1, 14, INK);
  c.Set(mouthX, 15, INK);
  c.Set(mouthX + 1, 15, INK);
  c.Set(mouthX + 2, 14, INK);
  c.Set(static_cast<int>(eyeX[0]) - 1, 14, BLUSH);
  c.Set(static_cast<int>(eyeX[1]) + 1, 14, BLUSH);
  Outline(c, INK);

  // Stub arms, outlined on their own so they read against the body; they swing with the steps.
  Canvas arms(32, 32);
  FillEllipse(arms, 10.0, 18.5 - swing, 1.2, 2.4, body.base);
  FillEllipse(arms, 21.0, 18.5 + swing, 1.2, 2.4, body.base);
  Outline(arms, INK);
  Blit(c, arms, 0, 0);
  return c;
}

}  // namespace

Canvas DrawBlueSheet() {
  Body blue{palette::BLUE, palette::BLUE_LIGHT, palette::BLUE_DARK};
  Canvas sheet(32 * 9, 32);
  Blit(sheet, DrawCreature(blue, 0, 0), 0, 0);
  for (int phase = 0; phase < 4; ++phase) {
    Canvas right = DrawCreature(blue, 1, phase);
    Blit(sheet, right, 32 * (1 + phase), 0);
    // Walking left is the same step mirrored about the box's middle column, so the box stays put.
    Blit(sheet, MirrorAbout(right, 15), 32 * (8 - phase), 0);
  }
  return sheet;
}

Canvas DrawGreenSheet() {
  Body green{palette::GREEN, palette::GREEN_LIGHT, palette::GREEN_DARK};
  Canvas sheet(32 * 5, 32);
  for (int phase = 0; phase < 4; ++phase) Blit(sheet, DrawCreature(green, 1, phase), 32 * phase, 0);
  Blit(sheet, DrawCreature(green, 0, 0), 32 * 4, 0);
  return sheet;
}

Canvas DrawBlueStanding() {
  return DrawCreature({palette::BLUE, palette::BLUE_LIGHT, palette::BLUE_DARK}, 0, 0);
}
