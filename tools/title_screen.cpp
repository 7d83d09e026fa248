// The title screen's pictures: the big "Vems" name with the creature, the four buttons and the arrow cursor.
#include <cstring>
#include <string>

#include "tools/art.h"
#include "tools/palette.h"
#include "tools/steady_math.h"

using namespace palette;

namespace {

// A 5-wide, 7-high pixel font holding the letters the buttons need; 'o' is ink.
struct Glyph {
  char letter;
  int width;
  const char* rows[7];
};
const Glyph FONT[] = {
    {'P', 5, {"oooo.", "o...o", "o...o", "oooo.", "o....", "o....", "o...."}},
    {'S', 5, {".ooo.", "o...o", "o....", ".ooo.", "....o", "o...o", ".ooo."}},
    {'C', 5, {".ooo.", "o...o", "o....", "o....", "o....", "o...o", ".ooo."}},
    {'E', 5, {"ooooo", "o....", "o....", "oooo.", "o....", "o....", "ooooo"}},
    {'l', 2, {"o.", "o.", "o.", "o.", "o.", "o.", ".o"}},
    {'a', 5, {".....", ".....", ".ooo.", "....o", ".oooo", "o...o", ".oooo"}},
    {'y', 5, {".....", ".....", "o...o", "o...o", ".oooo", "....o", ".ooo."}},
    {'e', 5, {".....", ".....", ".ooo.", "o...o", "ooooo", "o....", ".ooo."}},
    {'t', 4, {".o..", ".o..", "oooo", ".o..", ".o..", ".o..", "..oo"}},
    {'u', 5, {".....", ".....", "o...o", "o...o", "o...o", "o..oo", ".oo.o"}},
    {'p', 5, {".....", ".....", "oooo.", "o...o", "oooo.", "o....", "o...."}},
    {'r', 5, {".....", ".....", "o.oo.", "oo..o", "o....", "o....", "o...."}},
    {'d', 5, {"....o", "....o", ".oooo", "o...o", "o...o", "o...o", ".oooo"}},
    {'i', 1, {"o", ".", "o", "o", "o", "o", "o"}},
    {'s', 5, {".....", ".....", ".oooo", "o....", ".ooo.", "....o", "oooo."}},
    {'x', 5, {".....", ".....", "o...o", ".o.o.", "..o..", ".o.o.", "o...o"}},
};

// The glyph of a letter; every label's letter is in FONT.
const Glyph& GlyphOf(char letter) {
  for (const Glyph& g : FONT)
    if (g.letter == letter) return g;
  return FONT[0];
}

// Width in pixels of a label at the given scale, one font pixel of space between letters.
int TextWidth(const char* text, int scale) {
  int w = 0;
  for (const char* p = text; *p; ++p) w += (GlyphOf(*p).width + 1) * scale;
  return w - scale;
}

// Draws a label with its top left at (x, y), each font pixel a scale by scale block.
void DrawText(Canvas& c, const char* text, int x, int y, int scale, Colour ink) {
  for (const char* p = text; *p; ++p) {
    const Glyph& g = GlyphOf(*p);
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < g.width; ++col)
        if (g.rows[row][col] == 'o') FillRect(c, x + col * scale, y + row * scale, scale, scale, ink);
    x += (g.width + 1) * scale;
  }
}

// One button face of w x 34 at (0, top): a rounded pill with the label centred.
void DrawButtonFace(Canvas& c, int top, int w, const char* label, bool lit) {
  Colour light = lit ? GOLD_LIGHT : BLUE_LIGHT, base = lit ? GOLD : BLUE, dark = lit ? GOLD_DARK : BLUE_DARK;
  Canvas face(w, 34);
  const double r = 8.0;
  FillCapsule(face, r + 1, 17, w - r - 1, 17, 16.0, dark);
  // The rounded ends come from the capsule; flatten the top and bottom into a pill with corners of radius r.
  for (int y = 0; y < 34; ++y)
    for (int x = 0; x < w; ++x) {
      double dx = x + 0.5 < r + 1 ? r + 1 - (x + 0.5) : (x + 0.5 > w - r - 1 ? x + 0.5 - (w - r - 1) : 0);
      double dy = y + 0.5 < r + 1 ? r + 1 - (y + 0.5) : (y + 0.5 > 34 - r - 1 ? y + 0.5 - (34 - r - 1) : 0);
      face.Set(x, y, dx * dx + dy * dy <= r * r ? dark : KEY);
    }
  // Lit upper part, a shine line, the body colour in between.
  for (int y = 1; y < 31; ++y)
    for (int x = 0; x < w; ++x)
      if (face.Solid(x, y) && face.Solid(x, y + 2) && face.Solid(x + 1, y) && face.Solid(x - 1, y))
        face.Set(x, y, y < 15 ? light : base);
  for (int x = 0; x < w; ++x)
    if (face.Get(x, 3) == light && face.Get(x - 3, 3) == light && face.Get(x + 3, 3) == light)
      face.Set(x, 3, Colour{255, 255, 255});
  Outline(face, INK);
  // The outline falls outside the pill; the pill was drawn one pixel in, so it fits the face.
  int tx = (w - TextWidth(label, 2)) / 2, ty = 10;
  DrawText(face, label, tx + 1, ty + 1, 2, lit ? GOLD_DARK : INK);
  DrawText(face, label, tx, ty, 2, lit ? INK : WHITE);
  Blit(c, face, 0, top);
}

