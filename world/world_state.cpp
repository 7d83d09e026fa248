// The module-level world state and its reset.
#include <cstring>

#include "world/world.h"

char levelGrid[GRID_COLUMNS][GRID_ROWS];
GameObject objects[MAX_OBJECTS];
int32_t objectCount = 0;
GameObject player;
Vector2 camera;
Vector2 backgroundScroll;
float sineTable[360];
float cosineTable[360];
std::string loadedLevelFile;

void ResetWorld() {
  std::memset(levelGrid, 0, sizeof levelGrid);
  for (GameObject& object : objects) object = GameObject();
  objectCount = 0;
  player = GameObject();
  camera = Vector2();
  backgroundScroll = Vector2();
  std::memset(sineTable, 0, sizeof sineTable);
  std::memset(cosineTable, 0, sizeof cosineTable);
  loadedLevelFile.clear();
}
