// Small worlds for tests: objects as the level loader leaves them, and walls in the grid.
#pragma once
#include <cstdint>

#include "world/world.h"

// A record of a kind at a place, as the loader leaves it.
inline GameObject Make(int32_t type, float x, float y) {
  GameObject object;
  SetObjectType(object, type);
  object.position = Vector2(x, y);
  object.startPosition = object.position;
  object.possessedIndex = -1;
  return object;
}

// Appends to the level's objects; returns the slot.
inline int Add(const GameObject& object) {
  objects[objectCount] = object;
  return objectCount++;
}

// A new object of a kind in the next slot at world (x, y).
inline int Add(int32_t type, float x, float y) { return Add(Make(type, x, y)); }

inline void Wall(int column, int row) { levelGrid[column][row] = WALL_CELL; }

// A wall row across the whole grid; its top edge is at 32 * row.
inline void Floor(int row) {
  for (int c = 0; c < GRID_COLUMNS; ++c) Wall(c, row);
}
