// Drawing of the play frame: background window, walls, objects, the controlled object, sparkles, cursor.
#include <cstdlib>

#include "game/game.h"
#include "platform/graphics.h"
#include "simulation/simulation.h"
#include "world/asset_table.h"
#include "world/startup.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 640;
constexpr int32_t SCREEN_HEIGHT = 480;
constexpr int32_t SPARKLES = 3;
constexpr float DOOR_DROP = 3.0f;  // the door picture stands on the floor line

// Integer part of a screen coordinate.
int32_t Screen(float value) { return static_cast<int32_t>(value); }

// Frame `frame` of texture, cut as its row of the asset table says.
void DrawFrame(Texture* texture, const SpriteSheet& sheet, int32_t x, int32_t y, int32_t frame) {
  DrawSpriteFrame(texture, x, y, frame, sheet.frameWidth, sheet.frameHeight, sheet.framesPerRow);
}

// True when the cell is a wall; the world's border counts as wall, so edge tiles look closed.
bool WallOrBorder(int32_t column, int32_t row) {
  if (column < 0 || column >= GRID_COLUMNS || row < 0 || row >= GRID_ROWS) return true;
  return levelGrid[column][row] == WALL_CELL;
}

// A ladder is a column of slices, one frame high each, from its top down to its height.
void DrawLadder(const GameObject& object, int32_t sx) {
  const float end = static_cast<float>(object.bounds.bottom) + object.position.y;
  for (int32_t v = static_cast<int32_t>(object.position.y); static_cast<float>(v) < end; v += ladderSheet.frameHeight)
    DrawFrame(ladderTexture, ladderSheet, sx, Screen(static_cast<float>(v) - camera.y), object.frame);
}

}  // namespace

// Draws the whole play scene through one sprite batch and presents it. Keys are stepped here, just before
// they are drawn, and only when the scene could be begun.
void DrawScene() {
  // 1. Nothing at all this frame when the scene cannot begin.
  if (FAILED(BeginScene(graphicsDevice))) return;
  // 2. The background window, at half the camera's pace.
  const Rect source_rect = MakeRect(Screen(backgroundScroll.x), Screen(backgroundScroll.y),
                                    Screen(backgroundScroll.x + SCREEN_WIDTH), Screen(backgroundScroll.y + SCREEN_HEIGHT));
  const Rect dest_rect = MakeRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  StretchRect(graphicsDevice, backgroundSurface, &source_rect, backBuffer, &dest_rect);
  // 3.-4. Sprites from here on; walls first.
  SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
  DrawWalls();
  // 5. Every object; keys drift by their own step.
  for (int32_t i = 0; i < objectCount; ++i) {
    if (objects[i].type == Key) UpdateObject(objects[i]);
    DrawObject(objects[i]);
  }
  // 6.-8. The controlled object over all others, its sparkles, and the cursor over everything.
  DrawObject(player);
  DrawSparkles();
  DrawFrame(arrowTexture, arrowSheet, cursorX, cursorY, 0);
  // 9.
  SpriteEnd(spriteBatch);
  EndScene(graphicsDevice);
  Present(graphicsDevice);
}

// Every wall cell, on screen or not, as the tile of its neighbour mask (1 right, 2 above, 4 left, 8 below).
void DrawWalls() {
  for (int32_t c = 0; c < GRID_COLUMNS; ++c) {
    for (int32_t r = 0; r < GRID_ROWS; ++r) {
      if (levelGrid[c][r] != WALL_CELL) continue;
      int32_t m = 0;
      if (WallOrBorder(c + 1, r)) m += 1;
      if (WallOrBorder(c, r - 1)) m += 2;
      if (WallOrBorder(c - 1, r)) m += 4;
      if (WallOrBorder(c, r + 1)) m += 8;
      DrawFrame(wallsTexture, wallsSheet, Screen(static_cast<float>(CELL_SIZE * c) - camera.x),
                Screen(static_cast<float>(CELL_SIZE * r) - camera.y), m);
    }
  }
}

// One object by its kind's sheet and frame rule; hidden objects are not drawn.
void DrawObject(GameObject object) {
  if (object.hidden) return;
  const int32_t sx = Screen(object.position.x - camera.x);
  const int32_t sy = Screen(object.position.y - camera.y);
  const float vx = object.velocity.x;
  switch (object.type) {
    case BlueCreature: {
      // Standing, walking right (frames 1..4) or walking left (frames 8..5).
      const int32_t frame = vx == 0.0f ? 0 : (vx < 0.0f ? 8 - object.frame : object.frame + 1);
      DrawFrame(blueTexture, blueSheet, sx, sy, frame);
      break;
    }
    case Rock:
      DrawFrame(rockTexture, rockSheet, sx, sy, object.frame);
      break;
    case Paper:
      DrawFrame(paperTexture, paperSheet, sx, sy, object.frame);
      break;
    case Scissors:
      DrawFrame(scissorsTexture, scissorsSheet, sx, sy, object.frame);
      break;
    case Key:
      // A key on the move sideways walks as the keyman, facing its way.
      if (vx != 0.0f)
        DrawFrame(keymanTexture, keymanSheet, sx, sy, vx < 0.0f ? 0 : 1);
      else
        DrawFrame(keyTexture, keySheet, sx, sy, object.frame);
      break;
    case Ladder:
      DrawLadder(object, sx);
      break;
    case Door:
      DrawFrame(doorTexture, doorSheet, sx, Screen(object.position.y - camera.y + DOOR_DROP), 0);
      break;
    case GreenCreature:
      DrawFrame(greenTexture, greenSheet, sx, sy, object.frame);
      break;
  }
}

// Three random 3x3 sparkles inside player's collision box mark the object under control.
void DrawSparkles() {
  const int32_t w = player.bounds.right - player.bounds.left;
  const int32_t h = player.bounds.bottom - player.bounds.top;
  // Every kind the player can be has a box; an empty one (no creature was ever placed, e.g. a level file
  // that could not be read) gets no sparkles rather than a division by zero.
  if (w <= 0 || h <= 0) return;
  for (int32_t i = 0; i < SPARKLES; ++i) {
    const int32_t x = Screen(static_cast<float>(std::rand() % w) + player.position.x - camera.x +
                             static_cast<float>(player.bounds.left));
    const int32_t y = Screen(static_cast<float>(std::rand() % h) + player.position.y - camera.y +
                             static_cast<float>(player.bounds.top));
    const int32_t f = std::rand() % 4;
    DrawFrame(sparkleTexture, sparkleSheet, x, y, f);
  }
}
