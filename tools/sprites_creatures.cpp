// The blue and the green creature: a bean-shaped body with big eyes, stub arms and two feet.
#include "tools/art.h"
#include "tools/palette.h"
#include "tools/sheet.h"

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

// One 32x32 creature. The body spans x 10..20 and the hands reach x 9 and 21, so with the outline the
// creature covers x 8..22 and y 2..29, exactly its collision box. facing: 0 looks at us, 1 looks right.
// phase: walk step 0..3.
Canvas DrawCreature(const Body& body, int facing, int phase) {
  using namespace palette;
  bool standing = facing == 0;
  int p = standing ? 0 : phase;
  // Feet per step: the near foot (lighter) and the far one; each swings forward lifted a little.
  struct Foot {
    double x, lift;
  };
  static const Foot nearFoot[4] = {{19.0, 0}, {17.5, 0}, {12.0, 0}, {14.0, 1.5}};
  static const Foot farFoot[4] = {{12.0, 0}, {14.0, 1.5}, {19.0, 0}, {17.5, 0}};
  static const double armSwing[4] = {0, 1, 0, -1};
  double swing = standing ? 0 : armSwing[p];
  Foot nearOne = standing ? Foot{18.5, 0} : nearFoot[p], farOne = standing ? Foot{12.5, 0} : farFoot[p];

  Canvas c(32, 32);
  // The far foot first, each foot outlined on its own so the steps read.
  auto foot = [&c](Foot f, Colour fill, Colour top) {
    Canvas shoe(32, 32);
    FillEllipse(shoe, f.x, 27.1 - f.lift, 2.7, 1.9, fill);
    FillEllipse(shoe, f.x - 0.6, 26.5 - f.lift, 1.4, 0.8, top);
    Outline(shoe, INK);
    Blit(c, shoe, 0, 0);
  };
  foot(farOne, standing ? body.base : body.dark, standing ? body.light : body.base);

  // Body: a capsule from head to hips, lit from the upper left so a dark rim stays low right.
  Canvas trunk(32, 32);
  FillCapsule(trunk, 15.5, 9.0, 15.5, 20.5, 5.6, body.dark);
  Canvas lit(32, 32);
  FillCapsule(lit, 14.8, 8.3, 14.8, 19.6, 5.0, body.base);
  FillEllipse(lit, 12.8, 6.4, 2.0, 1.4, body.light);
  PaintInside(trunk, lit);
  // Eyes: white with a dark pupil looking where the creature goes.
  double eyeX[2] = {facing == 1 ? 13.6 : 12.6, facing == 1 ? 18.8 : 18.4};
  double look = facing == 1 ? 0.6 : 0.0;
  for (double ex : eyeX) {
    FillEllipse(trunk, ex, 10.0, facing == 1 ? 1.6 : 1.9, 2.6, WHITE);
    FillEllipse(trunk, ex + look, 10.9, 0.9, 1.5, INK);
  }
  // A small smile and cheeks.
  int mouthX = facing == 1 ? 16 : 15;
  trunk.Set(mouthX - 1, 14, INK);
  trunk.Set(mouthX, 15, INK);
  trunk.Set(mouthX + 1, 15, INK);
  trunk.Set(mouthX + 2, 14, INK);
  trunk.Set(static_cast<int>(eyeX[0]) - 1, 14, BLUSH);
  trunk.Set(static_cast<int>(eyeX[1]) + 1, 14, BLUSH);
  Outline(trunk, INK);
  Blit(c, trunk, 0, 0);
  foot(nearOne, body.base, body.light);

  // Stub hands, outlined on their own; they swing with the steps.
  Canvas hands(32, 32);
  FillEllipse(hands, 10.0, 19.5 - swing, 1.3, 1.8, body.base);
  FillEllipse(hands, 21.0, 19.5 + swing, 1.3, 1.8, body.base);
  Outline(hands, INK);
  Blit(c, hands, 0, 0);
  return c;
}

}  // namespace

Canvas DrawBlueSheet() {
  Body blue{palette::BLUE, palette::BLUE_LIGHT, palette::BLUE_DARK};
  Canvas sheet = BlankSheet(blueSheet);
  PutFrame(sheet, blueSheet, 0, DrawCreature(blue, 0, 0));
  for (int phase = 0; phase < 4; ++phase) {
    Canvas right = DrawCreature(blue, 1, phase);
    PutFrame(sheet, blueSheet, 1 + phase, right);
    // Walking left is the same step mirrored about the box's middle column, so the box stays put.
    PutFrame(sheet, blueSheet, 8 - phase, MirrorAbout(right, 15));
  }
  return sheet;
}

Canvas DrawGreenSheet() {
  Body green{palette::GREEN, palette::GREEN_LIGHT, palette::GREEN_DARK};
  Canvas sheet = BlankSheet(greenSheet);
  for (int phase = 0; phase < 4; ++phase) PutFrame(sheet, greenSheet, phase, DrawCreature(green, 1, phase));
  PutFrame(sheet, greenSheet, 4, DrawCreature(green, 0, 0));
  return sheet;
}

Canvas DrawBlueStanding() {
  return DrawCreature({palette::BLUE, palette::BLUE_LIGHT, palette::BLUE_DARK}, 0, 0);
}
