// The world: object kinds, the object record, the module-level world state and the level loader.
// The state is the level grid, the objects, the controlled object, the view and the angle tables.
#pragma once
#include <cstdint>
#include <string>

#include "world/geometry.h"

// Object kinds. 6 and 7 name no kind; records may still carry them (SetObjectType takes any value).
enum ObjectType : int32_t {
  BlueCreature = 0,
  Rock = 1,
  Paper = 2,
  Scissors = 3,
  Key = 4,
  Ladder = 5,
  Door = 8,
  GreenCreature = 9,
};

// One entity of a level; a plain value, copied whole by the possession steps.
struct GameObject {
  ObjectType type = BlueCreature;
  Vector2 position;          // world pixels of the sprite cell's top-left corner
  Vector2 velocity;          // pixels per step; for Paper: x = signed flight speed, y = heading in degrees
  Vector2 centre;            // the kind's centre, relative to position
  Vector2 startPosition;     // where the level placed it; a hidden object comes back here
  Rect bounds;               // collision box relative to position (a ladder's bottom is its height)
  int32_t frame = 0;         // animation frame
  bool hidden = false;       // gone until respawnDelay ms after hiddenSince
  uint32_t hiddenSince = 0;  // tick count when hidden was set
  int32_t respawnDelay = 0;  // ms from hiddenSince until it comes back
  int32_t possessedIndex = 0;  // in player only: slot of the possessed object, or -1
  uint32_t lastStepTick = 0;   // tick count of the last update step
  int32_t speed = 0;           // pixels per control step; also the camera's step
};

constexpr int GRID_COLUMNS = 40;
constexpr int GRID_ROWS = 30;
constexpr int CELL_SIZE = 32;
constexpr int MAX_OBJECTS = 100;
constexpr int WORLD_WIDTH = GRID_COLUMNS * CELL_SIZE;  // 1280
constexpr int WORLD_HEIGHT = GRID_ROWS * CELL_SIZE;    // 960
constexpr char WALL_CELL = '*';

// ---- World state (lives for the whole run; rebuilt, not cleared, by each level load) ----
extern char levelGrid[GRID_COLUMNS][GRID_ROWS];  // cell characters by column, row; '*' is wall
extern GameObject objects[MAX_OBJECTS];         // the level's objects other than the own creature
extern int32_t objectCount;                     // used slots of objects, from 0; 0..100
extern GameObject player;                       // the body under control (creature or possessed copy)
extern Vector2 camera;                          // world position of the screen's top-left corner
extern Vector2 backgroundScroll;                // top-left of the background window, half camera pace
extern float sineTable[360];                    // sine of each whole degree, for the paper airplane
extern float cosineTable[360];                  // cosine of each whole degree
extern std::string loadedLevelFile;             // the level file LoadLevel read last, for a restart

// Makes object that kind and resets the kind's defaults; keeps position, velocity and the clocks.
void SetObjectType(GameObject& object, int32_t type);

// Fills sineTable and cosineTable from the 3.1415 approximation the game has always flown with.
void BuildAngleTables();

// Reads a level file into levelGrid and rebuilds objects, objectCount and, on a "G", player and the view.
void LoadLevel(std::string fileName);

// Every world variable back to its value before the first level load (all zero).
void ResetWorld();
