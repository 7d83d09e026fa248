// The title screen's pictures: the big "Vems" name with the creature, the four buttons and the arrow cursor.
#include <algorithm>

#include "tools/art.h"
#include "tools/palette.h"
#include "tools/sheet.h"
#include "tools/steady_math.h"

using namespace palette;

namespace {

// A pixel font holding the letters the buttons need, 7 rows above the baseline and 2 for descenders
// (left out where a letter has none); 'o' is ink.
struct Glyph {
  char letter;
  int width;
  const char* rows[9];
};
const Glyph FONT[] = {
    {'P', 5, {"oooo.", "o...o", "o...o", "oooo.", "o....", "o....", "o...."}},
    {'S', 5, {".ooo.", "o...o", "o....", ".ooo.", "....o", "o...o", ".ooo."}},
    {'C', 5, {".ooo.", "o...o", "o....", "o....", "o....", "o...o", ".ooo."}},
    {'E', 5, {"ooooo", "o....", "o....", "oooo.", "o....", "o....", "ooooo"}},
    {'l', 2, {"o.", "o.", "o.", "o.", "o.", "o.", ".o"}},
    {'a', 5, {".....", ".....", ".ooo.", "....o", ".oooo", "o...o", ".oooo"}},
    {'y', 5, {".....", ".....", "o...o", "o...o", "o...o", "o...o", ".oooo", "....o", ".ooo."}},
    {'e', 5, {".....", ".....", ".ooo.", "o...o", "ooooo", "o....", ".ooo."}},
    {'t', 4, {".o..", ".o..", "oooo", ".o..", ".o..", ".o..", "..oo"}},
    {'u', 5, {".....", ".....", "o...o", "o...o", "o...o", "o..oo", ".oo.o"}},
    {'p', 5, {".....", ".....", "oooo.", "o...o", "o...o", "o...o", "oooo.", "o....", "o...."}},
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
    for (int row = 0; row < 9 && g.rows[row]; ++row)
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
  Canvas before = face;
  for (int x = 0; x < w; ++x)
    if (before.Get(x - 3, 3) == light && before.Get(x + 3, 3) == light) face.Set(x, 3, Colour{255, 255, 255});
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

// One title letter's shape, its left stroke centred on x; cap top 42, x-height about 86, baseline 148.
Canvas TitleLetter(char letter, double x, int w, int h) {
  Canvas m(w, h);
  const double r = 8.5;
  switch (letter) {
    case 'V':
      Stroke(m, x, 42, x + 29, 148, r);
      Stroke(m, x + 29, 148, x + 58, 42, r);
      break;
    case 'e':
      Arc(m, x + 28, 119, 28, 0, 315, r);
      Stroke(m, x + 1, 119, x + 56, 119, r * 0.75);
      break;
    case 'm':
      Stroke(m, x, 92, x, 148, r);
      Arc(m, x + 16, 108, 16, 180, 0, r);
      Stroke(m, x + 32, 108, x + 32, 148, r);
      Arc(m, x + 48, 108, 16, 180, 0, r);
      Stroke(m, x + 64, 108, x + 64, 148, r);
      break;
    case 's':
      Arc(m, x + 25, 106, 15, 35, 270, r);
      Arc(m, x + 25, 134, 14, 90, -145, r);
      break;
  }
  return m;
}

}  // namespace

Canvas DrawTitle() {
  const int W = titleSheet.frameWidth, H = titleSheet.frameHeight, gap = 15, shadow = 6;
  Canvas title(W, H);
  // The name: each letter in a colour of the game, with a thick dark edge and a drop shadow.
  struct Letter {
    char c;
    Colour light, base, dark;
  };
  const Letter letters[] = {{'V', BLUE_LIGHT, BLUE, BLUE_DARK},
                            {'e', GREEN_LIGHT, GREEN, GREEN_DARK},
                            {'m', GOLD_LIGHT, GOLD, GOLD_DARK},
                            {'s', Shade(RED, 1.35), RED, RED_DARK}};
  // Letters are drawn at a common origin, measured, and set side by side so that the word ends
  // (shadow included) a few pixels inside the right edge.
  Canvas masks[4];
  int left[4], right[4], total = 0;
  for (int i = 0; i < 4; ++i) {
    masks[i] = TitleLetter(letters[i].c, 40, W, H);
    left[i] = W;
    right[i] = -1;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (masks[i].Solid(x, y)) left[i] = std::min(left[i], x), right[i] = std::max(right[i], x);
    total += right[i] - left[i] + 1 + (i > 0 ? gap : 0);
  }
  Canvas name(W, H), drop(W, H);
  int pen = W - 4 - shadow - 2 - total;
  int wordLeft = pen;
  for (int i = 0; i < 4; ++i) {
    const Letter& l = letters[i];
    int top = H, bottom = -1;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (masks[i].Solid(x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (!masks[i].Solid(x, y)) continue;
        // Light from above: bright top, body colour, darker foot, and a shine just inside upper edges.
        double t = static_cast<double>(y - top) / (bottom - top);
        Colour col = t < 0.22 ? l.light : (t > 0.78 ? l.dark : l.base);
        if (t < 0.3 && !masks[i].Solid(x, y - 3) && masks[i].Solid(x, y - 2)) col = WHITE;
        int sx = x - left[i] + pen;
        name.Set(sx, y, col);
        drop.Set(sx + shadow, y + shadow, INK);
      }
    pen += right[i] - left[i] + 1 + gap;
  }
  Outline(name, INK);
  Outline(name, INK);
  Outline(drop, INK);
  Blit(title, drop, 0, 0);
  Blit(title, name, 0, 0);
  // The creature, four times its game size, standing in the room left of the name.
  Canvas creature = Enlarge(DrawBlueStanding(), 4);
  int bodyMiddle = 4 * 15 + 2;  // the creature's middle column, enlarged
  Blit(title, creature, wordLeft / 2 - bodyMiddle, 148 - 4 * 30);
  return title;
}

Canvas DrawButton(const char* label, const SpriteSheet& sheet) {
  Canvas b = BlankSheet(sheet);
  DrawButtonFace(b, 0, sheet.frameWidth, label, false);
  DrawButtonFace(b, sheet.frameHeight, sheet.frameWidth, label, true);
  return b;
}

Canvas DrawArrow() {
  // 'o' ink, 'w' white; the tip is the top left pixel, the point the game clicks with.
  static const char* rows[16] = {
      "o...............", "oo..............", "owo.............", "owwo............",
      "owwwo...........", "owwwwo..........", "owwwwwo.........", "owwwwwwo........",
      "owwwwwwwo.......", "owwwwwwwwo......", "owwwwwoooo......", "owwowwo.........",
      "owo.owwo........", "oo..owwo........", "o....owwo.......", ".....ooo........"};
  Canvas a(arrowSheet.frameWidth, arrowSheet.frameHeight);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (rows[y][x] == 'o') a.Set(x, y, INK);
      if (rows[y][x] == 'w') a.Set(x, y, WHITE);
    }
  return a;
}