// Strokes of the big title letters: round-ended lines and arcs on the mask.
void Stroke(Canvas& m, double x0, double y0, double x1, double y1, double r) { FillCapsule(m, x0, y0, x1, y1, r, INK); }

// An arc from angle a0 to a1 (degrees, 90 = up) about (cx, cy), as short strokes.
void Arc(Canvas& m, double cx, double cy, double radius, double a0, double a1, double r) {
  const int steps = 24;
  for (int i = 0; i < steps; ++i) {
    double t0 = Radians(a0 + (a1 - a0) * i / steps), t1 = Radians(a0 + (a1 - a0) * (i + 1) / steps);
    Stroke(m, cx + radius * Cosine(t0), cy - radius * Sine(t0), cx + radius * Cosine(t1), cy - radius * Sine(t1), r);
  }
}

// One title letter's shape, placed with its left edge at x; cap top 40, x-height 80, baseline 150.
Canvas TitleLetter(char letter, double x, int w, int h) {
  Canvas m(w, h);
  const double r = 10.5;
  switch (letter) {
    case 'V':
      Stroke(m, x, 42, x + 32, 148, r);
      Stroke(m, x + 32, 148, x + 64, 42, r);
      break;
    case 'e':
      Arc(m, x + 30, 116, 31, 0, 315, r);
      Stroke(m, x + 1, 116, x + 61, 116, r);
      break;
    case 'm':
      Stroke(m, x, 86, x, 148, r);
      Arc(m, x + 18, 104, 18, 180, 0, r);
      Stroke(m, x + 36, 104, x + 36, 148, r);
      Arc(m, x + 54, 104, 18, 180, 0, r);
      Stroke(m, x + 72, 104, x + 72, 148, r);
      break;
    case 's':
      Arc(m, x + 27, 100, 17, 30, 270, r);
      Arc(m, x + 27, 132, 16, 90, -150, r);
      break;
  }
  return m;
}

}  // namespace

Canvas DrawTitle() {
  const int W = 486, H = 186;
  Canvas title(W, H);
  // The creature, four times its game size, waving from the left.
  Canvas creature = Enlarge(DrawBlueStanding(), 4);
  // The name: each letter in its own colour of the game, thick dark edge and a drop shadow.
  struct Letter {
    char c;
    double x;
    Colour light, base, dark;
  };
  const Letter letters[] = {{'V', 150, BLUE_LIGHT, BLUE, BLUE_DARK},
                            {'e', 240, GREEN_LIGHT, GREEN, GREEN_DARK},
                            {'m', 325, GOLD_LIGHT, GOLD, GOLD_DARK},
                            {'s', 425, Shade(RED, 1.35), RED, RED_DARK}};
  Canvas shadow(W, H), name(W, H);
  for (const Letter& l : letters) {
    Canvas mask = TitleLetter(l.c, l.x, W, H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (!mask.Solid(x, y)) continue;
        // Light from above: bright top, body colour, darker foot; a shine where the top edge is near.
        Colour col = y < 70 ? l.light : (y > 132 ? l.dark : l.base);
        if (!mask.Solid(x, y - 4) && mask.Solid(x, y - 3)) col = Colour{255, 255, 255};
        name.Set(x, y, col);
        shadow.Set(x + 6, y + 6, INK);
      }
  }
  Outline(name, INK);
  Outline(name, INK);
  Outline(shadow, INK);
  Blit(title, shadow, 0, 0);
  Blit(title, name, 0, 0);
  Blit(title, creature, 4, 30);
  return title;
}

Canvas DrawButton(const char* label, int width) {
  Canvas b(width, 68);
  DrawButtonFace(b, 0, width, label, false);
  DrawButtonFace(b, 34, width, label, true);
  return b;
}

Canvas DrawArrow() {
  // 'o' ink, 'w' white; the tip is the top left pixel, the point the game clicks with.
  static const char* rows[16] = {
      "o...............", "oo..............", "owo.............", "owwo............",
      "owwwo...........", "owwwwo..........", "owwwwwo.........", "owwwwwwo........",
      "owwwwwwwo.......", "owwwwwwwwo......", "owwwwwoooo......", "owwowwo.........",
      "owo.owwo........", "oo..owwo........", "o....owwo.......", ".....ooo........"};
  Canvas a(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (rows[y][x] == 'o') a.Set(x, y, INK);
      if (rows[y][x] == 'w') a.Set(x, y, WHITE);
    }
  return a;
}
