// Arbitrary bytes as a level file: the loader must stay inside the world's tables and place every object
// it creates inside the world.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "world/level.h"
#include "world/world.h"

// Aborts, so libFuzzer keeps the input that broke the rule.
#define CHECK(condition)                                                               \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "level_fuzz: %s failed (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

static bool OnCellCorner(float x, float y) {
  const int ix = int(x), iy = int(y);
  return float(ix) == x && float(iy) == y && ix % CELL_SIZE == 0 && iy % CELL_SIZE == 0;
}

// Inside the world means a cell corner in column 0..39, row 0..29. A ladder's position rises from its
// "L" cell by its extra height, so for it the whole box from position down to the bottom of the "L" cell
// must lie within rows 0..29: position.y >= 0 and position.y + bounds.bottom == the "L" cell's bottom.
static void CheckObject(const GameObject& o) {
  CHECK(OnCellCorner(o.position.x, o.position.y));
  CHECK(o.position.x >= 0 && o.position.x < WORLD_WIDTH);
  CHECK(o.position.y >= 0 && o.position.y < WORLD_HEIGHT);
  CHECK(!o.hidden && o.possessedIndex == -1 && o.velocity == Vector2(0, 0));
  const int column = int(o.position.x) / CELL_SIZE;
  switch (o.type) {
    case Ladder: {
      CHECK(o.startPosition.x == o.position.x && OnCellCorner(o.startPosition.x, o.startPosition.y));
      CHECK(o.startPosition.y < WORLD_HEIGHT);
      CHECK(o.bounds.bottom > 0 && o.bounds.bottom % CELL_SIZE == 0);
      CHECK(o.position.y + float(o.bounds.bottom) == o.startPosition.y + CELL_SIZE);
      CHECK(levelGrid[column][int(o.startPosition.y) / CELL_SIZE] == 'L');
      return;
    }
    case Rock:
    case Paper:
    case Scissors:
    case Key:
      CHECK(o.startPosition == o.position);
      CHECK(levelGrid[column][int(o.position.y) / CELL_SIZE] == "?RPSK"[o.type]);
      return;
    case Door:
      CHECK(levelGrid[column][int(o.position.y) / CELL_SIZE] == '#');
      return;
    case BlueCreature:
    case GreenCreature:
      break;
  }
  CHECK(false && "a kind no level character creates");
}

// Everything a load leaves behind: the count, each object, and the view when a creature was placed.
static void CheckWorld() {
  CHECK(objectCount >= 0 && objectCount <= MAX_OBJECTS);
  for (int i = 0; i < objectCount; ++i) CheckObject(objects[i]);
  CHECK(camera.x >= 0 && camera.x <= WORLD_WIDTH - 640 && camera.y >= 0 && camera.y <= WORLD_HEIGHT - 480);
  CHECK(backgroundScroll == camera / 2);
  if (player.possessedIndex == -1) {
    CHECK(player.type == BlueCreature && OnCellCorner(player.position.x, player.position.y));
    CHECK(levelGrid[int(player.position.x) / CELL_SIZE][int(player.position.y) / CELL_SIZE] == 'G');
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetWorld();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  LoadLevelFromStream(in);
  CheckWorld();

  // A stream that yields nothing rebuilds the same level from the grid as it stands.
  const int32_t count = objectCount;
  std::istringstream nothing;
  LoadLevelFromStream(nothing);
  CheckWorld();
  CHECK(objectCount == count);
  return 0;
}
