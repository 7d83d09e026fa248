// The level loader: a 40 by 30 grid of characters becomes levelGrid, the objects and the player.
#include "world/level.h"

#include <algorithm>
#include <locale>

#include "platform/regular_file.h"
#include "world/world.h"

// Grows a ladder standing at (column, row) upwards: through open cells, then through the first run of
// walls, ending with that run's top wall. Other characters are stepped over without counting.
static void StretchLadder(GameObject& ladder, int column, int row) {
  bool wallSeen = false;
  // The scan never looks above row 0: a ladder with no wall run above it, or whose wall run reaches the
  // top row, simply ends at the top of the world with every cell counted so far.
  for (int r = row - 1; r >= 0; --r) {
    const char cell = levelGrid[column][r];
    if (cell == '.') {
      if (wallSeen) return;
    } else if (cell == WALL_CELL) {
      wallSeen = true;
    } else {
      continue;
    }
    ladder.position.y -= CELL_SIZE;
    ladder.bounds.bottom += CELL_SIZE;
  }
}

// Sets the fields the loader gives every object it places; everything else keeps its old value.
static void PlaceObject(GameObject& object, int32_t type, Vector2 cell) {
  SetObjectType(object, type);
  object.position = cell;
  object.startPosition = cell;
  object.velocity = Vector2(0, 0);
  object.possessedIndex = -1;
}

// The own creature goes to the cell and the 640 by 480 view centres on it, kept inside the world.
static void PlacePlayer(Vector2 cell) {
  PlaceObject(player, BlueCreature, cell);
  camera = Vector2(cell.x - 320, cell.y - 240);
  camera.x = std::clamp(camera.x, 0.0f, float(WORLD_WIDTH - 640));
  camera.y = std::clamp(camera.y, 0.0f, float(WORLD_HEIGHT - 480));
  backgroundScroll = camera / 2;
}

void LoadLevelFromStream(std::istream& in) {
  // Whitespace means the six classic blanks whatever locale the program runs under.
  in.imbue(std::locale::classic());
  in >> std::skipws;
  objectCount = 0;
  for (int r = 0; r < GRID_ROWS; ++r) {
    for (int c = 0; c < GRID_COLUMNS; ++c) {
      const Vector2 cell(float(c * CELL_SIZE), float(r * CELL_SIZE));
      char read;
      if (in >> read) levelGrid[c][r] = read;  // past the end the cell keeps what it held

      const char here = levelGrid[c][r];
      if (here == 'G') {
        PlacePlayer(cell);
        continue;
      }
      // The table has room for 100 objects; further object characters stay in the grid but create
      // nothing, so an overfull level still loads with its first 100 objects.
      if (objectCount >= MAX_OBJECTS) continue;
      GameObject& object = objects[objectCount];
      switch (here) {
        case 'R': PlaceObject(object, Rock, cell); break;
        case 'P': PlaceObject(object, Paper, cell); break;
        case 'S': PlaceObject(object, Scissors, cell); break;
        case 'K': PlaceObject(object, Key, cell); break;
        case 'L':
          PlaceObject(object, Ladder, cell);
          StretchLadder(object, c, r);
          break;
        case '#':
          // A door never comes back from hiding, so its start position is left alone.
          SetObjectType(object, Door);
          object.position = cell;
          object.velocity = Vector2(0, 0);
          object.possessedIndex = -1;
          break;
        default:
          continue;  // walls, open space and unknown characters create nothing
      }
      ++objectCount;
    }
  }
}

void LoadLevel(std::string fileName) {
  loadedLevelFile = fileName;
  // A file that does not open, or is no regular file (a pipe would block), makes every read fail.
  RegularFileStream file(fileName);
  LoadLevelFromStream(file);
  file.close();
}
